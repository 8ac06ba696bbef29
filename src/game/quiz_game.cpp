#include "game/quiz_game.h"

#include <cstring>
#include <string>

#include "common/game_rules.h"
#include "common/ticker.h"
#include "game/game_names.h"
#include "game/game_shell.h"
#include "game/popup_dialog.h"
#include "game/quiz_scene.h"
#include "gfx/refresh_manager.h"
#include "gfx/sprite_animation_list.h"
#include "platform/host/atomic_file.h"
#include "platform/host/file_lock.h"
#include "platform/host/file_names.h"
#include "platform/replay/trace.h"
#include "platform/window/message_box.h"
#include "platform/window/window.h"
#include "quiz/question.h"
#include "quiz/question_bank.h"
#include "sound/sound_table.h"
#include "ui/back_surface.h"
#include "ui/bitmap_font.h"
#include "ui/widget.h"
#include "ui/widget_set.h"

QuizGame g_quizGame;

int32_t stateMark = 0;
int32_t newGameBlinkOn = 0, newGameBlinkMark = 0;

namespace {

constexpr uint32_t kFullVolume = 0xFFFF;

// A statement or explanation laid out over several lines, as one text for a screen reader.
std::string JoinedLines(const char (*lines)[Question::kLineBytes], int32_t count) {
  std::string text;
  for (int32_t i = 0; i < count && i < Question::kSlots; ++i) {
    if (!text.empty()) text += ' ';
    text += lines[i];
  }
  return text;
}
using rules::kTextX;
using rules::kTextY;

void Play(GameSound sound) { g_soundTable.PlaySound(SoundName(sound), kFullVolume, 0); }

platform::Surface* Work() { return g_refreshManager.GetWorkSurface(); }



}  // namespace

void QuizGame::Attach(QuizScene* scene, GameShell* shell) {
  scene_ = scene;
  shell_ = shell;
}

bool QuizGame::Clicked(const char* name) const {
  WidgetSet* set = scene_->Buttons();
  return set && set->WasClicked(name);
}

void QuizGame::SetState(int32_t value) {
  GameBase::SetState(value);
  platform::TraceLine("state " + std::to_string(value) + " score " + std::to_string(score) + " ladder " +
                      std::to_string(ladderStep) + " streak " + std::to_string(streak) + " clock " +
                      std::to_string(GetGameClock()));
}

void QuizGame::Reset() {
  g_questionBank.ReleaseAll();
  g_questionBank.CreateFonts();
  if (!g_questionBank.statementFont->IsLoaded() && !toldFontProblem_) {
    // Without its font the game would run with no text at all and no word why.
    toldFontProblem_ = true;
    platform::TraceLine("font missing");
    platform::MessageBox(platform::FileExists("font.bmp")
                             ? "font.bmp in the game's folder cannot be read as a font, so no text can be shown."
                             : "font.bmp is missing from the game's folder, so no text can be shown.",
                         "Zorvel", platform::MB_OK);
  }
  g_questionBank.LoadQuestionFile("Zorvel.txt");
  if (!g_questionBank.LoadLimitMessage().empty() && !toldQuestionLimit_) {
    toldQuestionLimit_ = true;
    platform::TraceLine("question file cut");
    platform::MessageBox(g_questionBank.LoadLimitMessage(), "Zorvel", platform::MB_OK);
  }
  g_refreshManager.RestoreAll();
  SetStartSeconds(rules::kClockSeconds);
  SetBonusSeconds(rules::kBonusSeconds);
  SetMaxSeconds(rules::kClockSeconds);
  SetGameClock(GetStartSeconds());
  SetScore(0);
  ladderStep = 0;
  streak = 0;
  lastResult = Result::kNone;
  SetPlayerId(shell_->LoadCurrentPlayer(playerLine_));
  gameEnded_ = false;
  newRoundMark_ = -1;
  journal.BeginGame(PlayerNameOfLine(playerLine_), RecordFolderOfHallOfFame(), g_questionBank);
  scoreTable.Allocate(rules::kHallOfFamePlaces);
  {
    const platform::ScopedFileLock lock(platform::HostPath("hiscore.dat"));
    // A save that was killed left its temporary file behind; none is under way while the lock is held.
    if (lock.Held()) platform::RemoveStaleTemporaries("hiscore.dat");
    scoreTable.ReadTable("hiscore.dat");
  }
  platform::TraceLine("new game, best " + std::to_string(scoreTable.TopScore()));
  SetState(kStarting);
  RunGameClock();
  StartBull(BullAnimation::kIdle);
}

