// How the player's presses reach the game, judged on whole games of the real program: clicks shorter than a frame,
// and the question the game asks before a key ends a running game.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "headless_game.h"

using rules::GameRun;
using rules::Script;
using Strings = std::vector<std::string>;

namespace {

// Every popup line ("popup open \"rules\"", "popup close \"default\"", ...), in order.
Strings PopupLines(const GameRun& run) { return run.Texts("popup "); }

int Count(const GameRun& run, const std::string& prefix) { return static_cast<int>(run.Texts(prefix).size()); }

// The "End this game?" card is centred: 356 x 150 at (222, 225). Its answers, and a point on it that is neither.
constexpr int kYesX = 322, kNoX = 478, kAnswerY = 339;
constexpr int kCardX = 400, kCardY = 250;

}  // namespace

TEST(QuizInput, ClicksShorterThanAFrameAreTaken) {
  // Each press and its release arrive in the same millisecond, between two frames.
  Script script;
  script.Tap(500, 232, 499)     // True
      .Tap(1500, 400, 330)      // the text panel: on to the next statement
      .Tap(2500, 124, 540)      // Rules
      .Tap(4000, 400, 300)      // closes them
      .Tap(5000, 30, 540)       // New game
      .Add(5500, "keydown T")   // a key tapped as fast: True
      .Add(5500, "keyup T")
      .Tap(6500, 724, 540);     // Exit
  const GameRun run = rules::Play(script, rules::OnlyTrue());
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  EXPECT_EQ(run.Texts("answer "), Strings({"true", "true"}));
  EXPECT_EQ(Count(run, "question "), 3) << "the first statement, the next one after the panel, a new game's first";
  EXPECT_EQ(PopupLines(run), Strings({"open \"rules\"", "close \"default\""}));
  EXPECT_EQ(Count(run, "new game"), 2);
  EXPECT_TRUE(run.Has("shutdown"));
}

TEST(QuizInput, TheKeysThatEndARunningGameAskFirst) {
  Script script;
  script.Key(500, "N")
      .Key(10500, "ESCAPE")   // no: the game goes on, and Escape has not closed the program
      .True(11500)
      .Key(12500, "N")
      .Click(13500, 50, 300)  // a click beside the card: no
      .Key(14500, "N")
      .Key(15500, "Y")        // yes: a new game
      .Key(16500, "M")
      .Key(17500, "RETURN");  // yes: to the launcher
  const GameRun run = rules::Play(script, rules::OnlyTrue());
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  EXPECT_EQ(PopupLines(run), Strings({"open \"end-game\"", "close \"no\"", "open \"end-game\"", "close \"no\"",
                                      "open \"end-game\"", "close \"yes\"", "open \"end-game\"", "close \"yes\""}));
  EXPECT_EQ(Count(run, "new game"), 2) << "the first game and the one Y confirmed";
  EXPECT_EQ(Count(run, "launch "), 1);
  const int answer = run.Find("answer true");
  ASSERT_GE(answer, 0) << "the game went on after Escape";
  EXPECT_GT(run.Find("shutdown"), run.Find("launch ")) << "the program ended only after the launcher started";
  // The clock stood still while the question showed (0.5 s to 10.5 s) and ran again after: it had run through
  // one second mark (11 s) by the answer.
  int answered = 0;
  for (const rules::StateLine& s : run.States()) {
    if (s.state != 24) continue;
    ++answered;
    EXPECT_EQ(s.clock, 179);
  }
  EXPECT_EQ(answered, 1);
}

TEST(QuizInput, TheQuestionTakesClicksOnItsAnswersAndTheControllerAndIsNotAskedWhenNothingIsLost) {
  Script script;
  script.Key(500, "PAD_START")
      .Click(1500, kNoX, kAnswerY)
      .Key(2500, "PAD_START")
      .Click(3500, kCardX, kCardY)  // on the card but on neither answer: the question stays
      .Key(4500, "PAD_B")
      .Key(5500, "PAD_START")
      .Key(6500, "PAD_A")
      .Key(7500, "N")
      .Click(8500, kYesX, kAnswerY)
      .NewGame(9500)                // the mouse's New game acts at once
      .Key(200000, "N")             // after game over nothing is lost: at once
      .Exit(201000);
  const GameRun run = rules::Play(script, rules::OnlyTrue());
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  EXPECT_EQ(PopupLines(run), Strings({"open \"end-game\"", "close \"no\"", "open \"end-game\"", "close \"no\"",
                                      "open \"end-game\"", "close \"yes\"", "open \"end-game\"", "close \"yes\"",
                                      "open \"game-over\"", "close \"\""}));
  EXPECT_EQ(Count(run, "new game"), 5);
  // The click on the card left the question open until B answered it; no key meant for the question answered a
  // statement.
  const int secondClose = run.Find("popup close", run.Find("popup close") + 1);
  ASSERT_GE(secondClose, 0);
  EXPECT_GE(run.trace[secondClose].tick, 4500);
  EXPECT_EQ(run.Texts("answer "), Strings());
  // The last game began with the mouse at 9.5 s and ended 180 s later; N then started the next at once.
  const std::vector<int32_t> starts = [&] {
    std::vector<int32_t> ticks;
    for (int i = run.Find("new game"); i >= 0; i = run.Find("new game", i + 1)) ticks.push_back(run.trace[i].tick);
    return ticks;
  }();
  ASSERT_EQ(starts.size(), 5u);
  EXPECT_GE(starts[3], 9500);
  EXPECT_LT(starts[3], 9600);
  EXPECT_GE(starts[4], 200000);
  EXPECT_LT(starts[4], 200100);
}

TEST(QuizInput, TheQuestionsAnswersTakeClicksJustBesideWhereTheyAreDrawn) {
  // Yes is drawn over (262, 321) to (382, 357), No over (418, 321) to (538, 357); each takes clicks up to 8 pixels
  // beyond, so a finger on a phone finds them. Between the two hit areas a click on the card answers nothing.
  Script script;
  script.Key(500, "N")
      .Click(1500, 257, 316)   // above and left of Yes: yes, a new game
      .Key(2500, "N")
      .Click(3500, 542, 362)   // below and right of No: no
      .Key(4500, "N")
      .Click(5500, 400, 339)   // in the gap, beyond both hit areas: the question stays
      .Click(6500, 254, 370)   // below Yes and its hit area: the question stays
      .Key(7500, "Y")
      .Exit(9000);
  const GameRun run = rules::Play(script, rules::OnlyTrue());
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  EXPECT_EQ(PopupLines(run), Strings({"open \"end-game\"", "close \"yes\"", "open \"end-game\"", "close \"no\"",
                                      "open \"end-game\"", "close \"yes\""}));
  const int lastClose = run.Find("popup close", run.Find("popup close", run.Find("popup close") + 1) + 1);
  ASSERT_GE(lastClose, 0);
  EXPECT_GE(run.trace[lastClose].tick, 7500) << "only the key answered the third question";
  EXPECT_EQ(Count(run, "new game"), 3);
}
