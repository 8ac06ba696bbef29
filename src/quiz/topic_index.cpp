#include "quiz/topic_index.h"

#include <cstdio>

#include "platform/host/file_names.h"
#include "quiz/statement_id.h"

namespace {
constexpr std::string_view kHeader = "# zorvel topics 1";
constexpr size_t kMaxTopicName = 64;
}  // namespace

bool TopicIndex::Load(const char* fileName) {
  names_.clear();
  topicById_.clear();
  std::FILE* file = platform::OpenFile(fileName, "rb");
  if (!file) return false;
  std::string bytes;
  char buffer[65536];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, file)) {
    bytes.append(buffer, n);
    if (bytes.size() > kMaxBytes) {
      std::fclose(file);
      return false;
    }
  }
  std::fclose(file);
  return Parse(bytes);
}

bool TopicIndex::Parse(std::string_view bytes) {
  names_.clear();
  topicById_.clear();
  if (bytes.size() > kMaxBytes || bytes.substr(0, kHeader.size()) != kHeader) return false;
  std::unordered_map<std::string, uint32_t> nameIndex;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    uint64_t id = 0;
    if (line.size() < 18 || line[16] != ' ' || !statement_id::FromHex(line.substr(0, 16), &id)) continue;
    const std::string_view name = line.substr(17);
    if (name.empty() || name.size() > kMaxTopicName) continue;
    auto [it, added] = nameIndex.emplace(std::string(name), static_cast<uint32_t>(names_.size()));
    if (added) names_.emplace_back(name);
    topicById_[id] = it->second;
  }
  return true;
}

std::string_view TopicIndex::TopicOf(uint64_t statementId) const {
  auto it = topicById_.find(statementId);
  return it == topicById_.end() ? std::string_view() : std::string_view(names_[it->second]);
}