void QuizGame::Release() {
  g_questionBank.ReleaseAll();
  g_spriteAnimations.Clear();
  scoreTable.Free();
}

bool QuizGame::PlayKeyboardClicks() {
  WidgetSet* set = scene_->Buttons();
  if (!pendingPress_.empty()) {
    if (Widget* widget = set ? set->FindByName(pendingPress_.c_str()) : nullptr) widget->Press();
    pendingPress_.clear();
  }
  for (const QuizScene::KeyPress& press : scene_->TakePressedKeys()) {
    if (press.buttons.empty()) continue;
    // A key that stands for two buttons acts on the one this state polls: the text panel during the
    // explanation, the other button otherwise.
    const char* name = press.buttons.front();
    for (const char* candidate : press.buttons)
      if ((std::strcmp(candidate, "next") == 0) == (state == kShowExplanation)) name = candidate;
    Widget* widget = set ? set->FindByName(name) : nullptr;
    // The keys that end a running game sit beside the others and throw its score away: they ask first. The
    // mouse buttons, aimed on purpose, act at once.
    if (state != kIdle && (std::strcmp(name, "newgame") == 0 || std::strcmp(name, "menu") == 0)) {
      const int32_t confirmed = ConfirmEndGame();
      if (confirmed < 0) return false;
      if (confirmed == 1 && widget) widget->Press();
      return true;  // keys pressed before the answer are not played after it
    }
    if (widget) widget->Press();
  }
  return true;
}

int32_t QuizGame::Run() {
  int32_t x, y, buttons;
  shell_->GetMouse(&x, &y, &buttons);
  WidgetSet* set = scene_->Buttons();
  if (!set) return kFrameQuit;
  set->UpdateAll(x, y, buttons);
  set->RedrawAll();
  if (!PlayKeyboardClicks()) return kFrameQuit;

  DrawScores();
  DrawClockColumn();
  TickBull();

  if (Clicked("menu")) {
    Play(GameSound::kClick);
    if (shell_->LeaveToLauncher()) return kFrameQuit;
  }
  if (Clicked("info") && !ShowRules()) return kFrameQuit;
  if (Clicked("exit")) return kFrameQuit;
  if (Clicked("newgame")) {
    if (Widget* newGame = set->FindByName("newgame")) newGame->SetImageBase(0);
    Reset();
    RunGameClock();
  }
  if (state != kIdle && GetGameClock() == 0) return GameOver();

  StepState();
  if (quitRequested_) {
    quitRequested_ = false;
    return kFrameQuit;
  }
  g_spriteAnimations.UpdateAndDraw(BackSurface());
  return kFrameContinue;
}

bool QuizGame::NoQuestionsToShow() {
  if (g_questionBank.CountShowable() > 0) return false;
  g_refreshManager.ErasePictureArea(&scene_->questionPicture);
  const BitmapFont* font = g_questionBank.statementFont;
  if (font && font->IsLoaded()) {
    font->DrawText(Work(), "There are no questions to show.", kTextX, kTextY, 0, -1);
    font->DrawText(Work(), "Zorvel.txt is missing or has no complete entry.", kTextX, kTextY + font->Height(), 0,
                   -1);
  }
  g_refreshManager.PaintPicture(&scene_->questionPicture);
  platform::TraceLine("no questions to show");
  PauseGameClock();
  SetState(kIdle);
  return true;
}

