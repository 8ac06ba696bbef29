#include "tools/zorvel_check/topic_summary.h"

#include <filesystem>

std::vector<TopicCount> CountTopics(const std::vector<std::string>& files, const std::vector<BankEntry>& entries) {
  std::vector<TopicCount> counts;
  for (const std::string& file : files) {
    TopicCount count;
    count.name = std::filesystem::path(file).stem().string();
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
      problems.push_back("topic " + count.name + " has " + std::to_string(count.entries) + " entries, fewer than " +
                         std::to_string(kFewestPerTopic));
      continue;
    }
    if (LeansTooFar(count, kBalanceSlackPercent)) {
      problems.push_back("topic " + count.name + " has " + std::to_string(count.trueAnswers) + " true of " +
                         std::to_string(count.entries) + "; keep the true share between " +
                         std::to_string(50 - kBalanceSlackPercent) + " and " +
                         std::to_string(50 + kBalanceSlackPercent) + " percent");
    }
  }
  return problems;
}

std::string TopicTable(const std::vector<TopicCount>& counts) {
  std::string table = TrueShareHeader("topic");
  TopicCount all;
  all.name = "all topics";
  for (const TopicCount& count : counts) {
    table += TrueShareRow(count);
    all.entries += count.entries;
    all.trueAnswers += count.trueAnswers;
  }
  return table + TrueShareRow(all);
}
