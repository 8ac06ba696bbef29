#include "tools/zorvel_check/topic_summary.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

std::vector<TopicCount> CountTopics(const std::vector<std::string>& files, const std::vector<BankEntry>& entries) {
  std::vector<TopicCount> counts;
  for (const std::string& file : files) {
    TopicCount count;
    count.topic = std::filesystem::path(file).stem().string();
    for (const BankEntry& entry : entries) {
      if (entry.file != file) continue;
      ++count.entries;
      if (entry.answerIsTrue) ++count.trueAnswers;
    }
    counts.push_back(count);
  }
  return counts;
}

std::vector<std::string> TopicProblems(const std::vector<TopicCount>& counts) {
  std::vector<std::string> problems;
  for (const TopicCount& count : counts) {
    if (count.entries < kFewestPerTopic) {
      problems.push_back("topic " + count.topic + " has " + std::to_string(count.entries) + " entries, fewer than " +
                         std::to_string(kFewestPerTopic));
      continue;
    }
    // Integer arithmetic, so that exactly 40 or 60 percent is still within the slack.
    const int32_t offBy = std::abs(200 * count.trueAnswers - 100 * count.entries);  // twice the percent, times n
    if (offBy > 2 * kBalanceSlackPercent * count.entries) {
      problems.push_back("topic " + count.topic + " has " + std::to_string(count.trueAnswers) + " true of " +
                         std::to_string(count.entries) + "; keep the true share between " +
                         std::to_string(50 - kBalanceSlackPercent) + " and " +
                         std::to_string(50 + kBalanceSlackPercent) + " percent");
    }
  }
  return problems;
}

std::string TopicTable(const std::vector<TopicCount>& counts) {
  std::string table = "topic                      entries   true  false  true %\n";
  TopicCount all;
  all.topic = "all topics";
  char row[128];
  auto add = [&](const TopicCount& count) {
    const int32_t percent = count.entries ? (100 * count.trueAnswers + count.entries / 2) / count.entries : 0;
    std::snprintf(row, sizeof row, "%-26s %7d %6d %6d %6d\n", count.topic.c_str(), count.entries, count.trueAnswers,
                  count.entries - count.trueAnswers, percent);
    table += row;
  };
  for (const TopicCount& count : counts) {
    add(count);
    all.entries += count.entries;
    all.trueAnswers += count.trueAnswers;
  }
  add(all);
  return table;
}
