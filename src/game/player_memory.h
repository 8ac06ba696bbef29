#pragma once
// What the game remembers of one player between games: the statements seen in the current round and how each
// was answered, games played, best and total score, accuracy by topic, and the answers of the last game (for the
// review the launcher shows). Kept as a small text file per player beside the hall of fame.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

enum class RecordAnswer : char { kTrue = 'T', kFalse = 'F', kPass = 'P' };

struct PlayerMemory {
  static constexpr size_t kMaxBytes = 1u << 20;  // larger files are not a record of ours
  static constexpr size_t kMaxNameBytes = 255;

  struct Seen {
    int32_t round = 0;  // the round in which it was last shown
    RecordAnswer answer = RecordAnswer::kPass;
    bool right = false;
  };
  struct Tally {
    int32_t answered = 0;  // true or false given; passes do not count
    int32_t right = 0;
  };
  struct LastAnswer {
    uint64_t statementId = 0;
    RecordAnswer answer = RecordAnswer::kPass;
  };

  std::string name;
  int32_t games = 0;
  int64_t scoreTotal = 0;
  int32_t best = 0;
  int32_t round = 1;
  std::unordered_map<uint64_t, Seen> seen;
  std::map<std::string, Tally> topics;
  std::vector<LastAnswer> lastGame;

  bool SeenThisRound(uint64_t statementId) const;
  // Makes the written record fit kMaxBytes, so it can always be read back: statements seen in earlier rounds go
  // first, then, only for a bank far larger than the game's, half of the current round at a time.
  void FitToLimit();
  // Whole points; 0 before the first game.
  int32_t AverageScore() const;
  // The answers of every game so far, in whole percent of the true or false answers given (0 with none).
  static int32_t Percent(const Tally& tally);
};

enum class MemoryStatus { kRead, kMissing, kEmpty, kHuge, kForeign, kTruncated, kUnreadable };
// Words for the trace: "read", "missing", "empty", ...
const char* MemoryStatusName(MemoryStatus status);

// Reads a record from its bytes. Anything but kRead leaves `record` fresh (only its name kept as given).
MemoryStatus ParsePlayerMemory(std::string_view bytes, PlayerMemory* record);
std::string SerializePlayerMemory(const PlayerMemory& record);

// The file of a player: "player_<letters of the name>_<hash of the whole name>.rec". The name, not the roster
// slot, because the launcher renumbers the slots when a player is removed; the hash keeps two names that differ
// only in punctuation or case apart.
std::string PlayerMemoryFileName(std::string_view playerName);
// The name a roster line plays under: "name:address:email:send" -> "name".
std::string PlayerNameOfLine(std::string_view playerLine);

// Reads the file (kMissing when it is not there, kHuge without reading a file over the limit).
MemoryStatus LoadPlayerMemory(const std::string& path, PlayerMemory* record);
// Replaces the file atomically; false when it could not be written (the old file then stays).
bool SavePlayerMemory(const std::string& path, const PlayerMemory& record);