void QuizGame::StepState() {
  switch (state) {
    case kIdle: {
      Widget* newGame = scene_->Buttons()->FindByName("newgame");
      if (newGame && TicksSince(newGameBlinkMark) > rules::kNewGameBlinkMs) {
        newGameBlinkOn = 1 - newGameBlinkOn;
        newGame->SetImageBase(newGameBlinkOn);
        newGame->Draw(BackSurface());
        newGameBlinkMark = TickNow();
      }
      break;
    }
    case kStarting:
      SetState(kNewQuestion);
      break;
    case kNewQuestion: {
      lastResult = Result::kNone;  // a statement not yet answered has no result to tell
      StartBull(BullAnimation::kIdle);
      RunGameClock();
      DrawLadder();
      DrawStreak();
      g_refreshManager.ErasePictureArea(&scene_->questionPicture);
      g_refreshManager.ErasePictureArea(&scene_->answerPicture);
      if (Sprite* verdict = scene_->verdictSprite)
        g_refreshManager.EraseArea(static_cast<int32_t>(verdict->x), static_cast<int32_t>(verdict->y),
                                   verdict->GetWidth(), verdict->GetHeight());
      if (NoQuestionsToShow()) break;
      Question* question = journal.Draw(g_questionBank);
      question->DrawStatement(Work(), g_questionBank.statementFont, kTextX, kTextY);
      g_refreshManager.PaintPicture(&scene_->questionPicture);
      platform::Announce(JoinedLines(question->statementLines, question->statementCount));
      platform::TraceLine(std::string("question \"") + question->statementLines[0] + "\" " +
                          (question->answerIsTrue ? "TRUE" : "FALSE"));
      SetState(kAwaitAnswer);
      if (journal.TakeNewRoundNotice()) newRoundMark_ = TickNow();
      break;
    }
    case kAwaitAnswer: {
      // The new round is told once the screen around the statement has been drawn.
      if (newRoundMark_ >= 0 && TicksSince(newRoundMark_) >= kNewRoundDelayMs) {
        newRoundMark_ = -1;
        if (!ShowNewRound()) {
          quitRequested_ = true;
          break;
        }
      }
      const Question* current = g_questionBank.CurrentQuestion();
      if (Clicked("true")) {
        platform::TraceLine("answer true");
        const bool right = current && current->answerIsTrue == 1;
        journal.NoteAnswer(g_questionBank.CurrentQuestion(), RecordAnswer::kTrue, right);
        if (right) AnswerRight();
        else AnswerWrong();
      }
      if (Clicked("false")) {
        platform::TraceLine("answer false");
        const bool right = current && current->answerIsTrue == 0;
        journal.NoteAnswer(g_questionBank.CurrentQuestion(), RecordAnswer::kFalse, right);
        if (right) AnswerRight();
        else AnswerWrong();
      }
      if (Clicked("pass")) {
        platform::TraceLine("answer pass");
        journal.NoteAnswer(g_questionBank.CurrentQuestion(), RecordAnswer::kPass, false);
        lastResult = Result::kPassed;
        StartBull(BullAnimation::kPass);
        streak = 0;
        SetState(kReveal);
      }
      stateMark = TickNow();
      break;
    }
    case kCorrectPause:
      if (TicksSince(stateMark) < rules::kCorrectPauseMs) {
        BlinkLadderStep();
      } else {
        stateMark = TickNow();
        SetState(kReveal);
      }
      break;
    case kReveal:
      g_refreshManager.ErasePictureArea(&scene_->questionPicture);
      if (TicksSince(stateMark) > rules::kRevealDelayMs) {
        const Question* current = g_questionBank.CurrentQuestion();
        DrawVerdict();
        if (Sprite* verdict = scene_->verdictSprite)
          platform::TraceLine(verdict->GetCurrent() == 0 ? "verdict TRUE" : "verdict FALSE");
        platform::TraceLine(std::string("result ") + (lastResult == Result::kRight   ? "right"
                                                      : lastResult == Result::kWrong ? "wrong"
                                                                                     : "pass"));
        if (current) {
          current->DrawExplanation(Work(), g_questionBank.explanationFont, kTextX, kTextY);
          platform::Announce(std::string(current->answerIsTrue == 1 ? "True. " : "False. ") +
                             JoinedLines(current->explanationLines, current->explanationCount));
        }
        g_refreshManager.PaintPicture(&scene_->answerPicture);
        SetState(kShowExplanation);
        stateMark = TickNow();
      }
      break;
    case kShowExplanation:
      if (scene_->continueSprite) scene_->continueSprite->Draw(BackSurface());
      if (TicksSince(stateMark) > rules::kExplanationMs || Clicked("next")) {
        DrawLadder();
        DrawStreak();
        if (Sprite* bell = g_spriteAnimations.Find("bell")) bell->SetPlaying(0);
        SetState(kNewQuestion);
        ApplyTimeBonus();
      }
      break;
    default:
      break;
  }
}

