#pragma once
// What the topic and the template tables have in common: a group of statements, how many of them are true, and
// whether that share leans too far from half for a player's guess to pay.
#include <cstdint>
#include <string>

struct TrueShare {
  std::string name;
  int32_t entries = 0;
  int32_t trueAnswers = 0;
};

// True when the true share lies more than `slackPercent` either side of half (exactly on the bound is fine).
bool LeansTooFar(const TrueShare& share, int32_t slackPercent);

// The table's header line with `firstColumn` over the names, and one row.
std::string TrueShareHeader(const char* firstColumn);
std::string TrueShareRow(const TrueShare& share);
