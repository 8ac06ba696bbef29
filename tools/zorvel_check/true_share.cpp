#include "tools/zorvel_check/true_share.h"

#include <cstdio>
#include <cstdlib>

bool LeansTooFar(const TrueShare& share, int32_t slackPercent) {
  // Integer arithmetic, so that a share exactly on the bound is still within the slack.
  const int32_t offBy = std::abs(200 * share.trueAnswers - 100 * share.entries);  // twice the percent, times n
  return offBy > 2 * slackPercent * share.entries;
}

std::string TrueShareHeader(const char* firstColumn) {
  char line[128];
  std::snprintf(line, sizeof line, "%-26s entries   true  false  true %%\n", firstColumn);
  return line;
}

std::string TrueShareRow(const TrueShare& share) {
  const int32_t percent = share.entries ? (100 * share.trueAnswers + share.entries / 2) / share.entries : 0;
  char row[160];
  std::snprintf(row, sizeof row, "%-26s %7d %6d %6d %6d\n", share.name.c_str(), share.entries, share.trueAnswers,
                share.entries - share.trueAnswers, percent);
  return row;
}
