// The clock of a game from its start to its end, what ends it in the middle of an answer, the hall of fame a
// result enters, and a quit inside each of the game's popups, judged on whole games of the real program.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "headless_game.h"

using rules::GameRun;
using rules::Script;
using Strings = std::vector<std::string>;

namespace {

// Popups opened and closed and the quit seen inside one, in order.
Strings Popups(const GameRun& run) {
  Strings out;
  for (const rules::Line& l : run.trace)
    if (l.text.rfind("popup ", 0) == 0) out.push_back(l.text.substr(0, l.text.find(' ', 6)));
  return out;
}

TEST(QuizEnd, TheClockRunsFrom180ToZeroThenANewGameStartsAgainAt180) {
  Script script;
  script.NewGame(185000).Exit(190000);
  const GameRun run = rules::Play(script, rules::OnlyTrue());
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  const std::vector<rules::StateLine> states = run.States();
  ASSERT_GE(states.size(), 4u);
  EXPECT_EQ(states[0].state, 1);
  EXPECT_EQ(states[0].clock, 180);
  const int over = run.Find("game over, score ");
  ASSERT_GE(over, 0);
  EXPECT_EQ(run.trace[over].text, "game over, score 0");
  EXPECT_GE(run.trace[over].tick, 180000);
  EXPECT_LE(run.trace[over].tick, 180020);
  // A score of 0 never enters the hall of fame: no notice, no file; the bull goes down, the picture shows.
  EXPECT_FALSE(run.hiscoreExists);
  EXPECT_EQ(run.Find("hiscore write"), -1);
  EXPECT_EQ(Popups(run), Strings({"popup open", "popup close"}));
  EXPECT_EQ(run.Reactions(over, run.Find("popup open", over)), Strings({"sound bull06", "bull game-over"}));

  std::vector<rules::StateLine> after;
  for (const rules::StateLine& s : states)
    if (s.tick >= run.trace[over].tick) after.push_back(s);
  ASSERT_EQ(after.size(), 4u) << "idle until the new game, then its first question";
  EXPECT_EQ(after[0].state, 0);
  EXPECT_EQ(after[0].clock, 0);
  EXPECT_EQ(after[1].state, 1);
  EXPECT_GE(after[1].tick, 185000);
  EXPECT_EQ(after[1].clock, 180);
  // The game-over reaction shows the fallen bull once and holds it.
  std::vector<int> frames;
  for (int i = run.Find("bull game-over") + 1; i < static_cast<int>(run.trace.size()); ++i) {
    if (run.trace[i].text.rfind("bull frame ", 0) == 0) {
      frames.push_back(std::stoi(run.trace[i].text.substr(11)));
    } else if (run.trace[i].text.rfind("bull ", 0) == 0) {
      break;
    }
  }
  EXPECT_EQ(frames, std::vector<int>({15}));
}

TEST(QuizEnd, TheRulesStopTheClockUntilTheNextQuestion) {
  Script script;
  script.Rules(2000).Click(9000, 400, 300).True(12000).Next(12700).True(14500).Exit(16000);
  const GameRun run = rules::Play(script, rules::OnlyTrue());
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  EXPECT_EQ(Popups(run), Strings({"popup open", "popup close"}));
  // Two seconds had gone when the rules opened; ten seconds later the clock still reads 178. It runs again
  // from the next question on (12.7 s) and has lost two more seconds by 14.5 s.
  std::vector<int> answeredAt;
  for (const rules::StateLine& s : run.States())
    if (s.state == 24) answeredAt.push_back(s.clock);
  EXPECT_EQ(answeredAt, std::vector<int>({178, 176}));
}

TEST(QuizEnd, GameOverCutsThePauseOrTheExplanationShort) {
  {
    SCOPED_TRACE("during the pause after a right answer");
    const GameRun run = rules::Play(Script().True(179700).Escape(185000), rules::OnlyTrue());
    ASSERT_TRUE(run.EndedCleanly()) << run.output;
    const int answer = run.Find("answer true"), over = run.Find("game over, score ");
    ASSERT_GE(answer, 0);
    ASSERT_GT(over, answer);
    EXPECT_EQ(run.trace[over].text, "game over, score 125");
    EXPECT_EQ(run.Find("verdict"), -1) << "neither reveal nor explanation";
    EXPECT_EQ(run.States().back().state, 0);
    ASSERT_TRUE(run.hiscoreExists);
    EXPECT_EQ(rules::ScoreAt(run.hiscore, 0), 125);
  }
  {
    SCOPED_TRACE("during the third explanation");
    Script script;
    script.True(177000).Next(177700).True(178000).Next(178700).True(179000).Escape(185000);
    const GameRun right = rules::Play(script, rules::OnlyTrue());
    ASSERT_TRUE(right.EndedCleanly()) << right.output;
    const int over = right.Find("game over, score ");
    ASSERT_GE(over, 0);
    EXPECT_EQ(right.trace[over].text, "game over, score 875");
    EXPECT_EQ(right.Find("time bonus"), -1) << "the third explanation is never left, so there is no bonus";
    const std::vector<rules::StateLine> states = right.States();
    int lastBefore = -1;
    for (const rules::StateLine& s : states)
      if (s.tick <= right.trace[over].tick) lastBefore = s.state;
    EXPECT_EQ(lastBefore, 23);
    EXPECT_EQ(states.back().state, 0);
  }
}

TEST(QuizEnd, ANewRecordIsSavedAndAnnouncedBeforeTheGameOverPicture) {
  const GameRun run = rules::Play(Script().True(500).Escape(185000), rules::OnlyTrue());
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  const int over = run.Find("game over, score ");
  ASSERT_GE(over, 0);
  EXPECT_EQ(run.trace[over + 1].text.rfind("hiscore write \"Ann", 0), 0u) << run.trace[over + 1].text;
  EXPECT_EQ(Popups(run), Strings({"popup open", "popup close", "popup open", "popup close"}));
  const int notice = run.Find("popup open"), closed = run.Find("popup close");
  const int named = run.Find("hall of fame name ");
  ASSERT_GE(named, 0) << "the notice carries no name";
  EXPECT_EQ(run.trace[named].text, "hall of fame name \"Ann\"") << "the name, without the rest of the player line";
  EXPECT_LT(named, notice);
  EXPECT_GT(run.trace[closed].tick - run.trace[notice].tick, 1000) << "the notice stays a little over a second";
  EXPECT_LE(run.trace[closed].tick - run.trace[notice].tick, 1050);
  // Between the notice and the game-over picture the summary cheers the new top of the table.
  EXPECT_EQ(run.Reactions(closed, run.Find("popup open", closed)),
            Strings({"sound cheer", "sound bull06", "bull game-over"}));
  ASSERT_EQ(run.hiscore.size(), 5204u);
  EXPECT_EQ(rules::ScoreAt(run.hiscore, 0), 125);
  EXPECT_EQ(rules::NameAt(run.hiscore, 0).rfind("Ann", 0), 0u);
  for (int i = 1; i < 20; ++i) EXPECT_EQ(rules::ScoreAt(run.hiscore, i), 0);
}

// Three right answers make 875 points; the game ends at about 183 s (the time bonus) and the program is left once
// the summary (3.5 s) and the game-over picture have gone.
Script ThreeRight() {
  Script s;
  s.True(500).Next(1200).True(1500).Next(2200).True(2500).Next(3200);
  return s.Escape(190000);
}

TEST(QuizEnd, TheHallOfFameKeepsTwentyBestFirstWithTiesBelow) {
  {
    SCOPED_TRACE("a tie lands below the older entries and the twentieth drops out");
    const int32_t scores[20] = {1000, 900, 875, 875, 800, 700, 650, 600, 550, 500,
                                450,  400, 350, 300, 250, 200, 150, 120, 110, 100};
    std::vector<std::pair<std::string, int32_t>> table;
    for (int i = 0; i < 20; ++i) table.emplace_back("P" + std::to_string(i), scores[i]);
    const GameRun run = rules::Play(ThreeRight(), rules::OnlyTrue(), 7, rules::HallOfFame(table));
    ASSERT_TRUE(run.EndedCleanly()) << run.output;
    EXPECT_TRUE(run.Has("new game, best 1000"));
    ASSERT_EQ(run.hiscore.size(), 5204u);
    EXPECT_EQ(run.hiscore.substr(0, 4), std::string("\x14\0\0\0", 4));
    const char* names[20] = {"P0", "P1", "P2", "P3", "Ann", "P4",  "P5",  "P6",  "P7",  "P8",
                             "P9", "P10", "P11", "P12", "P13", "P14", "P15", "P16", "P17", "P18"};
    const int32_t after[20] = {1000, 900, 875, 875, 875, 800, 700, 650, 600, 550,
                               500,  450, 400, 350, 300, 250, 200, 150, 120, 110};
    for (int i = 0; i < 20; ++i) {
      EXPECT_EQ(rules::ScoreAt(run.hiscore, i), after[i]) << "entry " << i;
      EXPECT_EQ(rules::NameAt(run.hiscore, i).rfind(names[i], 0), 0u) << "entry " << i;
    }
  }
  {
    SCOPED_TRACE("equal to the twentieth does not enter");
    const std::string file = rules::HallOfFame(std::vector<std::pair<std::string, int32_t>>(20, {"Bob", 875}));
    const GameRun run = rules::Play(ThreeRight(), rules::OnlyTrue(), 7, file);
    ASSERT_TRUE(run.EndedCleanly()) << run.output;
    EXPECT_EQ(run.Texts("game over, score "), Strings({"875"}));
    EXPECT_EQ(run.Find("hiscore write"), -1);
    EXPECT_EQ(Popups(run), Strings({"popup open", "popup close"})) << "no notice";
    EXPECT_EQ(run.hiscore, file) << "the file is left as it was";
  }
  {
    SCOPED_TRACE("one point more enters in twentieth place");
    std::vector<std::pair<std::string, int32_t>> table(19, {"Bob", 900});
    table.emplace_back("Cid", 874);
    const GameRun run = rules::Play(ThreeRight(), rules::OnlyTrue(), 7, rules::HallOfFame(table));
    ASSERT_TRUE(run.EndedCleanly()) << run.output;
    EXPECT_EQ(rules::ScoreAt(run.hiscore, 18), 900);
    EXPECT_EQ(rules::ScoreAt(run.hiscore, 19), 875);
    EXPECT_EQ(rules::NameAt(run.hiscore, 19).rfind("Ann", 0), 0u);
  }
}

// A quit ends the popup at once and the program with it: the game does not carry on behind it.
void ExpectNothingAfterTheQuit(const GameRun& run) {
  const int quit = run.Find("popup quit");
  ASSERT_GE(quit, 0);
  EXPECT_EQ(run.Find("state ", quit), -1);
  EXPECT_EQ(run.Find("popup ", quit + 1), -1);
  EXPECT_EQ(run.Find("bull ", quit), -1);
}

TEST(QuizEnd, AQuitInsideEachPopupEndsTheProgramCleanly) {
  {
    SCOPED_TRACE("the rules");
    const GameRun run = rules::Play(Script().Rules(1000).Escape(2000), rules::OnlyTrue());
    EXPECT_TRUE(run.EndedCleanly()) << run.output;
    EXPECT_EQ(Popups(run), Strings({"popup open", "popup quit"}));
    ExpectNothingAfterTheQuit(run);
  }
  {
    SCOPED_TRACE("the new-record notice");
    const GameRun run = rules::Play(Script().True(500).Escape(180500), rules::OnlyTrue());
    EXPECT_TRUE(run.EndedCleanly()) << run.output;
    EXPECT_EQ(Popups(run), Strings({"popup open", "popup quit"}));
    EXPECT_EQ(run.Find("bull game-over"), -1) << "the game ends inside the notice";
    ASSERT_TRUE(run.hiscoreExists) << "the record was written before the notice";
    EXPECT_EQ(rules::ScoreAt(run.hiscore, 0), 125);
    ExpectNothingAfterTheQuit(run);
  }
  {
    SCOPED_TRACE("the game-over picture");
    // Where the picture opens is learnt from a game without the quit; it closes after a frame or two.
    const GameRun first = rules::Play(Script().Escape(190000), rules::OnlyTrue());
    const int open = first.Find("popup open");
    ASSERT_GE(open, 0);
    const GameRun run = rules::Play(Script().Escape(first.trace[open].tick), rules::OnlyTrue());
    EXPECT_TRUE(run.EndedCleanly()) << run.output;
    EXPECT_EQ(Popups(run), Strings({"popup open", "popup quit"}));
    ExpectNothingAfterTheQuit(run);
  }
}

TEST(QuizEnd, EachPopupIsNamedInTheTrace) {
  // The rules keep the clock stopped until the next statement (11 s), so the game ends near 190 s.
  const GameRun run = rules::Play(Script().True(500).Rules(1500).Click(3000, 400, 300).Exit(200000),
                                  rules::OnlyTrue());
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  EXPECT_EQ(run.Texts("popup open "), Strings({"\"rules\"", "\"hall-of-fame\"", "\"game-over\""}));
  // A place that cannot be saved says so in a notice of its own name.
  const GameRun refused = rules::Play(Script().True(500).Exit(185000), rules::OnlyTrue(), 7,
                                      rules::HallOfFame({}), /*readOnlyHallOfFame=*/true);
  ASSERT_TRUE(refused.EndedCleanly()) << refused.output;
  EXPECT_EQ(refused.Texts("popup open "), Strings({"\"save-failed\"", "\"game-over\""}));
}

// A picture of the presented screen, as the game's screenshot event wrote it: RGB rows of 800 pixels.
std::vector<uint8_t> ReadScreenshot(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<uint8_t> rgb;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return rgb;
  image.format = PNG_FORMAT_RGB;
  rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) rgb.clear();
  png_image_free(&image);
  return rgb;
}

