// The end of a game as the player reads it: the summary of their figures, the review of its statements, and the
// notice of a new round of statements.
#include <string>

#include "common/game_rules.h"
#include "common/summary_layout.h"
#include "common/ticker.h"
#include "game/game_names.h"
#include "game/modal_page.h"
#include "game/quiz_game.h"
#include "game/statement_review.h"
#include "gfx/picture.h"
#include "gfx/refresh_manager.h"
#include "platform/replay/trace.h"
#include "quiz/question_bank.h"
#include "sound/sound_table.h"
#include "ui/bitmap_font.h"
#include "ui/widget.h"
#include "ui/widget_set.h"

namespace {

using summary_layout::Box;

// 1,250,000
std::string WithThousands(int32_t value) {
  std::string digits = std::to_string(value < 0 ? -static_cast<int64_t>(value) : value);
  for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3) digits.insert(static_cast<size_t>(i), ",");
  return value < 0 ? "-" + digits : digits;
}

std::string Ordinal(int32_t n) {
  const int32_t lastTwo = n % 100;
  const char* suffix = "th";
  if (lastTwo < 11 || lastTwo > 13) {
    if (n % 10 == 1) suffix = "st";
    else if (n % 10 == 2) suffix = "nd";
    else if (n % 10 == 3) suffix = "rd";
  }
  return std::to_string(n) + suffix;
}

platform::Rect RectOf(const Box& box) { return {box.x, box.y, box.x + box.w, box.y + box.h}; }

}  // namespace

std::vector<std::string> SummaryFigureTexts(const GameFigures& f) {
  std::string place;
  if (f.place > 0) place = Ordinal(f.place) + (f.placeSaved ? " place" : " place, not saved");
  else place = WithThousands(f.pointsMissing) + (f.pointsMissing == 1 ? " point" : " points") + " short of " +
               Ordinal(rules::kHallOfFamePlaces);
  const bool answered = f.right + f.wrong > 0;
  return {WithThousands(f.score),
          place,
          std::to_string(f.right),
          std::to_string(f.wrong),
          std::to_string(f.passed),
          answered ? std::to_string(f.accuracy) + "%" : "-",
          std::to_string(f.longestRun),
          std::to_string(f.bonuses) + (f.bonuses > 0 ? " (+" + std::to_string(f.bonuses * rules::kBonusSeconds) + " s)"
                                                      : "")};
}