void QuizGame::AnswerRight() {
  lastResult = Result::kRight;
  if (Sprite* bell = g_spriteAnimations.Find("bell")) bell->SetPlaying(1);
  Play(GameSound::kBell);
  Play(GameSound::kPosChart);
  SetScore(GetScore() + rules::kLadderPoints[ladderStep]);
  if (ladderStep == rules::kTopStep) {
    Play(GameSound::kCheer);
    StartBull(BullAnimation::kTopStep);
  } else {
    StartBull(BullAnimation::kRight);
  }
  if (ladderStep < rules::kTopStep) ++ladderStep;
  Play(GameSound::kCheck);
  ++streak;
  SetState(kCorrectPause);
}

void QuizGame::AnswerWrong() {
  lastResult = Result::kWrong;
  Play(GameSound::kDrop);
  StartBull(streak == rules::kAngryStreak ? BullAnimation::kAngry : BullAnimation::kWrong);
  if (ladderStep > 0) {
    ladderStep = 0;
    g_refreshManager.ErasePictureArea(&scene_->panelPicture);
  }
  streak = 0;
  SetState(kReveal);
}

void QuizGame::ApplyTimeBonus() {
  if (streak == rules::kBonusStreak) {
    Play(GameSound::kBling);
    const int32_t clock = AddToGameClock(GetBonusSeconds(), GetMaxSeconds());
    journal.NoteTimeBonus();
    platform::TraceLine("time bonus, clock " + std::to_string(clock));
    streak = 0;
    if (Sprite* dance = g_spriteAnimations.Find("mandance")) {
      dance->SetVisible(1);
      dance->SetPlaying(1);
    }
    if (Sprite* hammer = g_spriteAnimations.Find("manhammer")) hammer->SetVisible(0);
  }
  DrawStreak();
}

int32_t QuizGame::ShowRules() {
  PauseGameClock();
  auto* popup = new PopupDialog(*shell_);
  popup->LoadPopupPicture("title\\HowToPlay.bmp", "rules");
  popup->AddDefaultButton();
  // A player without a mouse closes the rules with any game key.
  popup->SetKeyPress([this]() -> const char* {
    for (const QuizScene::KeyPress& press : scene_->TakePressedKeys())
      if (!press.buttons.empty()) return "key";
    return nullptr;
  });
  char result[256];
  if (popup->RunModal(result, "rules") == 0) {
    // The program is ending: everything the redraw would use has been released already.
    delete popup;
    return 0;
  }
  g_refreshManager.ErasePopupArea(popup->GetPopupRect());
  delete popup;
  scene_->ForgetPressedKeys();
  if (gameEnded_) RedrawGameOver();
  else RedrawText();
  return 1;
}

int32_t QuizGame::ConfirmEndGame() {
  const bool clockWasRunning = GameClockRunning();
  PauseGameClock();
  auto* popup = new PopupDialog(*shell_);
  popup->LoadPopupPicture("endgame.bmp", "end-game");
  for (const rules::EndGameButton& b : rules::kEndGameButtons) {
    auto* button = new Widget(b.x, b.y, b.w, b.h);
    constexpr int32_t m = rules::kEndGameHitMargin;
    button->SetHitRect(b.x - m, b.y - m, b.w + 2 * m, b.h + 2 * m);
    button->SetName(b.name);
    popup->AddWidget(button);
  }
  popup->SetOutsideClickResult("no");
  popup->SetKeyPress([this]() -> const char* {
    for (const QuizScene::KeyPress& press : scene_->TakePressedKeys()) {
      if (press.reply == QuizScene::Reply::kYes) return "yes";
      if (press.reply == QuizScene::Reply::kNo) return "no";
    }
    return nullptr;
  });
  scene_->SetEscapeAnswers(true);
  char result[256];
  const int32_t closed = popup->RunModal(result, nullptr);
  scene_->SetEscapeAnswers(false);
  if (closed == 0) {
    delete popup;
    return -1;
  }
  g_refreshManager.ErasePopupArea(popup->GetPopupRect());
  delete popup;
  scene_->ForgetPressedKeys();
  if (std::strcmp(result, "yes") == 0) return 1;
  RedrawText();
  if (clockWasRunning) RunGameClock();
  return 0;
}