// Pixels that differ between two screenshots inside a rectangle.
int DifferentPixels(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b, int x, int y, int w, int h) {
  int count = 0;
  for (int row = y; row < y + h; ++row)
    for (int col = x; col < x + w; ++col) {
      const size_t i = (static_cast<size_t>(row) * 800 + col) * 3;
      count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    }
  return count;
}

TEST(QuizEnd, TheRulesAfterGameOverGiveTheGameOverPictureBack) {
  // The last statement was answered and its explanation left, so the next one was shown and never answered.
  const std::string shots = std::string(::testing::TempDir()) + "rules-after-over-" + std::to_string(::getpid());
  std::system(("mkdir -p '" + shots + "'").c_str());
  Script script;
  // The summary after the hall-of-fame notice goes at about 184.5 s; the game-over card is then left alone.
  script.True(500).Next(1500).Add(185000, "screenshot " + shots + "/over.png");
  script.Rules(186000).Click(188000, 400, 300).Add(189000, "screenshot " + shots + "/after.png").Exit(190000);
  const GameRun run = rules::Play(script, rules::OnlyTrue());
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  const std::vector<uint8_t> over = ReadScreenshot(shots + "/over.png");
  const std::vector<uint8_t> after = ReadScreenshot(shots + "/after.png");
  std::system(("rm -rf '" + shots + "'").c_str());
  ASSERT_EQ(over.size(), 800u * 600 * 3);
  ASSERT_EQ(after.size(), over.size());
  EXPECT_EQ(run.Texts("popup open "), Strings({"\"hall-of-fame\"", "\"game-over\"", "\"rules\""}));
  // The game-over card at (175, 299), 450 x 172, is back as it was, and no verdict stamp (345, 254) came with it.
  EXPECT_EQ(DifferentPixels(over, after, 175, 299, 450, 172), 0);
  EXPECT_EQ(DifferentPixels(over, after, 345, 254, 110, 32), 0);
}

