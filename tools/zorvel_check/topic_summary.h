#pragma once
// Counts entries and answers per topic file, for a bank kept as one file per topic, and says which topics are too
// small or lean too far to one answer.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/zorvel_check/bank_entries.h"
#include "tools/zorvel_check/true_share.h"

// Named by the file name without folder and ".txt".
using TopicCount = TrueShare;

// In the order the files are given; entries of a file not listed are not counted.
std::vector<TopicCount> CountTopics(const std::vector<std::string>& files, const std::vector<BankEntry>& entries);

// A topic with fewer entries than this runs out within a few games.
constexpr int32_t kFewestPerTopic = 40;
// The share of true answers a topic may have, in percent either side of half: beyond it, guessing pays.
constexpr int32_t kBalanceSlackPercent = 5;

// One message per topic that is too small or unbalanced; empty when all are fine.
std::vector<std::string> TopicProblems(const std::vector<TopicCount>& counts);

// The table printed by the checker: one line per topic and a total.
std::string TopicTable(const std::vector<TopicCount>& counts);
