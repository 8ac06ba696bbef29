#pragma once
// The hall of fame: a fixed number of entries, best first, kept in a file of its own
// (int32 count, then per entry 256 name bytes and an int32 score, all little-endian).
#include <cstdint>

struct HighScoreEntry {
  char name[256];  // NUL-terminated; bytes after the NUL carry no meaning
  int32_t score;
};
static_assert(sizeof(HighScoreEntry) == 260, "an entry is 260 bytes in memory and on disk");

class HighScoreTable {
 public:
  static constexpr int32_t kNameBytes = 256;
  static constexpr int32_t kEntryBytes = 260;

  HighScoreTable() = default;
  ~HighScoreTable();
  HighScoreTable(const HighScoreTable&) = delete;
  HighScoreTable& operator=(const HighScoreTable&) = delete;

  // Drops any previous entries and makes `count` zeroed ones.
  void Allocate(int32_t count);
  void Free();
  enum class FileState { kRead, kMissing, kUnreadable };
  // kRead when the file held a table of our size; otherwise the table stays as it was. A file cut short keeps
  // its complete entries and clears the rest. kUnreadable is a file that is there but holds no table of ours (a
  // wrong count, too short for one): it must not be overwritten, as it may be all the player has.
  FileState LoadTable(const char* fileName);
  // 1 when LoadTable read the file, otherwise 0.
  int32_t ReadTable(const char* fileName);
  // Replaces the file whole; the old file survives any failure or interruption. 1 on success.
  int32_t WriteTable(const char* fileName) const;
  // Clears every entry, keeping the size.
  void Clear();
  // Places the score below every entry that is at least as good; 0 when it does not enter.
  int32_t InsertScore(const char* name, int32_t score);
  int32_t TopScore() const;

  int32_t Size() const { return size; }
  const HighScoreEntry& Entry(int32_t index) const { return entries[index]; }

 private:
  HighScoreEntry* entries = nullptr;
  int32_t size = 0;
};