TEST(QuizEnd, TheScoreGoesToThePlayerWhoStartedTheGame) {
  // In the middle of the game the launcher selects another player. The game is held there: its screenshot goes
  // into a pipe that the test reads only after it has changed the roster.
  const std::string pipe = std::string(::testing::TempDir()) + "player-change-" + std::to_string(::getpid()) + ".png";
  ::unlink(pipe.c_str());
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  Script script;
  script.True(500).Add(3000, "screenshot " + pipe).Exit(185000);
  GameRun run;
  std::thread game([&] {
    run = rules::Play(script, rules::OnlyTrue());
    // A game that ended before its screenshot would leave the reader waiting: let it go.
    const int writer = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) ::close(writer);
  });
  const int reader = ::open(pipe.c_str(), O_RDONLY);
  if (reader >= 0) {
    // rules::Play keeps the suite in a folder named after this process.
    const std::string options = std::string(::testing::TempDir()) + "rules-" + std::to_string(::getpid()) +
                                "/suite/options.ini";
    std::ofstream(options, std::ios::binary)
        << "[setup]\r\nmusic=N\r\nSFX=Y\r\nplayerid=1\r\n[Player1]\r\nname=Ann\r\n[Player2]\r\nname=Bob\r\n";
    char buffer[4096];
    while (::read(reader, buffer, sizeof buffer) > 0) {
    }
    ::close(reader);
  }
  game.join();
  ::unlink(pipe.c_str());
  ASSERT_GE(reader, 0);
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  const int write = run.Find("hiscore write ");
  ASSERT_GE(write, 0);
  EXPECT_EQ(run.trace[write].text.rfind("hiscore write \"Ann:", 0), 0u) << run.trace[write].text;
  ASSERT_TRUE(run.hiscoreExists);
  EXPECT_EQ(rules::NameAt(run.hiscore, 0).rfind("Ann:", 0), 0u);
  EXPECT_EQ(rules::ScoreAt(run.hiscore, 0), 125);
}

}  // namespace
