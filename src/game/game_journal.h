#pragma once
// The player's side of a game: their record read at the start, the draw limited to the statements they have not
// seen in the current round, every answer noted, and at the end the record brought up to date and the figures of
// the summary worked out.
#include <cstdint>
#include <string>
#include <vector>

#include "game/player_memory.h"
#include "quiz/question.h"
#include "quiz/topic_index.h"

class HighScoreTable;
class QuestionBank;

// What the summary shows of one finished game.
struct GameFigures {
  int32_t score = 0;
  int32_t place = 0;           // 1-based place taken in the hall of fame; 0 when the score did not enter
  int32_t pointsMissing = 0;   // with no place: points that would have taken the last place
  bool newRecord = false;      // the new top of the table
  bool placeSaved = true;      // false when hiscore.dat could not be written: no record to celebrate
  int32_t right = 0, wrong = 0, passed = 0;
  int32_t accuracy = 0;        // right out of the true or false answers given, whole percent
  int32_t longestRun = 0;      // most right answers in a row (a pass or a wrong answer ends a run)
  int32_t bonuses = 0;         // time bonuses earned
};

// Where the hall of fame would put `score` (1-based, 0 when it does not enter) and, when it does not, how many
// points more it needed: the same rule as the table's own insertion.
GameFigures PlaceInTable(const HighScoreTable& table, int32_t score);

class GameJournal {
 public:
  struct Answer {
    Question question;  // a copy: the bank keeps only the question on show whole
    RecordAnswer answer = RecordAnswer::kPass;
    bool right = false;
  };

  // Reads the player's record (a broken one is a fresh player, told in the trace) and limits the bank's draw to
  // what they have not seen yet. `recordFolder` is where hiscore.dat lives ("" for the working folder).
  void BeginGame(const std::string& playerName, const std::string& recordFolder, QuestionBank& bank);
  // The draw the game uses: the bank's own, and when it comes back empty either the usual clearing of the used
  // marks (whole bank) or, inside the unseen set, another try; an exhausted set starts the new round.
  Question* Draw(QuestionBank& bank);
  // True once after the draw started a new round, for the game to tell the player.
  bool TakeNewRoundNotice();
  void NoteAnswer(Question* question, RecordAnswer answer, bool right);
  void NoteTimeBonus() { ++bonuses_; }
  // Brings the record up to date with this game and writes it; the summary's figures, from the place the score
  // took (PlaceInTable, before the score went into the table) and this game's answers.
  GameFigures EndGame(GameFigures placed);

  const std::vector<Answer>& Answers() const { return answers_; }
  const PlayerMemory& Record() const { return record_; }
  const std::string& RecordPath() const { return path_; }

 private:
  void StartNewRound(QuestionBank& bank);
  // Reads the file again, adds this game, replaces it atomically.
  void SaveWithThisGame(int32_t score);
  // This game's answers put into `record`.
  void ApplyGame(PlayerMemory* record, int32_t score) const;

  std::string path_;
  std::string hallOfFamePath_;  // whose lock the memory's read-change-write holds too
  PlayerMemory record_;
  TopicIndex topics_;
  std::vector<Answer> answers_;
  int32_t bonuses_ = 0;
  int32_t roundsStarted_ = 0;  // new rounds begun during this game, so the saved round matches
  bool tellNewRound_ = false;
  bool active_ = false;
};

// The players' records live beside the hall of fame: the folder of its file, with its slash ("" for a bare name).
std::string RecordFolderOf(const std::string& hallOfFamePath);
// The same for the hall of fame's file as the game opens it.
std::string RecordFolderOfHallOfFame();
