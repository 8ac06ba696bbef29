// The quiz's drawing steps: the two scores, the clock column, the streak flowers, the points ladder and its blink,
// the bull's reactions, and the redraw of the text after a popup.
#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

#include "common/game_rules.h"
#include "common/ticker.h"
#include "game/game_names.h"
#include "game/quiz_game.h"
#include "game/quiz_scene.h"
#include "gfx/refresh_manager.h"
#include "gfx/sprite.h"
#include "platform/replay/trace.h"
#include "quiz/question.h"
#include "quiz/question_bank.h"
#include "sound/sound_table.h"
#include "ui/bitmap_font.h"
#include "ui/unchanged_area.h"

int32_t bullMark = 0;
int32_t ladderBlinkOn = 0, ladderBlinkMark = 0;

namespace {

using rules::kTextX;
using rules::kTextY;
constexpr int32_t kResultGap = 10;  // between the stamp and the player's result, and before the panel's edge
constexpr int32_t kClockX = 649, kClockY = 74;
constexpr int32_t kLadderX = 10, kLadderBottomY = 466, kLadderRowHeight = 43;
constexpr int32_t kFlowerX[] = {655, 697, 739};
static_assert(std::size(kFlowerX) == rules::kBonusStreak, "a place for each flower of the streak");
constexpr int32_t kFlowerY = 466;

// An entry shows sheet frame (entry - 1), which leaves 0 to end the animation on its last frame and -1 to start
// it over.
constexpr int32_t kHold = 0, kAgain = -1;
constexpr int32_t F(BullFrame frame) { return static_cast<int32_t>(frame) + 1; }
constexpr int32_t kNeutral = F(BullFrame::kNeutral), kBlink = F(BullFrame::kBlink);
constexpr int32_t kSlumped = F(BullFrame::kSlumped), kLying = F(BullFrame::kLyingDown);
constexpr int32_t kCrouch = F(BullFrame::kHopCrouch), kAir = F(BullFrame::kHopAir), kLand = F(BullFrame::kHopLanding);
constexpr int32_t kCheer = F(BullFrame::kCelebration), kFume = F(BullFrame::kAngry), kSteam = F(BullFrame::kAngrySteam);
constexpr int32_t kLookL = F(BullFrame::kLookLeft), kLookR = F(BullFrame::kLookRight);
constexpr int32_t kHeadL = F(BullFrame::kHeadLeft), kHeadR = F(BullFrame::kHeadRight);
constexpr int32_t kShrugA = F(BullFrame::kShrugA), kShrugB = F(BullFrame::kShrugB);

constexpr int32_t kBullRight[] = {kCrouch, kAir, kLand, kCrouch, kAir, kLand, kCrouch, kAir, kLand, kCrouch, kHold};
constexpr int32_t kBullTopStep[] = {kCrouch, kAir, kCheer, kLand, kCheer, kLand, kCheer, kLand, kAir, kCrouch, kHold};
constexpr int32_t kBullWrong[] = {kHeadL, kNeutral, kHeadR, kNeutral, kHeadL, kNeutral, kHeadR, kNeutral,
                                  kBlink, kSlumped, kSlumped, kSlumped, kBlink, kHold};
constexpr int32_t kBullWrongAfterTwo[] = {kHeadL, kNeutral, kHeadR, kNeutral, kHeadL, kNeutral, kHeadR, kNeutral,
                                          kFume, kSteam, kSteam, kSteam, kFume, kHold};
constexpr int32_t kBullPass[] = {kLookR, kShrugA, kLookR, kShrugB, kLookR, kShrugA, kLookR, kShrugB, kLookR, kHold};
constexpr int32_t kBullGameOver[] = {kLying, kHold};
constexpr int32_t kBullIdle[] = {kBlink,   kBlink,   kNeutral, kNeutral, kBlink,   kBlink,   kNeutral, kNeutral,
                                 kBlink,   kBlink,   kNeutral, kNeutral, kLookR,   kLookR,   kNeutral, kNeutral,
                                 kLookL,   kLookL,   kNeutral, kNeutral, kLookR,   kLookR,   kNeutral, kNeutral,
                                 kLookL,   kLookL,   kNeutral, kNeutral, kHeadR,   kHeadR,   kHeadR,   kNeutral,
                                 kNeutral, kHeadL,   kHeadL,   kHeadL,   kNeutral, kNeutral, kAgain};

// Indexed by the animation's number; the sound each starts with comes from the names table.
constexpr const int32_t* kBullSequences[kBullAnimationCount] = {
    kBullRight, kBullTopStep, kBullWrong, kBullWrong, kBullWrongAfterTwo, kBullPass, kBullGameOver, kBullIdle,
};

platform::Surface* Work() { return g_refreshManager.GetWorkSurface(); }

// Most frames draw the same scores and the same column as the frame before. Where the work surface still holds
// exactly that, the steps only mark their areas (the presentation is unchanged) and skip the pixel work.
UnchangedArea bestScoreArea, currentScoreArea, clockColumnArea;

void AddSprite(UnchangedArea::Inputs* inputs, const Sprite* sprite) {
  inputs->push_back(reinterpret_cast<uintptr_t>(sprite));
  if (!sprite) return;
  inputs->insert(inputs->end(), {static_cast<uint64_t>(sprite->GetWidth()), static_cast<uint64_t>(sprite->GetHeight()),
                                 static_cast<uint64_t>(sprite->IsVisible()), static_cast<uint64_t>(sprite->FrameCount())});
  for (int32_t i = 0; i < sprite->FrameCount(); ++i) UnchangedArea::AddPicture(inputs, sprite->GetFrame(i));
}

platform::Rect Union(const platform::Rect& a, const platform::Rect& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// Everything a score's erase and digits touch.
platform::Rect ScoreArea(int32_t eraseX, int32_t right, int32_t top, size_t length, const Sprite* digits) {
  platform::Rect area{eraseX, 10, eraseX + 136, 44};
  if (digits) {
    const int32_t width = digits->GetWidth() / 10 * static_cast<int32_t>(length);
    area = Union(area, platform::Rect{right - width, top, right, top + digits->GetHeight()});
  }
  return area;
}

// The digits a score box holds: a score from a hostile or foreign table (ten digits, below zero) shows as the
// nearest number that fits, not as digits spilling out of the box.
constexpr int32_t kLargestShownScore = 9999999;
std::string ShownScore(int32_t score) {
  return std::to_string(std::clamp(score, 0, kLargestShownScore));
}

}  // namespace

void QuizGame::DrawScores() {
  const std::string best = ShownScore(scoreTable.TopScore()), current = ShownScore(GetScore());
  Sprite* digits = scene_->scoreDigitsSprite;
  UnchangedArea::Inputs bestInputs{1, static_cast<uint64_t>(scoreTable.TopScore())};
  AddSprite(&bestInputs, digits);
  UnchangedArea::Inputs currentInputs{2, static_cast<uint64_t>(GetScore())};
  AddSprite(&currentInputs, digits);
  const platform::Rect bestArea = ScoreArea(10, 134, 20, best.size(), digits);
  const platform::Rect currentArea = ScoreArea(650, 774, 20, current.size(), digits);
  platform::Surface* work = Work();
  platform::Surface* clean = g_refreshManager.GetCleanSurface();
  if (!platform::RectsOverlap(bestArea, currentArea) && bestScoreArea.Holds(work, clean, bestArea, bestInputs) &&
      currentScoreArea.Holds(work, clean, currentArea, currentInputs)) {
    g_refreshManager.MarkArea(10, 10, 136, 34, kMarkOneShot, kMarkPresent);
    g_refreshManager.MarkArea(650, 10, 136, 34, kMarkOneShot, kMarkPresent);
    DrawNumber(digits, 134, 20, best.c_str(), nullptr);
    DrawNumber(digits, 774, 20, current.c_str(), nullptr);
    return;
  }
  g_refreshManager.EraseArea(10, 10, 136, 34);
  g_refreshManager.EraseArea(650, 10, 136, 34);
  DrawNumber(digits, 134, 20, best.c_str(), work);
  DrawNumber(digits, 774, 20, current.c_str(), work);
  bestScoreArea.Drawn(work, clean, bestArea, bestInputs);
  currentScoreArea.Drawn(work, clean, currentArea, currentInputs);
}

void QuizGame::DrawNumber(Sprite* sprite, int32_t right, int32_t top, const char* text, platform::Surface* surface) {
  if (!sprite) return;
  const int32_t digitWidth = sprite->GetWidth() / 10;
  int32_t x = right - digitWidth * static_cast<int32_t>(std::strlen(text));
  sprite->y = static_cast<float>(top);
  for (const char* c = text; *c; ++c) {
    sprite->x = static_cast<float>(x);
    if (*c >= '0' && *c <= '9') {
      sprite->SetFrameIndex(*c - '0');
      sprite->Draw(surface);
    }
    x += digitWidth;
  }
}

void QuizGame::DrawClockColumn() {
  Sprite* column = scene_->bullTimerSprite;
  if (column && column->FrameCount() > 0 && GetStartSeconds() > 0) {
    const int32_t w = column->GetWidth(), h = column->GetHeight();
    const int32_t fill = static_cast<int32_t>(static_cast<float>(GetStartSeconds() - GetGameClock()) /
                                              static_cast<float>(GetStartSeconds()) * static_cast<float>(h));
    Sprite* flower = scene_->flowerSprite;
    const int32_t flowers = std::min<int32_t>(std::max<int32_t>(streak, 0), rules::kBonusStreak);
    UnchangedArea::Inputs inputs{static_cast<uint64_t>(fill), static_cast<uint64_t>(flowers)};
    AddSprite(&inputs, column);
    AddSprite(&inputs, flower);
    if (flower) inputs.push_back(static_cast<uint64_t>(flower->GetCurrent()));
    platform::Rect area{kClockX, kClockY, kClockX + w, kClockY + h};
    if (flower && flowers > 0) {
      area = Union(area, platform::Rect{kFlowerX[0], kFlowerY, kFlowerX[flowers - 1] + flower->GetWidth(),
                                        kFlowerY + flower->GetHeight()});
    }
    platform::Surface* work = Work();
    platform::Surface* clean = g_refreshManager.GetCleanSurface();
    if (clockColumnArea.Holds(work, clean, area, inputs)) {
      g_refreshManager.MarkArea(kClockX, kClockY, w, h, kMarkOneShot, kMarkPresent);
      g_refreshManager.MarkArea(kClockX, kClockY + h - fill, w, fill, kMarkOneShot, kMarkPresent);
      DrawStreak(nullptr);
      return;
    }
    g_refreshManager.EraseArea(kClockX, kClockY, w, h);
    if (fill > 0 && work) {
      // The column's top rows appear at its foot: it fills from the bottom as time runs out.
      platform::Rect source{0, 0, w, fill};
      platform::Rect target{kClockX, kClockY + h - fill, kClockX + w, kClockY + h};
      work->Blt(&target, column->GetFrame(0), &source, platform::DDBLT_KEYSRC | platform::DDBLT_WAIT, nullptr);
    }
    g_refreshManager.MarkArea(kClockX, kClockY + h - fill, w, fill, kMarkOneShot, kMarkPresent);
    DrawStreak(work);
    clockColumnArea.Drawn(work, clean, area, inputs);
    return;
  }
  DrawStreak(Work());
}

void QuizGame::DrawStreak() { DrawStreak(Work()); }

void QuizGame::DrawStreak(platform::Surface* surface) {
  Sprite* flower = scene_->flowerSprite;
  if (!flower) return;
  for (int32_t i = 0; i < streak && i < rules::kBonusStreak; ++i) {
    flower->x = static_cast<float>(kFlowerX[i]);
    flower->y = static_cast<float>(kFlowerY);
    flower->Draw(surface);
  }
}

void QuizGame::DrawLadder() {
  g_refreshManager.ErasePictureArea(&scene_->panelPicture);
  Sprite* ladder = scene_->allScoreSprite;
  if (!ladder) return;
  for (int32_t i = 0; i <= ladderStep; ++i) {
    ladder->x = static_cast<float>(kLadderX);
    ladder->y = static_cast<float>(kLadderBottomY - kLadderRowHeight * i);
    ladder->SetFrameIndex(i);
    ladder->DrawToScreen();
  }
}

void QuizGame::BlinkLadderStep() {
  if (TicksSince(ladderBlinkMark) <= rules::kLadderBlinkMs) return;
  ladderBlinkMark = TickNow();
  ladderBlinkOn = 1 - ladderBlinkOn;
  Sprite* sprite = ladderBlinkOn == 1 ? scene_->allScoreSprite : scene_->allScoreHighlightSprite;
  if (!sprite) return;
  const int32_t shown = ladderStep == rules::kTopStep ? rules::kTopStep : ladderStep - 1;
  sprite->x = static_cast<float>(kLadderX);
  sprite->y = static_cast<float>(kLadderBottomY - kLadderRowHeight * shown);
  sprite->SetFrameIndex(shown);
  sprite->DrawToScreen();
}

void QuizGame::StartBullAnimation(int32_t n) {
  bullFrameIndex = 0;
  bullAnimation = n;
  if (n < 0 || n >= kBullAnimationCount) return;
  bullSequence = kBullSequences[n];
  if (const GameSoundSpec* sound = BullAnimationSound(n)) g_soundTable.PlaySound(sound->name, 0xFFFF, 1);
  platform::TraceLine(std::string("bull ") + BullAnimationName(n));
}

void QuizGame::TickBull() {
  if (TicksSince(bullMark) <= rules::kBullFrameMs || !bullSequence) return;
  bullMark = TickNow();
  const int32_t v = bullSequence[bullFrameIndex];
  if (v == kAgain) bullFrameIndex = 0;
  if (v != kHold) ++bullFrameIndex;
  Sprite* bull = scene_->bullSprite;
  if (v > kHold && bull) {
    bull->SetFrameIndex(v - 1);
    if (platform::TraceEnabled()) platform::TraceLine("bull frame " + std::to_string(bull->GetCurrent()));
    bull->x = 164.0f;
    bull->y = 14.0f;
    bull->DrawToScreen();
  }
}

void QuizGame::DrawVerdict() {
  const Question* current = g_questionBank.CurrentQuestion();
  Sprite* verdict = scene_->verdictSprite;
  if (!current || !verdict) return;
  verdict->SetFrameIndex(current->answerIsTrue == 1 ? 0 : 1);
  verdict->Draw(Work());
  // The stamp says whether the statement is true; whether the player was right is said in words, so that a right
  // "False" never reads as a mistake.
  const char* line = lastResult == Result::kRight   ? "You're right!"
                     : lastResult == Result::kWrong ? "You're wrong."
                     : lastResult == Result::kPassed ? "You passed."
                                                     : nullptr;
  const BitmapFont* font = g_questionBank.explanationFont;
  if (!line || !font) return;
  const int32_t x = static_cast<int32_t>(verdict->x) + verdict->GetWidth() + kResultGap;
  const int32_t y = static_cast<int32_t>(verdict->y) + (verdict->GetHeight() - font->Height()) / 2;
  font->DrawText(Work(), line, x, y, 0, rules::kTextPanel.x + rules::kTextPanel.w - kResultGap);
}

void QuizGame::RedrawText() {
  DrawLadder();
  const Question* current = g_questionBank.CurrentQuestion();
  if (!current) return;  // nothing has been asked yet
  if (state == kAwaitAnswer) {
    current->DrawStatement(Work(), g_questionBank.statementFont, kTextX, kTextY);
    g_refreshManager.PaintPicture(&scene_->questionPicture);
  } else {
    DrawVerdict();
    current->DrawExplanation(Work(), g_questionBank.explanationFont, kTextX, kTextY);
    g_refreshManager.PaintPicture(&scene_->answerPicture);
  }
}
