#include "game/last_result.h"

#include <cstring>

#include "platform/host/atomic_file.h"

namespace {

// The value of key= in the record's text, or nullopt-like empty with found false.
bool Value(const std::string& text, const std::string& key, std::string* value) {
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, key.size() + 1, key + "=") == 0) {
      *value = line.substr(key.size() + 1);
      return true;
    }
    at = end + 1;
  }
  return false;
}

}  // namespace

std::string FormatLastResult(int32_t place, int32_t score, const std::string& line) {
  return "[last]\ngame=Zorvel\nplace=" + std::to_string(place) + "\nscore=" + std::to_string(score) +
         "\nline=" + line + "\n";
}

int32_t PlaceOfNewEntry(const HighScoreTable& table, int32_t score) {
  int32_t place = 0;
  for (int32_t i = 0; i < table.Size(); ++i)
    if (table.Entry(i).score == score) place = i + 1;
  return place;
}

bool WriteLastResult(int32_t place, int32_t score, const std::string& line) {
  const std::string text = FormatLastResult(place, score, line);
  return platform::ReplaceFileContent(kLastResultFile, text.data(), text.size());
}

int32_t HighlightedEntry(const std::string& recordText, const HighScoreTable& table) {
  std::string game, place, score, line;
  if (!Value(recordText, "game", &game) || game != "Zorvel" || !Value(recordText, "place", &place) ||
      !Value(recordText, "score", &score) || !Value(recordText, "line", &line))
    return -1;
  if (place.empty() || place.find_first_not_of("0123456789") != std::string::npos || place.size() > 3) return -1;
  const int32_t index = std::stoi(place) - 1;
  if (index < 0 || index >= table.Size()) return -1;
  const HighScoreEntry& entry = table.Entry(index);
  const std::string stored(entry.name, strnlen(entry.name, sizeof entry.name));
  // The table may have changed since (another game, another player): then nothing is highlighted.
  if (std::to_string(entry.score) != score || stored != line) return -1;
  return index;
}
