#pragma once
// The players' records as the launcher shows them: the figures and accuracy by topic of one player's memory file,
// the review of their last game (the statements read from the game's question file, only when asked for), and
// the file following its player through a rename. The memory files live beside the hall of fame, wherever the
// suite keeps that (in place, the XDG data folder, the browser's storage).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/player_memory.h"
#include "game/statement_review.h"

class QuestionBank;

namespace hubbix {

struct TopicBar {
  std::string label;
  int32_t answered = 0;
  int32_t right = 0;
  int32_t percent = 0;
};

struct PlayerFigures {
  std::string name;
  std::string file;  // the memory file's name, for the trace
  MemoryStatus status = MemoryStatus::kMissing;
  int32_t games = 0;
  int32_t best = 0;
  int32_t average = 0;
  std::vector<TopicBar> topics;  // topics with a true or false answer, in order of their labels
  size_t lastGameAnswers = 0;    // statements of the last game, for its review
};

// A topic's file name as a player reads it: "World history" for world_history, "Food & drink" for food_drink.
std::string TopicLabel(const std::string& topic);
// What the page shows of a record.
PlayerFigures FiguresOf(const PlayerMemory& record, MemoryStatus status);

class PlayerRecords {
 public:
  // `hallOfFamePath`: the hall of fame's file (its folder holds the records, its lock guards them; empty: where
  // the game would open it from the working folder);
  // `gameFolder`: the game's folder with its question file and font ("" for none: no review).
  PlayerRecords(std::string hallOfFamePath, std::string gameFolder);
  ~PlayerRecords();
  PlayerRecords(const PlayerRecords&) = delete;
  PlayerRecords& operator=(const PlayerRecords&) = delete;

  std::string PathOf(const std::string& rosterName) const;
  // Reads the player's file afresh; a missing or broken one gives a player with no games.
  PlayerFigures Figures(const std::string& rosterName) const;
  // The review of the player's last game. The question file is read the first time only; false with `problem`
  // set when it cannot be read.
  bool LastGameReview(const std::string& rosterName, std::vector<ReviewItem>* items, std::string* problem);
  enum class Move { kMoved, kNoFile, kNewNameHasOne, kFailed };
  // After a rename: the old name's file becomes the new name's, under the hall of fame's lock. Nothing moves when
  // the old name has no file, or when the new name has one already (a player of that name played before: the
  // name is who the game remembers). kFailed sets `problem`, and the old file is kept.
  Move FollowRename(const std::string& oldName, const std::string& newName, std::string* problem);

 private:
  std::string hallOfFamePath_;
  std::string folder_;
  std::string gameFolder_;
  std::unique_ptr<QuestionBank> bank_;
};

}  // namespace hubbix
