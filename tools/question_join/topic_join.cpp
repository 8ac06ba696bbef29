#include "tools/question_join/topic_join.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <tuple>

#include "src/quiz/statement_id.h"

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

namespace {

// The statement lines of an entry: those before the first line the game reads as the answer.
std::string StatementOf(const std::string& text) {
  std::string statement;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) break;
    std::string upper = line;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.rfind("FALSE", 0) == 0 || upper.rfind("TRUE", 0) == 0) break;
    statement += line + ' ';
  }
  return statement;
}

std::string TopicName(const std::string& file) {
  std::string name = file.substr(file.find_last_of("/\\") == std::string::npos ? 0 : file.find_last_of("/\\") + 1);
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".txt") == 0) name.resize(name.size() - 4);
  for (char& c : name)
    if (c == ' ' || c < 32) c = '_';
  return name.empty() ? "unknown" : name;
}

}  // namespace

std::string TopicIndexText(const std::vector<TopicEntry>& entries) {
  std::map<uint64_t, std::string> byId;
  for (const TopicEntry& entry : entries) byId.emplace(statement_id::FromText(StatementOf(entry.text)), TopicName(entry.file));
  std::string text = "# zorvel topics 1: statement id, topic\r\n";
  for (const auto& [id, topic] : byId) text += statement_id::ToHex(id) + " " + topic + "\r\n";
  return text;
}

std::string TopicIndexPathFor(const std::string& questionFile) {
  const size_t slash = questionFile.find_last_of("/\\");
  const size_t dot = questionFile.find_last_of('.');
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return (hasExtension ? questionFile.substr(0, dot) : questionFile) + ".topics";
}
