#include "game/statement_review.h"

#include <algorithm>
#include <cstring>

#include "common/summary_layout.h"
#include "quiz/question.h"
#include "quiz/question_bank.h"
#include "ui/bitmap_font.h"

namespace {

int32_t Rank(const ReviewItem& item) {
  if (item.answer == RecordAnswer::kPass) return 1;
  return item.Right() ? 2 : 0;
}

}  // namespace

std::vector<ReviewItem> OrderForReview(std::vector<ReviewItem> items) {
  std::stable_sort(items.begin(), items.end(),
                   [](const ReviewItem& a, const ReviewItem& b) { return Rank(a) < Rank(b); });
  return items;
}

ReviewItem ReviewItemOf(const Question& question, RecordAnswer answer) {
  ReviewItem item;
  for (int32_t i = 0; i < question.statementCount && i < Question::kSlots; ++i)
    item.statement.emplace_back(question.statementLines[i]);
  for (int32_t i = 0; i < question.explanationCount && i < Question::kSlots; ++i)
    item.explanation.emplace_back(question.explanationLines[i]);
  item.answer = answer;
  item.truth = question.answerIsTrue == 1;
  return item;
}

std::vector<ReviewItem> ReviewOfGame(const std::vector<GameJournal::Answer>& answers) {
  std::vector<ReviewItem> items;
  for (const GameJournal::Answer& a : answers)
    items.push_back(ReviewItemOf(a.question, a.answer));
  return OrderForReview(std::move(items));
}

std::vector<ReviewItem> ReviewOfLastGame(const PlayerMemory& record, const QuestionBank& bank) {
  std::vector<ReviewItem> items;
  for (const PlayerMemory::LastAnswer& last : record.lastGame)
    if (const int32_t entry = bank.FindById(last.statementId); entry >= 0)
      items.push_back(ReviewItemOf(bank.QuestionAt(entry), last.answer));
  return OrderForReview(std::move(items));
}

bool ReviewPager::Apply(ReviewAction action) {
  switch (action) {
    case ReviewAction::kPrevious:
      if (page_ > 0) --page_;
      break;
    case ReviewAction::kNext:
      if (page_ + 1 < Count()) ++page_;
      break;
    case ReviewAction::kClose:
      open_ = false;
      break;
    case ReviewAction::kNone:
      break;
  }
  return open_;
}

ReviewAction ReviewActionForKey(const QuizScene::KeyPress& key) {
  if (key.buttons.empty()) return ReviewAction::kNone;
  for (const char* name : key.buttons)
    if (std::strcmp(name, "next") == 0) return ReviewAction::kNext;
  if (std::strcmp(key.buttons.front(), "true") == 0) return ReviewAction::kPrevious;
  if (std::strcmp(key.buttons.front(), "false") == 0) return ReviewAction::kNext;
  return ReviewAction::kClose;
}

ReviewAction ReviewActionAt(int32_t x, int32_t y) {
  using namespace summary_layout;
  if (kPreviousButton.Contains(x, y)) return ReviewAction::kPrevious;
  if (kNextButton.Contains(x, y)) return ReviewAction::kNext;
  if (kDoneButton.Contains(x, y)) return ReviewAction::kClose;
  return ReviewAction::kNone;
}

const char* AnswerWord(RecordAnswer answer) {
  switch (answer) {
    case RecordAnswer::kTrue: return "True";
    case RecordAnswer::kFalse: return "False";
    case RecordAnswer::kPass: return "Passed";
  }
  return "";
}

void DrawReviewPage(platform::Surface* surface, const BitmapFont& font, const ReviewPager& pager, int32_t left,
                    int32_t top) {
  using namespace summary_layout;
  const int32_t x = left + kReviewTextX;
  const int32_t lineH = font.Height() > 0 ? font.Height() : 20;
  int32_t y = top + kReviewText.y + 8;
  const ReviewItem* item = pager.Current();
  if (!item) {
    font.DrawText(surface, "No statement was answered in this game.", x, y, 0, -1);
    return;
  }
  const std::string counter = "Statement " + std::to_string(pager.Page() + 1) + " of " + std::to_string(pager.Count());
  const std::string verdict = item->answer == RecordAnswer::kPass ? "passed" : (item->Right() ? "right" : "wrong");
  font.DrawText(surface, counter.c_str(), x, y, 0, -1);
  font.DrawText(surface, verdict.c_str(), left + kReviewText.x + kReviewText.w - 20, y, 1, -1);
  y += lineH + lineH / 2;
  for (const std::string& line : item->statement) {
    font.DrawText(surface, line.c_str(), x, y, 0, -1);
    y += lineH;
  }
  y += lineH / 2;
  const std::string yours = std::string("Your answer: ") + AnswerWord(item->answer);
  const std::string truth = std::string("The truth: ") + (item->truth ? "True" : "False");
  font.DrawText(surface, yours.c_str(), x, y, 0, -1);
  font.DrawText(surface, truth.c_str(), left + kReviewText.x + kReviewText.w - 20, y, 1, -1);
  y += lineH + lineH / 2;
  for (const std::string& line : item->explanation) {
    font.DrawText(surface, line.c_str(), x, y, 0, -1);
    y += lineH;
  }
}
