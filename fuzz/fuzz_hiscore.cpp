// hiscore.dat: any file reads into a table of terminated names; the entries a short file holds whole are kept and
// the rest are empty; a score enters below every entry at least as good; what is written reads back the same
// and writes the same bytes again.
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "game/high_score_table.h"

namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int32_t Le32(const uint8_t* p) {
  return static_cast<int32_t>(p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input = fuzz::WriteScratch("hiscore.dat", data, size);
  const std::string output = fuzz::ScratchFolder() + "/written.dat";
  HighScoreTable table;
  table.Allocate(20);
  const int32_t read = table.ReadTable(input.c_str());
  FUZZ_CHECK(read == ((size >= 4 && Le32(data) == 20) ? 1 : 0));
  const size_t whole = size >= 4 ? (size - 4) / 260 : 0;
  for (int32_t i = 0; i < 20; ++i) {
    const HighScoreEntry& e = table.Entry(i);
    FUZZ_CHECK(std::memchr(e.name, '\0', sizeof e.name) != nullptr);
    if (!read || static_cast<size_t>(i) >= whole) {
      FUZZ_CHECK(e.score == 0 && e.name[0] == '\0');
    } else {
      FUZZ_CHECK(e.score == Le32(data + 4 + 260 * i + 256));
      FUZZ_CHECK(std::strncmp(e.name, reinterpret_cast<const char*>(data + 4 + 260 * i), 255) == 0);
    }
  }

  // A new score taken from the input: it lands below every entry at least as good, above the first that is not.
  const int32_t score = size >= 8 ? Le32(data + size - 4) : static_cast<int32_t>(size);
  std::vector<int32_t> before;
  for (int32_t i = 0; i < 20; ++i) before.push_back(table.Entry(i).score);
  if (table.InsertScore("fuzz:player::Y", score)) {
    int32_t place = 0;
    while (place < 20 && before[static_cast<size_t>(place)] >= score) ++place;
    FUZZ_CHECK(place < 20);
    FUZZ_CHECK(table.Entry(place).score == score && std::strcmp(table.Entry(place).name, "fuzz:player::Y") == 0);
    for (int32_t i = 0; i < place; ++i) FUZZ_CHECK(table.Entry(i).score == before[static_cast<size_t>(i)]);
    for (int32_t i = place + 1; i < 20; ++i) FUZZ_CHECK(table.Entry(i).score == before[static_cast<size_t>(i - 1)]);
  } else {
    for (int32_t i = 0; i < 20; ++i) FUZZ_CHECK(before[static_cast<size_t>(i)] >= score);
  }

  // Round trip.
  FUZZ_CHECK(table.WriteTable(output.c_str()) == 1);
  const std::vector<uint8_t> first = ReadAll(output);
  FUZZ_CHECK(first.size() == 5204);
  HighScoreTable reread;
  reread.Allocate(20);
  FUZZ_CHECK(reread.ReadTable(output.c_str()) == 1);
  for (int32_t i = 0; i < 20; ++i) {
    FUZZ_CHECK(reread.Entry(i).score == table.Entry(i).score);
    FUZZ_CHECK(std::strcmp(reread.Entry(i).name, table.Entry(i).name) == 0);
  }
  FUZZ_CHECK(reread.WriteTable(output.c_str()) == 1);
  FUZZ_CHECK(ReadAll(output) == first);
  return 0;
}
