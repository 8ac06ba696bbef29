#pragma once
// Which topic each statement came from, as the build wrote it beside the question file ("Zorvel.topics": one line
// per statement, its id in hex, a space, the topic's name). The question file itself keeps its format; a game
// without the index simply has no topics.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TopicIndex {
 public:
  static constexpr const char* kFileName = "Zorvel.topics";
  static constexpr size_t kMaxBytes = 4u << 20;  // ~60 bytes a statement: room for tens of thousands

  // Reads the index; false (and an empty index) when it is missing, too large or not an index at all. Lines it
  // cannot read are skipped.
  bool Load(const char* fileName);
  // The same from bytes already read.
  bool Parse(std::string_view bytes);
  // The topic's name, or "" when the statement is not listed.
  std::string_view TopicOf(uint64_t statementId) const;
  size_t Size() const { return topicById_.size(); }

 private:
  std::vector<std::string> names_;
  std::unordered_map<uint64_t, uint32_t> topicById_;
};
