// A player record: any bytes read either as a record or as a fresh player with the name kept; a record that was
// read writes back to bytes that read again to the same record and the same bytes; and the game's draw set built
// from it only ever holds statements the record has not seen this round.
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "game/player_memory.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  PlayerMemory record;
  record.name = "Fuzz";
  const MemoryStatus status = ParsePlayerMemory(bytes, &record);
  if (status != MemoryStatus::kRead) {
    FUZZ_CHECK(record.name == "Fuzz");
    FUZZ_CHECK(record.games == 0 && record.seen.empty() && record.topics.empty() && record.lastGame.empty());
    FUZZ_CHECK(record.round == 1);
    FUZZ_CHECK(bytes.size() <= PlayerMemory::kMaxBytes || status == MemoryStatus::kHuge);
    return 0;
  }
  FUZZ_CHECK(bytes.size() <= PlayerMemory::kMaxBytes);
  FUZZ_CHECK(record.round >= 1 && record.games >= 0 && record.best >= 0 && record.scoreTotal >= 0);
  FUZZ_CHECK(record.name.size() <= PlayerMemory::kMaxNameBytes);
  for (const auto& [topic, tally] : record.topics) FUZZ_CHECK(tally.right >= 0 && tally.right <= tally.answered);
  const int32_t average = record.AverageScore();
  FUZZ_CHECK(average >= 0);
  for (const auto& [topic, tally] : record.topics) {
    const int32_t percent = PlayerMemory::Percent(tally);
    FUZZ_CHECK(percent >= 0 && percent <= 100);
  }

  std::string written = SerializePlayerMemory(record);
  if (written.size() > PlayerMemory::kMaxBytes) {
    // Written in a longer form than it was read (leading zeros gone, missing lines added): it must be cut to fit.
    record.FitToLimit();
    written = SerializePlayerMemory(record);
    FUZZ_CHECK(written.size() <= PlayerMemory::kMaxBytes);
  }
  PlayerMemory again;
  FUZZ_CHECK(ParsePlayerMemory(written, &again) == MemoryStatus::kRead);
  FUZZ_CHECK(again.name == record.name && again.games == record.games && again.best == record.best);
  FUZZ_CHECK(again.scoreTotal == record.scoreTotal && again.round == record.round);
  FUZZ_CHECK(again.seen.size() == record.seen.size() && again.topics.size() == record.topics.size());
  FUZZ_CHECK(again.lastGame.size() == record.lastGame.size());
  for (const auto& [id, seen] : record.seen) {
    FUZZ_CHECK(again.seen.count(id) == 1);
    FUZZ_CHECK(again.SeenThisRound(id) == record.SeenThisRound(id));
  }
  FUZZ_CHECK(SerializePlayerMemory(again) == written);
  return 0;
}
