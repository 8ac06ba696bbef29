#pragma once
// The review of a finished game: each statement with the player's answer, the truth and the explanation, one
// page at a time, the ones answered wrong first. The items, their order, the paging and the drawing of a page
// are here, apart from any frame loop, so the game (after its summary) and the launcher (for a player's last
// game, from the player record and the question file) show the same pages:
//
//   QuestionBank bank; bank.CreateFonts(); bank.LoadQuestionFile("Zorvel.txt");
//   ReviewPager pager(ReviewOfLastGame(record, bank));
//   DrawReviewPage(surface, *bank.statementFont, pager, left, top);   // over "review.bmp" drawn at left, top
//   pager.Apply(ReviewActionForKey(...)) or pager.Apply(ReviewActionAt(x - left, y - top)) on a click
#include <cstdint>
#include <string>
#include <vector>

#include "game/game_journal.h"
#include "game/player_memory.h"
#include "game/quiz_scene.h"
#include "platform/video/surface.h"

class BitmapFont;
class QuestionBank;

struct ReviewItem {
  std::vector<std::string> statement;    // laid-out lines, as the panel shows them
  std::vector<std::string> explanation;
  RecordAnswer answer = RecordAnswer::kPass;
  bool truth = false;                    // the statement is true
  bool Right() const { return answer == (truth ? RecordAnswer::kTrue : RecordAnswer::kFalse); }
};

// Wrong answers first, then passes, then right ones; each group in the order it was played.
std::vector<ReviewItem> OrderForReview(std::vector<ReviewItem> items);
ReviewItem ReviewItemOf(const Question& question, RecordAnswer answer);
// This game's statements, ordered for the review.
std::vector<ReviewItem> ReviewOfGame(const std::vector<GameJournal::Answer>& answers);
// A player's last game, from their record; statements the question file no longer holds are left out.
std::vector<ReviewItem> ReviewOfLastGame(const PlayerMemory& record, const QuestionBank& bank);

enum class ReviewAction { kNone, kPrevious, kNext, kClose };

class ReviewPager {
 public:
  explicit ReviewPager(std::vector<ReviewItem> items) : items_(std::move(items)) {}
  // Previous and next stop at the ends; false once closed.
  bool Apply(ReviewAction action);
  int32_t Page() const { return page_; }
  int32_t Count() const { return static_cast<int32_t>(items_.size()); }
  const ReviewItem* Current() const { return items_.empty() ? nullptr : &items_[static_cast<size_t>(page_)]; }
  bool Open() const { return open_; }

 private:
  std::vector<ReviewItem> items_;
  int32_t page_ = 0;
  bool open_ = true;
};

// The game keys: Left or T (True) back, Right or F (False), Space, Return or the controller's A on, P, R, N or
// the controller's other buttons close.
ReviewAction ReviewActionForKey(const QuizScene::KeyPress& key);
// A click at (x, y) in the card's own pixels: its three buttons.
ReviewAction ReviewActionAt(int32_t x, int32_t y);

// Writes the current page into the card's text area; (left, top) is where the card is drawn.
void DrawReviewPage(platform::Surface* surface, const BitmapFont& font, const ReviewPager& pager, int32_t left,
                    int32_t top);
// "True", "False" or "Passed".
const char* AnswerWord(RecordAnswer answer);
