#include "game/player_memory.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

#include "platform/host/atomic_file.h"
#include "platform/host/file_names.h"
#include "quiz/statement_id.h"

namespace {

constexpr std::string_view kHeader = "zorvel player 1";
constexpr std::string_view kEnd = "end";
constexpr size_t kMaxTopicBytes = 64;

bool ParseInt(std::string_view text, int64_t low, int64_t high, int64_t* value) {
  if (text.empty()) return false;
  int64_t v = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), v);
  if (error != std::errc() || end != text.data() + text.size() || v < low || v > high) return false;
  *value = v;
  return true;
}

// Splits off the first word (up to a space) of `rest`.
std::string_view NextWord(std::string_view* rest) {
  const size_t space = rest->find(' ');
  std::string_view word = rest->substr(0, space);
  *rest = space == std::string_view::npos ? std::string_view() : rest->substr(space + 1);
  return word;
}

// A name or topic as the writer keeps it on its line. A carriage return inside a line would be read back as part
// of a CR LF ending when it comes last, so it is a space, and a record writes back as it was read.
std::string TextOnItsLine(std::string_view text) {
  std::string kept(text);
  std::replace(kept.begin(), kept.end(), '\r', ' ');
  return kept;
}

bool ParseAnswer(std::string_view text, RecordAnswer* answer) {
  if (text.size() != 1) return false;
  switch (text[0]) {
    case 'T': *answer = RecordAnswer::kTrue; return true;
    case 'F': *answer = RecordAnswer::kFalse; return true;
    case 'P': *answer = RecordAnswer::kPass; return true;
    default: return false;
  }
}

// One line of the record; false when a known line is malformed (the record is then not ours to trust).
bool ParseLine(std::string_view line, PlayerMemory* r) {
  std::string_view rest = line;
  const std::string_view key = NextWord(&rest);
  int64_t a = 0, b = 0;
  constexpr int64_t kMaxCount = 0x7FFFFFFF;
  if (key == "name") {
    if (rest.size() > PlayerMemory::kMaxNameBytes) return false;
    r->name = TextOnItsLine(rest);
  } else if (key == "games") {
    if (!ParseInt(rest, 0, kMaxCount, &a)) return false;
    r->games = static_cast<int32_t>(a);
  } else if (key == "total") {
    if (!ParseInt(rest, 0, INT64_C(1) << 52, &a)) return false;
    r->scoreTotal = a;
  } else if (key == "best") {
    if (!ParseInt(rest, 0, kMaxCount, &a)) return false;
    r->best = static_cast<int32_t>(a);
  } else if (key == "round") {
    if (!ParseInt(rest, 1, kMaxCount, &a)) return false;
    r->round = static_cast<int32_t>(a);
  } else if (key == "seen") {
    uint64_t id = 0;
    PlayerMemory::Seen seen;
    if (!statement_id::FromHex(NextWord(&rest), &id) || !ParseInt(NextWord(&rest), 1, kMaxCount, &a) ||
        !ParseAnswer(NextWord(&rest), &seen.answer) || !ParseInt(rest, 0, 1, &b))
      return false;
    seen.round = static_cast<int32_t>(a);
    seen.right = b == 1;
    r->seen[id] = seen;
  } else if (key == "topic") {
    const std::string_view answered = NextWord(&rest), right = NextWord(&rest);
    if (!ParseInt(answered, 0, kMaxCount, &a) || !ParseInt(right, 0, a, &b) || rest.empty() ||
        rest.size() > kMaxTopicBytes)
      return false;
    r->topics[TextOnItsLine(rest)] = {static_cast<int32_t>(a), static_cast<int32_t>(b)};
  } else if (key == "last") {
    PlayerMemory::LastAnswer last;
    if (!statement_id::FromHex(NextWord(&rest), &last.statementId) || !ParseAnswer(rest, &last.answer)) return false;
    if (r->lastGame.size() < 10000) r->lastGame.push_back(last);
  }
  // Other words are lines a later game may add: skipped.
  return true;
}

}  // namespace

bool PlayerMemory::SeenThisRound(uint64_t statementId) const {
  auto it = seen.find(statementId);
  return it != seen.end() && it->second.round >= round;
}

void PlayerMemory::FitToLimit() {
  while (SerializePlayerMemory(*this).size() > kMaxBytes) {
    const size_t before = seen.size();
    std::erase_if(seen, [this](const auto& entry) { return entry.second.round < round; });
    if (seen.size() == before) {
      std::map<uint64_t, Seen> ordered(seen.begin(), seen.end());
      size_t drop = (ordered.size() + 1) / 2;
      for (auto it = ordered.begin(); drop > 0 && it != ordered.end(); ++it, --drop) seen.erase(it->first);
    }
    if (seen.empty() && SerializePlayerMemory(*this).size() > kMaxBytes) {
      lastGame.clear();
      topics.clear();
    }
  }
}

int32_t PlayerMemory::AverageScore() const {
  if (games <= 0) return 0;
  // A record's total may be far above what its games could score; the average still fits its type.
  return static_cast<int32_t>(std::min<int64_t>(scoreTotal / games, INT32_MAX));
}

int32_t PlayerMemory::Percent(const Tally& tally) {
  return tally.answered > 0 ? static_cast<int32_t>((int64_t{tally.right} * 100 + tally.answered / 2) / tally.answered)
                            : 0;
}

