#include "game/high_score_table.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/host/atomic_file.h"
#include "platform/host/file_names.h"

namespace {

int32_t ReadLittleEndian32(const unsigned char* bytes) {
  return static_cast<int32_t>(static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                              static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24);
}

void WriteLittleEndian32(unsigned char* bytes, int32_t value) {
  uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(v >> (8 * i));
}

// Copies a name as text: through its NUL, at most 255 characters; the bytes after the NUL keep what they held.
void CopyName(char* destination, const char* source) {
  size_t length = strnlen(source, HighScoreTable::kNameBytes - 1);
  std::memmove(destination, source, length);
  destination[length] = '\0';
}

}  // namespace

HighScoreTable::~HighScoreTable() { Free(); }

void HighScoreTable::Allocate(int32_t count) {
  Free();
  if (count < 0) count = 0;
  entries = new HighScoreEntry[static_cast<size_t>(count)];
  std::memset(entries, 0, sizeof(HighScoreEntry) * static_cast<size_t>(count));
  size = count;
}

void HighScoreTable::Free() {
  delete[] entries;
  entries = nullptr;
  size = 0;
}

void HighScoreTable::Clear() {
  if (entries) std::memset(entries, 0, sizeof(HighScoreEntry) * static_cast<size_t>(size));
}

int32_t HighScoreTable::ReadTable(const char* fileName) { return LoadTable(fileName) == FileState::kRead ? 1 : 0; }

HighScoreTable::FileState HighScoreTable::LoadTable(const char* fileName) {
  std::FILE* file = platform::OpenFile(fileName, "rb");
  if (!file) return platform::IsRegularFile(fileName) ? FileState::kUnreadable : FileState::kMissing;
  unsigned char countBytes[4];
  const size_t tableBytes = static_cast<size_t>(size) * kEntryBytes;
  std::vector<unsigned char> bytes(tableBytes);
  const size_t countRead = std::fread(countBytes, 1, 4, file);
  if (countRead != 4 || ReadLittleEndian32(countBytes) != size) {
    std::fclose(file);
    // An empty file holds nothing to lose; anything else could be a table another build or a bad byte spoiled.
    return countRead == 0 ? FileState::kMissing : FileState::kUnreadable;
  }
  const size_t got = tableBytes ? std::fread(bytes.data(), 1, tableBytes, file) : 0;
  std::fclose(file);
  // A table cut short (a full disk, an editor) keeps its complete entries; the rest are cleared, so the next
  // save does not throw away the players that survived.
  const int32_t complete = static_cast<int32_t>(got / kEntryBytes);
  for (int32_t i = 0; i < size; ++i) {
    if (i >= complete) {
      std::memset(&entries[i], 0, sizeof(HighScoreEntry));
      continue;
    }
    const unsigned char* record = bytes.data() + static_cast<size_t>(i) * kEntryBytes;
    std::memcpy(entries[i].name, record, kNameBytes);
    entries[i].name[kNameBytes - 1] = '\0';  // a name field without its NUL must not run into the score
    entries[i].score = ReadLittleEndian32(record + kNameBytes);
  }
  return FileState::kRead;
}

int32_t HighScoreTable::WriteTable(const char* fileName) const {
  std::vector<unsigned char> bytes(4 + static_cast<size_t>(size) * kEntryBytes);
  WriteLittleEndian32(bytes.data(), size);
  for (int32_t i = 0; i < size; ++i) {
    unsigned char* record = bytes.data() + 4 + static_cast<size_t>(i) * kEntryBytes;
    std::memcpy(record, entries[i].name, kNameBytes);
    WriteLittleEndian32(record + kNameBytes, entries[i].score);
  }
  return platform::ReplaceFileContent(fileName, bytes.data(), bytes.size()) ? 1 : 0;
}

int32_t HighScoreTable::InsertScore(const char* name, int32_t newScore) {
  for (int32_t i = 0; i < size; ++i) {
    if (entries[i].score >= newScore) continue;
    for (int32_t j = size - 1; j > i; --j) {
      CopyName(entries[j].name, entries[j - 1].name);
      entries[j].score = entries[j - 1].score;
    }
    CopyName(entries[i].name, name ? name : "");
    entries[i].score = newScore;
    return 1;
  }
  return 0;
}

int32_t HighScoreTable::TopScore() const { return size > 0 ? entries[0].score : 0; }