int32_t QuizGame::ShowSummary(const GameFigures& figures) {
  using namespace summary_layout;
  PauseGameClock();
  std::string line = "summary score " + std::to_string(figures.score) + " place " + std::to_string(figures.place);
  if (figures.place == 0) line += " missing " + std::to_string(figures.pointsMissing);
  if (figures.place > 0 && !figures.placeSaved) line += " not saved";
  line += " right " + std::to_string(figures.right) + " wrong " + std::to_string(figures.wrong) + " passed " +
          std::to_string(figures.passed) + " accuracy " + std::to_string(figures.accuracy) + " run " +
          std::to_string(figures.longestRun) + " bonuses " + std::to_string(figures.bonuses) +
          (figures.newRecord ? " new record" : "");
  platform::TraceLine(line);
  if (figures.newRecord) g_soundTable.PlaySound(SoundName(GameSound::kCheer), 0xFFFF, 0);

  Picture card(figures.newRecord ? "summaryrecord.bmp" : "summary.bmp");
  const std::vector<std::string> values = SummaryFigureTexts(figures);
  const Box& at = kSummaryCard;
  ModalPage page(*shell_, *scene_);
  for (;;) {
    enum class Choice { kStay, kReview, kClose, kClickBeside, kTime } choice = Choice::kStay;
    int32_t restMark = TickNow();
    int32_t lastX = -1, lastY = -1;
    const int32_t result = page.Run([&](const ModalPage::Frame& frame) {
      card.Draw(frame.surface, at.x, at.y);
      if (const BitmapFont* font = g_questionBank.statementFont; font && font->IsLoaded())
        for (size_t row = 0; row < values.size(); ++row)
          font->DrawText(frame.surface, values[row].c_str(), at.x + kValueRight,
                         at.y + kFirstRowY + static_cast<int32_t>(row) * kRowH + (kRowH - font->Height()) / 2, 1, -1);
      const bool over = at.Contains(frame.x, frame.y);
      // The summary waits while the pointer moves over it (someone is reading), and goes by itself otherwise,
      // also when the pointer was left on it by the last answer.
      if (over && (frame.x != lastX || frame.y != lastY) && lastX >= 0) restMark = TickNow();
      lastX = frame.x;
      lastY = frame.y;
      for (const QuizScene::KeyPress& key : frame.keys) {
        if (choice != Choice::kStay) break;
        if (key.buttons.empty()) continue;  // a key that only answers a question
        bool review = false;
        for (const char* name : key.buttons) review = review || std::string(name) == "info";
        choice = review ? Choice::kReview : Choice::kClose;
      }
      if (choice == Choice::kStay && frame.pressed && !over) {
        choice = Choice::kClickBeside;
        pendingPress_ = ButtonAt(frame.x, frame.y);
      }
      if (choice == Choice::kStay && frame.released && over) {
        if (kReviewButton.Contains(frame.x - at.x, frame.y - at.y)) choice = Choice::kReview;
        else if (kCloseButton.Contains(frame.x - at.x, frame.y - at.y)) choice = Choice::kClose;
      }
      if (choice == Choice::kStay && TicksSince(restMark) > kSummaryMs) choice = Choice::kTime;
      return choice == Choice::kStay;
    });
    g_refreshManager.ErasePopupArea(RectOf(at));
    if (!result) {
      platform::TraceLine("summary quit");
      return 0;
    }
    static const char* const kChoiceNames[] = {"", "review", "close", "click beside", "time"};
    platform::TraceLine(std::string("summary close \"") + kChoiceNames[static_cast<int>(choice)] + "\"");
    if (choice != Choice::kReview) break;
    if (!ShowReview()) return 0;
  }
  RedrawText();
  return 1;
}

std::string QuizGame::ButtonAt(int32_t x, int32_t y) const {
  WidgetSet* set = scene_->Buttons();
  for (int32_t i = 0; set && i < set->Count(); ++i) {
    const Widget* w = set->Get(i);
    if (w->IsEnabled() && x >= w->GetX() && x < w->GetX() + w->GetWidth() && y >= w->GetY() &&
        y < w->GetY() + w->GetHeight())
      return w->GetName();
  }
  return "";
}

int32_t QuizGame::ShowReview() {
  using namespace summary_layout;
  Picture card("review.bmp");
  ReviewPager pager(ReviewOfGame(journal.Answers()));
  platform::TraceLine("review open, " + std::to_string(pager.Count()) + " statements");
  const Box& at = kReviewCard;
  ModalPage page(*shell_, *scene_);
  int32_t shownPage = -1;
  const int32_t result = page.Run([&](const ModalPage::Frame& frame) {
    for (const QuizScene::KeyPress& key : frame.keys) pager.Apply(ReviewActionForKey(key));
    if (frame.released && at.Contains(frame.x, frame.y)) pager.Apply(ReviewActionAt(frame.x - at.x, frame.y - at.y));
    if (!pager.Open()) return false;
    if (pager.Page() != shownPage) {
      shownPage = pager.Page();
      const ReviewItem* item = pager.Current();
      platform::TraceLine("review page " + std::to_string(shownPage + 1) +
                          (item ? std::string(" \"") + (item->statement.empty() ? "" : item->statement[0]) + "\" " +
                                      AnswerWord(item->answer) + (item->truth ? " TRUE" : " FALSE")
                                : std::string()));
    }
    card.Draw(frame.surface, at.x, at.y);
    if (const BitmapFont* font = g_questionBank.statementFont; font && font->IsLoaded())
      DrawReviewPage(frame.surface, *font, pager, at.x, at.y);
    return true;
  });
  g_refreshManager.ErasePopupArea(RectOf(at));
  platform::TraceLine(result ? "review close" : "review quit");
  return result;
}

int32_t QuizGame::ShowNewRound() {
  PauseGameClock();
  platform::TraceLine("You have seen every statement — starting again");
  const int32_t shown = ShowNotice("newround.bmp", "new-round");
  RunGameClock();
  return shown;
}
