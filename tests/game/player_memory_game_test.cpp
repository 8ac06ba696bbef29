// Whole games of the real program, headless, with the player's memory kept in the suite folder between runs of
// the program: fresh statements first, a new round when all are seen, a memory per player, the summary's figures
// and the review, and memory files that are broken in every way a disk or a person can break them.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "game/headless_game.h"
#include "game/player_memory.h"
#include "quiz/statement_id.h"

namespace {

using rules::GameRun;
using rules::Script;

std::string SixtyStatements() {
  std::string file;
  for (int i = 1; i <= 60; ++i)
    file += rules::Entry("Statement number " + std::to_string(i) + " is here.", i % 2 == 0, "Reason " + std::to_string(i) + ".");
  return file;
}

// Passes `count` statements, one every 800 ms, going on after each explanation; the game then runs out and the
// program is left with Escape after the summary.
Script PassStatements(int count) {
  Script s;
  for (int i = 0; i < count; ++i) s.Pass(500 + 800 * i).Next(900 + 800 * i);
  return s.Escape(192000);
}

// The statements the player answered, in order: the last one shown before each answer.
std::vector<std::string> Answered(const GameRun& run) {
  std::vector<std::string> out;
  std::string shown;
  for (const rules::Line& l : run.trace) {
    if (l.text.rfind("question \"", 0) == 0) shown = l.text.substr(10, l.text.rfind('"') - 10);
    else if (l.text.rfind("answer ", 0) == 0) out.push_back(shown);
  }
  return out;
}

int Count(const GameRun& run, const std::string& text) {
  int n = 0;
  for (const rules::Line& l : run.trace) n += l.text == text;
  return n;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

void SetPlayer(const std::string& root, int slot) {
  std::ofstream(root + "/suite/options.ini", std::ios::binary)
      << "[setup]\r\nmusic=N\r\nSFX=Y\r\nplayerid=" << slot << "\r\n[Player1]\r\nname=Ann\r\n[Player2]\r\nname=Bob\r\n";
}

class MemoryGames : public ::testing::Test {
 protected:
  void TearDown() override { std::system(("rm -rf '" + root + "'").c_str()); }
  std::string root = std::string(::testing::TempDir()) + "memory-" + std::to_string(::getpid());
  std::string MemoryFile(const std::string& name) const { return root + "/suite/Zorvel/" + PlayerMemoryFileName(name); }
};

const char kNewRound[] = "You have seen every statement \xE2\x80\x94 starting again";

}  // namespace

TEST_F(MemoryGames, ThreeGamesOfSixtyStatementsRepeatNothingUntilTheNewRound) {
  rules::LayOutSuite(root, SixtyStatements());
  const GameRun first = rules::RunInSuite(root, PassStatements(25), 11);
  ASSERT_TRUE(first.EndedCleanly()) << first.output;
  const std::vector<std::string> one = Answered(first);
  ASSERT_EQ(one.size(), 25u);
  EXPECT_EQ(std::set<std::string>(one.begin(), one.end()).size(), 25u);
  // No file yet: nothing is said until it is written at game over.
  EXPECT_EQ(first.Find("player record"), first.Find("player record " + PlayerMemoryFileName("Ann") + " written"));

  // The program starts again: the same seed would draw the same statements, but none of them comes back.
  const GameRun second = rules::RunInSuite(root, PassStatements(25), 11);
  ASSERT_TRUE(second.EndedCleanly()) << second.output;
  EXPECT_TRUE(second.Has("draw from 35 unseen of 60"));
  const std::vector<std::string> two = Answered(second);
  ASSERT_EQ(two.size(), 25u);
  std::set<std::string> seen(one.begin(), one.end());
  for (const std::string& s : two) EXPECT_TRUE(seen.insert(s).second) << s << " came again";
  EXPECT_EQ(Count(second, kNewRound), 0);

  // Ten are left: the third game shows them, then says once that a new round begins, and goes on without
  // repeating the ten it has just shown.
  const GameRun third = rules::RunInSuite(root, PassStatements(25), 11);
  ASSERT_TRUE(third.EndedCleanly()) << third.output;
  EXPECT_TRUE(third.Has("draw from 10 unseen of 60"));
  EXPECT_EQ(Count(third, kNewRound), 1);
  const std::vector<std::string> three = Answered(third);
  ASSERT_GE(three.size(), 20u);  // a few clicks fall into the notice
  for (size_t i = 0; i < 10; ++i) EXPECT_TRUE(seen.insert(three[i]).second) << three[i] << " came again";
  EXPECT_EQ(seen.size(), 60u);
  EXPECT_EQ(std::set<std::string>(three.begin(), three.end()).size(), three.size());
  const int notice = third.Find(kNewRound);
  int answersBefore = 0;
  for (int i = 0; i < notice; ++i) answersBefore += third.trace[i].text.rfind("answer ", 0) == 0;
  EXPECT_EQ(answersBefore, 10) << "told when the 11th statement is shown";

  PlayerMemory memory;
  ASSERT_EQ(ParsePlayerMemory(ReadFile(MemoryFile("Ann")), &memory), MemoryStatus::kRead);
  EXPECT_EQ(memory.games, 3);
  EXPECT_EQ(memory.round, 2);
  EXPECT_EQ(memory.seen.size(), 60u);
  EXPECT_EQ(memory.lastGame.size(), three.size());
}

TEST_F(MemoryGames, TwoPlayersTakingTurnsEachHaveTheirOwnUnseenStatements) {
  rules::LayOutSuite(root, SixtyStatements());
  SetPlayer(root, 0);
  const std::vector<std::string> ann1 = Answered(rules::RunInSuite(root, PassStatements(20), 5));
  SetPlayer(root, 1);
  const GameRun bobFirst = rules::RunInSuite(root, PassStatements(20), 5);
  const std::vector<std::string> bob1 = Answered(bobFirst);
  SetPlayer(root, 0);
  const std::vector<std::string> ann2 = Answered(rules::RunInSuite(root, PassStatements(20), 5));
  SetPlayer(root, 1);
  const std::vector<std::string> bob2 = Answered(rules::RunInSuite(root, PassStatements(20), 5));
  ASSERT_EQ(ann1.size(), 20u);
  ASSERT_EQ(ann2.size(), 20u);
  // Ann's games took nothing from Bob's unseen statements: his first game, with the same seed, is hers.
  EXPECT_EQ(bobFirst.Find("player record"),
            bobFirst.Find("player record " + PlayerMemoryFileName("Bob") + " written"));
  EXPECT_EQ(bob1, ann1);
  std::set<std::string> annSeen(ann1.begin(), ann1.end()), bobSeen(bob1.begin(), bob1.end());
  for (const std::string& s : ann2) EXPECT_TRUE(annSeen.insert(s).second) << "Ann saw " << s << " again";
  for (const std::string& s : bob2) EXPECT_TRUE(bobSeen.insert(s).second) << "Bob saw " << s << " again";
  EXPECT_EQ(bob2, ann2) << "the same memory, the same seed: the same second game";

  PlayerMemory ann, bob;
  EXPECT_EQ(ParsePlayerMemory(ReadFile(MemoryFile("Ann")), &ann), MemoryStatus::kRead);
  EXPECT_EQ(ParsePlayerMemory(ReadFile(MemoryFile("Bob")), &bob), MemoryStatus::kRead);
  EXPECT_EQ(ann.name, "Ann");
  EXPECT_EQ(bob.name, "Bob");
  EXPECT_EQ(ann.games, 2);
  EXPECT_EQ(bob.games, 2);
}

namespace {

// Six true statements: True, True, True (a time bonus), False (wrong), Pass, True.
Script KnownGame() {
  Script s;
  s.True(500).Next(1400).True(2000).Next(2900).True(3500).Next(4400);
  s.False(5000).Next(5900).Pass(6500).Next(7400).True(8000).Next(8900);
  return s;
}

// Six true statements: True, True, Pass, True, True, True.
Script PassInsideARun() {
  Script s;
  s.True(500).Next(1400).True(2000).Next(2900).Pass(3500).Next(4400);
  s.True(5000).Next(5900).True(6500).Next(7400).True(8000).Next(8900);
  return s;
}
std::string SixTrue() {
  std::string file;
  for (int i = 1; i <= 6; ++i) file += rules::Entry("Thing " + std::to_string(i) + " is so.", true, "Yes.");
  return file;
}

}  // namespace

TEST(Summary, FiguresOfAKnownGameAndThePlaceItTook) {
  // 125 + 250 + 500, a wrong answer back to the bottom, a pass, 125: 1,000 points; 4 right of 5 given; a run
  // of 3; one time bonus.
  const std::string figures = "right 4 wrong 1 passed 1 accuracy 80 run 3 bonuses 1";
  const GameRun top = rules::Play(Script(KnownGame()).Escape(195000), SixTrue(), 3);
  ASSERT_TRUE(top.EndedCleanly()) << top.output;
  EXPECT_TRUE(top.Has("summary score 1000 place 1 " + figures + " new record"));
  // The summary comes after the hall-of-fame notice and before the game-over picture, and cheers a new top.
  const int notice = top.Find("hiscore write"), summary = top.Find("summary score");
  ASSERT_GT(notice, 0);
  EXPECT_LT(top.Find("popup close", notice), summary);
  EXPECT_EQ(top.Find("sound cheer", summary), summary + 1);
  EXPECT_GT(top.Find("popup open", summary), top.Find("summary close", summary));

  std::vector<std::pair<std::string, int32_t>> ladder;
  for (int i = 0; i < 20; ++i) ladder.emplace_back("Someone", 2000 - 100 * i);  // 2000 down to 100
  const GameRun twelfth = rules::Play(Script(KnownGame()).Escape(195000), SixTrue(), 3, rules::HallOfFame(ladder));
  EXPECT_TRUE(twelfth.Has("summary score 1000 place 12 " + figures)) << "below the 1,000 already there";
  EXPECT_EQ(twelfth.Find("sound cheer", twelfth.Find("summary")), -1);

  const GameRun out = rules::Play(Script(KnownGame()).Escape(195000), SixTrue(), 3,
                                  rules::HallOfFame(std::vector<std::pair<std::string, int32_t>>(20, {"Best", 50000})));
  EXPECT_TRUE(out.Has("summary score 1000 place 0 missing 49001 " + figures));
  EXPECT_EQ(out.Find("hiscore write"), -1);

  // A pass is not a right answer: the run before it and the run after it are counted apart.
  const GameRun split = rules::Play(Script(PassInsideARun()).Escape(195000), SixTrue(), 3);
  const int line = split.Find("summary score");
  ASSERT_GE(line, 0) << split.output;
  EXPECT_NE(split.trace[line].text.find(" right 5 wrong 0 passed 1 accuracy 100 run 3 "), std::string::npos)
      << split.trace[line].text;
}

TEST(Summary, ClosesByItselfAndLetsAClickBesideItThrough) {
  // Left alone, it goes after a few seconds and the game reaches its game-over picture and idles.
  const GameRun alone = rules::Play(Script().True(500).Escape(195000), SixTrue(), 3);
  const int summary = alone.Find("summary score");
  const int closed = alone.Find("summary close \"time\"");
  ASSERT_GT(closed, summary);
  EXPECT_GE(alone.trace[closed].tick - alone.trace[summary].tick, 3500);
  EXPECT_LE(alone.trace[closed].tick - alone.trace[summary].tick, 3700);
  EXPECT_GT(alone.Find("state 0 ", closed), closed);

  // "New game" clicked beside the summary closes it and starts the new game.
  const GameRun beside = rules::Play(Script().True(500).NewGame(182000).Escape(195000), SixTrue(), 3);
  const int besideClose = beside.Find("summary close \"click beside\"");
  ASSERT_GT(besideClose, 0);
  EXPECT_GT(beside.Find("state 1 score 0 ladder 0 streak 0 clock 180", besideClose), besideClose);

  // A game key closes it at once; the pointer moving over it holds it, one left on it by the last answer does not.
  const GameRun key = rules::Play(Script().True(500).Add(181500, "keydown SPACE").Add(181510, "keyup SPACE").Escape(195000),
                                  SixTrue(), 3);
  EXPECT_TRUE(key.Has("summary close \"close\""));
  Script reading = Script().True(500);
  for (int t = 181500; t <= 188000; t += 1500) reading.Add(t, "move " + std::to_string(300 + t % 7) + " 200");
  const GameRun held = rules::Play(reading.Escape(190000), SixTrue(), 3);
  EXPECT_EQ(held.Find("summary close"), -1) << "still open when the program is left";
  EXPECT_TRUE(held.Has("summary quit"));
  const GameRun restingOnIt = rules::Play(Script().True(500).Next(1400).Escape(195000), SixTrue(), 3);
  EXPECT_TRUE(restingOnIt.Has("summary close \"time\""));
}

TEST(Summary, TheReviewShowsWrongAnswersFirstAndPagesWithKeysAndClicks) {
  // The known game ends at 184 s (its time bonus took the clock back up to 180) and the summary opens at 185 s.
  Script s = KnownGame();
  s.Add(186000, "keydown R").Add(186010, "keyup R");                              // review from the summary
  s.Add(186500, "keydown RIGHT").Add(186510, "keyup RIGHT");                      // page 2
  s.Add(187000, "keydown RIGHT").Add(187010, "keyup RIGHT");                      // page 3
  s.Add(187500, "keydown LEFT").Add(187510, "keyup LEFT");                        // page 2 again
  s.Click(188000, 90 + 225 + 80, 40 + 462 + 20);                                  // "Next": page 3
  s.Click(188500, 90 + 420 + 80, 40 + 462 + 20);                                  // "Close": back to the summary
  s.Add(189000, "keydown SPACE").Add(189010, "keyup SPACE");                      // and on
  const GameRun run = rules::Play(s.Escape(199000), SixTrue(), 3);
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  EXPECT_TRUE(run.Has("summary close \"review\""));
  EXPECT_TRUE(run.Has("review open, 6 statements"));
  // The statements in the order played, and the one answered wrong (the fourth) and the passed one (the fifth).
  std::vector<std::string> played;
  for (const std::string& t : run.Texts("question \"")) played.push_back(t.substr(0, t.find('"')));
  ASSERT_GE(played.size(), 6u);
  EXPECT_EQ(run.Texts("review page "),
            (std::vector<std::string>{"1 \"" + played[3] + "\" False TRUE", "2 \"" + played[4] + "\" Passed TRUE",
                                      "3 \"" + played[0] + "\" True TRUE", "2 \"" + played[4] + "\" Passed TRUE",
                                      "3 \"" + played[0] + "\" True TRUE"}));
  EXPECT_TRUE(run.Has("review close"));
  EXPECT_EQ(Count(run, "summary close \"close\""), 1);
  EXPECT_LT(run.Find("review close"), run.Find("summary close \"close\""));
}

TEST_F(MemoryGames, BrokenMemoryFilesAreAFreshPlayerAndTheHallOfFameIsKept) {
  std::mt19937 random(2026);
  auto noise = [&random](size_t size) {
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
  };
  const std::string hiscore = rules::HallOfFame({{"Cy:::Y", 5000}, {"Di:::Y", 300}});
  struct Case {
    const char* what;
    std::string bytes;
    const char* told;
  };
  const std::vector<Case> cases = {{"1 MB of noise", noise(1000000), "not a player record"},
                                   {"2 MB", std::string(2u << 20, 'x'), "too large"},
                                   {"0 bytes", "", "empty"},
                                   {"random bytes", noise(777), "not a player record"},
                                   {"cut short", "zorvel player 1\nname Ann\ngames 4\nseen 0123", "cut short"}};
  for (const Case& c : cases) {
    rules::LayOutSuite(root, SixTrue());
    std::ofstream(root + "/suite/Zorvel/hiscore.dat", std::ios::binary) << hiscore;
    std::ofstream(MemoryFile("Ann"), std::ios::binary) << c.bytes;
    const GameRun run = rules::RunInSuite(root, Script().True(500).Next(1400).True(2000).Escape(192000), 3);
    EXPECT_TRUE(run.EndedCleanly()) << c.what << ": " << run.output;
    EXPECT_TRUE(run.Has("player record " + PlayerMemoryFileName("Ann") + " " + c.told + ": a fresh player")) << c.what;
    EXPECT_TRUE(run.Has("summary score 375 place 2 right 2 wrong 0 passed 0 accuracy 100 run 2 bonuses 0")) << c.what;
    // The hall of fame holds the new score between the two it had.
    ASSERT_EQ(run.hiscore.size(), 5204u) << c.what;
    EXPECT_EQ(rules::NameAt(run.hiscore, 0), "Cy:::Y");
    EXPECT_EQ(rules::ScoreAt(run.hiscore, 1), 375);
    EXPECT_EQ(rules::ScoreAt(run.hiscore, 2), 300);
    PlayerMemory after;
    EXPECT_EQ(ParsePlayerMemory(ReadFile(MemoryFile("Ann")), &after), MemoryStatus::kRead) << c.what;
    EXPECT_EQ(after.games, 1) << c.what;
  }

  // A memory from a bank that has changed since: statements it knows that are gone are ignored, the two still
  // there are not drawn.
  rules::LayOutSuite(root, SixTrue());
  std::ostringstream memory;
  memory << "zorvel player 1\nname Ann\ngames 7\ntotal 7000\nbest 4000\nround 1\n";
  memory << "seen " << statement_id::ToHex(statement_id::FromText("Thing 2 is so.")) << " 1 T 1\n";
  memory << "seen " << statement_id::ToHex(statement_id::FromText("Thing 5 is so.")) << " 1 F 0\n";
  memory << "seen " << statement_id::ToHex(statement_id::FromText("A statement no longer in the file.")) << " 1 T 1\n";
  memory << "last 00000000000000aa T\nend\n";
  std::ofstream(MemoryFile("Ann"), std::ios::binary) << memory.str();
  const GameRun changed = rules::RunInSuite(root, Script().True(500).Next(1400).True(2000).Escape(192000), 3);
  EXPECT_TRUE(changed.EndedCleanly()) << changed.output;
  EXPECT_TRUE(changed.Has("player record " + PlayerMemoryFileName("Ann") + " read, 3 seen"));
  EXPECT_TRUE(changed.Has("draw from 4 unseen of 6"));
  for (const std::string& t : Answered(changed)) {
    EXPECT_NE(t, "Thing 2 is so.  ");
    EXPECT_NE(t, "Thing 5 is so.  ");
  }
  PlayerMemory after;
  ASSERT_EQ(ParsePlayerMemory(ReadFile(MemoryFile("Ann")), &after), MemoryStatus::kRead);
  EXPECT_EQ(after.games, 8);
  EXPECT_EQ(after.best, 4000);
  EXPECT_EQ(after.seen.size(), 5u);  // the three it had and the two of this game
}