const char* MemoryStatusName(MemoryStatus status) {
  switch (status) {
    case MemoryStatus::kRead: return "read";
    case MemoryStatus::kMissing: return "missing";
    case MemoryStatus::kEmpty: return "empty";
    case MemoryStatus::kHuge: return "too large";
    case MemoryStatus::kForeign: return "not a player record";
    case MemoryStatus::kTruncated: return "cut short";
    case MemoryStatus::kUnreadable: return "unreadable";
  }
  return "unknown";
}

MemoryStatus ParsePlayerMemory(std::string_view bytes, PlayerMemory* record) {
  PlayerMemory parsed;
  parsed.name = record->name;
  auto fresh = [&](MemoryStatus status) {
    std::string name = std::move(record->name);
    *record = PlayerMemory{};
    record->name = std::move(name);
    return status;
  };
  if (bytes.empty()) return fresh(MemoryStatus::kEmpty);
  if (bytes.size() > PlayerMemory::kMaxBytes) return fresh(MemoryStatus::kHuge);
  parsed.seen.reserve(bytes.size() / 28);  // about one "seen" line in 28 bytes
  size_t start = 0;
  bool first = true, ended = false;
  while (start < bytes.size()) {
    const size_t newline = bytes.find('\n', start);
    // Every line of ours ends in a line feed: a last line without one was cut off.
    if (newline == std::string_view::npos) return fresh(first ? MemoryStatus::kForeign : MemoryStatus::kTruncated);
    std::string_view line = bytes.substr(start, newline - start);
    start = newline + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      if (line != kHeader) return fresh(MemoryStatus::kForeign);
      first = false;
      continue;
    }
    if (line == kEnd) {
      ended = true;
      break;
    }
    if (!ParseLine(line, &parsed)) return fresh(MemoryStatus::kForeign);
  }
  if (first) return fresh(MemoryStatus::kForeign);
  if (!ended) return fresh(MemoryStatus::kTruncated);
  *record = std::move(parsed);
  return MemoryStatus::kRead;
}

std::string SerializePlayerMemory(const PlayerMemory& r) {
  std::string out;
  out.reserve(128 + r.seen.size() * 28 + r.lastGame.size() * 20);
  out += kHeader;
  out += '\n';
  std::string name = r.name.substr(0, PlayerMemory::kMaxNameBytes);
  for (char& c : name)
    if (c == '\n' || c == '\r') c = ' ';
  out += "name " + name + "\n";
  out += "games " + std::to_string(r.games) + "\n";
  out += "total " + std::to_string(r.scoreTotal) + "\n";
  out += "best " + std::to_string(r.best) + "\n";
  out += "round " + std::to_string(r.round) + "\n";
  for (const auto& [topic, tally] : r.topics) {
    if (topic.empty() || topic.size() > kMaxTopicBytes || topic.find('\n') != std::string::npos) continue;
    out += "topic " + std::to_string(tally.answered) + " " + std::to_string(tally.right) + " " + topic + "\n";
  }
  // Sorted, so that the same memory always gives the same file.
  std::map<uint64_t, PlayerMemory::Seen> ordered(r.seen.begin(), r.seen.end());
  for (const auto& [id, seen] : ordered) {
    out += "seen " + statement_id::ToHex(id) + " " + std::to_string(seen.round) + " " +
           static_cast<char>(seen.answer) + (seen.right ? " 1\n" : " 0\n");
  }
  for (const PlayerMemory::LastAnswer& last : r.lastGame)
    out += "last " + statement_id::ToHex(last.statementId) + " " + static_cast<char>(last.answer) + "\n";
  out += kEnd;
  out += '\n';
  return out;
}

std::string PlayerNameOfLine(std::string_view playerLine) {
  return std::string(playerLine.substr(0, playerLine.find(':')));
}

std::string PlayerMemoryFileName(std::string_view playerName) {
  std::string letters;
  for (char c : playerName) {
    if (letters.size() >= 24) break;
    const unsigned char u = static_cast<unsigned char>(c);
    if (std::isalnum(u) && u < 128) letters += static_cast<char>(std::tolower(u));
    else if (!letters.empty() && letters.back() != '-') letters += '-';
  }
  while (!letters.empty() && letters.back() == '-') letters.pop_back();
  if (letters.empty()) letters = "player";
  uint32_t hash = 2166136261u;
  for (unsigned char c : playerName) {
    hash ^= c;
    hash *= 16777619u;
  }
  char tail[16];
  std::snprintf(tail, sizeof tail, "_%08x.rec", hash);
  return "player_" + letters + tail;
}

MemoryStatus LoadPlayerMemory(const std::string& path, PlayerMemory* record) {
  std::FILE* file = platform::OpenFile(path, "rb");
  if (!file) {
    ParsePlayerMemory("", record);
    return platform::FileExists(path) ? MemoryStatus::kUnreadable : MemoryStatus::kMissing;
  }
  std::string bytes;
  char buffer[16384];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, file)) {
    bytes.append(buffer, n);
    if (bytes.size() > PlayerMemory::kMaxBytes) break;  // no need to read the rest of what cannot be ours
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    ParsePlayerMemory("", record);
    return MemoryStatus::kUnreadable;
  }
  return ParsePlayerMemory(bytes, record);
}

bool SavePlayerMemory(const std::string& path, const PlayerMemory& record) {
  PlayerMemory fitted = record;
  fitted.FitToLimit();
  const std::string bytes = SerializePlayerMemory(fitted);
  return platform::ReplaceFileContent(path, bytes.data(), bytes.size());
}
