#include "tools/question_join/topic_join.h"

#include <algorithm>
#include <tuple>

namespace {

// FNV-1a over a fixed salt and the text: the same order on every platform, unlike the standard library's
// shuffles and distributions.
uint64_t OrderKey(const std::string& text) {
  uint64_t hash = 14695981039346656037ull;
  auto mix = [&hash](const std::string& bytes) {
    for (unsigned char c : bytes) {
      hash ^= c;
      hash *= 1099511628211ull;
    }
  };
  mix("zorvel question order 1");
  mix(text);
  return hash;
}

}  // namespace

std::vector<TopicEntry> SplitTopicEntries(const std::string& bytes, const std::string& file) {
  std::vector<TopicEntry> entries;
  TopicEntry current;
  int32_t lineNumber = 0;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    const size_t next = end == std::string::npos ? bytes.size() : end + 1;
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    ++lineNumber;
    start = next;
    if (line.empty()) {
      if (current.text.empty()) continue;
      current.text += "\r\n";
      entries.push_back(std::move(current));
      current = TopicEntry{};
      continue;
    }
    if (current.text.empty()) {
      current.file = file;
      current.line = lineNumber;
    }
    current.text += line + "\r\n";
  }
  if (!current.text.empty()) {
    current.text += "\r\n";
    entries.push_back(std::move(current));
  }
  return entries;
}

std::string JoinTopicEntries(std::vector<TopicEntry> entries) {
  std::vector<std::pair<uint64_t, const std::string*>> order;
  order.reserve(entries.size());
  for (const TopicEntry& entry : entries) order.emplace_back(OrderKey(entry.text), &entry.text);
  std::sort(order.begin(), order.end(), [](const auto& a, const auto& b) {
    return std::tie(a.first, *a.second) < std::tie(b.first, *b.second);
  });
  std::string joined;
  for (const auto& [key, text] : order) joined += *text;
  return joined;
}
