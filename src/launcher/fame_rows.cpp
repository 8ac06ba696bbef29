#include "launcher/fame_rows.h"

#include <cstring>
#include <fstream>
#include <sstream>

#include "common/game_rules.h"
#include "game/high_score_table.h"
#include "game/last_result.h"

namespace hubbix {

std::vector<FameRow> ReadFameRows(const std::string& hiscoreFile, const std::string& lastResultFile, int* highlight) {
  HighScoreTable table;
  table.Allocate(rules::kHallOfFamePlaces);
  table.ReadTable(hiscoreFile.c_str());
  std::vector<FameRow> rows;
  for (int32_t i = 0; i < table.Size(); ++i) {
    const HighScoreEntry& entry = table.Entry(i);
    const std::string line(entry.name, strnlen(entry.name, sizeof entry.name));
    rows.push_back({i + 1, line.substr(0, line.find(':')), entry.score});
  }
  if (highlight) {
    *highlight = -1;
    std::ifstream in(lastResultFile, std::ios::binary);
    std::ostringstream text;
    // A record larger than any the game writes is not one.
    if (in && text << in.rdbuf() && text.str().size() < 4096) *highlight = HighlightedEntry(text.str(), table);
  }
  return rows;
}

}  // namespace hubbix
