#pragma once
// The game controller: a run of true/false questions against the game clock, a ten-step points ladder, a
// streak bonus, the verdict and explanation after each answer, the bull's reactions, and the end of a game.
#include <cstdint>
#include <string>
#include <vector>

#include "game/game_base.h"
#include "game/game_journal.h"
#include "game/game_names.h"
#include "game/high_score_table.h"
#include "platform/video/surface.h"

class GameShell;
class PopupDialog;
class QuizScene;
class Sprite;

// Values of the controller's state.
enum QuizState : int32_t {
  kIdle = 0,
  kStarting = 1,
  kNewQuestion = 20,
  kAwaitAnswer = 21,
  kReveal = 22,
  kShowExplanation = 23,
  kCorrectPause = 24,
};

class QuizGame : public GameBase {
 public:
  // The screen the quiz plays on and the program around it; given before the first Reset.
  void Attach(QuizScene* scene, GameShell* shell);
  void Reset() override;
  void Release() override;
  int32_t Run() override;
  void SetState(int32_t value) override;

  // Frame steps.
  void AnswerRight();
  void AnswerWrong();
  void ApplyTimeBonus();
  int32_t ShowRules();  // 1, or 0 when the program's quit message arrived

  // Displays and the bull.
  void DrawScores();
  void DrawNumber(Sprite* sprite, int32_t right, int32_t top, const char* text, platform::Surface* surface);
  void DrawClockColumn();
  void DrawStreak();
  // Draws onto that surface; null only marks the flowers' areas.
  void DrawStreak(platform::Surface* surface);
  void DrawLadder();
  void BlinkLadderStep();
  void StartBullAnimation(int32_t n);
  void StartBull(BullAnimation a) { StartBullAnimation(static_cast<int32_t>(a)); }
  void TickBull();
  void RedrawText();
  // The stamp of the statement's truth, and beside it the player's result, onto the work surface.
  void DrawVerdict();

  // The end of a game.
  int32_t GameOver();
  // The notice carries the name of the player who played (the first field of their player line).
  int32_t ShowHallOfFame();
  // A centred picture for a little over a second; 1 after it closed, 0 on the program's quit message. The name is
  // the one the trace gives the popup; a player's name, when given, is written on the picture's name plate.
  // When the picture cannot be loaded, `fallback` (when given) is written in the text panel for that time instead.
  int32_t ShowNotice(const char* picture, const char* name, const std::string& playerName = {},
                     const char* fallback = nullptr);
  // After a game has ended, what a popup covered is the game-over card, not the last statement's verdict.
  void RedrawGameOver();
  // N, M and Start would end a running game and lose its score: "End this game?". 1 when the player confirmed,
  // 0 when not, -1 on the program's quit message. The clock stands still while it asks.
  int32_t ConfirmEndGame();

  // The summary after the hall of fame, with its review; 1, or 0 on the program's quit message.
  int32_t ShowSummary(const GameFigures& figures);
  // This game's statements one page at a time, wrong answers first; 1, or 0 on the program's quit message.
  int32_t ShowReview();

  // The current player's memory of statements and games.
  GameJournal journal;

  int32_t ladderStep = 0;
  int32_t streak = 0;
  HighScoreTable scoreTable;
  int32_t bullAnimation = 0;
  int32_t bullFrameIndex = 0;
  const int32_t* bullSequence = nullptr;
  // How the player met the current statement: the stamp tells its truth, this line tells the player.
  enum class Result : int32_t { kNone, kRight, kWrong, kPassed };
  Result lastResult = Result::kNone;

 private:
  // Whether the button of that name was clicked in this frame.
  bool Clicked(const char* name) const;
  void StepState();
  // Presses the buttons of the keys pressed since the last frame; false when the program is to end.
  bool PlayKeyboardClicks();
  // A bank with nothing that can be shown would make the draw loop for ever: show a notice and stay idle.
  bool NoQuestionsToShow();
  // Tells the player once that every statement has been seen and a new round begins; 0 on the quit message.
  int32_t ShowNewRound();

  QuizScene* scene_ = nullptr;
  GameShell* shell_ = nullptr;
  // A question file cut to what the game reads is told once, not at every new game.
  bool toldQuestionLimit_ = false;
  bool toldFontProblem_ = false;
  // The player line of whoever started this game; the hall of fame gets it at the end.
  char playerLine_[256] = {};
  // The game ran out and its game-over card is on the screen, until the next game starts.
  bool gameEnded_ = false;
  bool quitRequested_ = false;  // a popup inside a state step saw the program's quit message
  // The game's button under a point ("" for none).
  std::string ButtonAt(int32_t x, int32_t y) const;
  // A button clicked beside the summary, which closed it: pressed in the next frame, so the click still counts.
  std::string pendingPress_;
  // When the draw began a new round, the tick it did; -1 once told.
  int32_t newRoundMark_ = -1;
  static constexpr int32_t kNewRoundDelayMs = 300;
};

extern QuizGame g_quizGame;

// The summary's figures as it writes them, one per row: score, place, right, wrong, passed, accuracy, longest
// run, time bonuses.
std::vector<std::string> SummaryFigureTexts(const GameFigures& figures);

// Program-wide frame marks.
extern int32_t stateMark;
extern int32_t newGameBlinkOn, newGameBlinkMark;
extern int32_t bullMark;
extern int32_t ladderBlinkOn, ladderBlinkMark;
