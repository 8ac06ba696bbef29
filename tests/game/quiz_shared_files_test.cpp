// The hall of fame against what other programs and damage do to it: two games of one suite ending at once, and a
// table this game cannot read.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "headless_game.h"

using rules::GameRun;
using rules::Script;

namespace {

// Right answers, each followed by its explanation left; then the clock runs out and the game is left.
Script RightAnswers(int count) {
  Script s;
  for (int i = 0; i < count; ++i) s.True(500 + 1000 * i).Next(1200 + 1000 * i);
  return s.Escape(185000);
}

struct Finished {
  int exitCode = -1;
  std::string output;
};

Finished Wait(FILE* pipe) {
  Finished f;
  char buffer[512];
  while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) f.output.append(buffer, n);
  const int status = ::pclose(pipe);
  f.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return f;
}

TEST(SharedHallOfFame, TwoOverlappingGamesOfOneSuiteBothKeepTheirResults) {
  const rules::SuiteCopy suite = rules::MakeSuite(rules::OnlyTrue());
  // The barrier: each game waits for its script, read from a FIFO, until both are running; then both read the
  // empty table at their start and both end while the other has already begun.
  const std::string scripts[2] = {suite.root + "/a.fifo", suite.root + "/b.fifo"};
  const Script plays[2] = {RightAnswers(3), RightAnswers(1)};  // 875 and 125 points
  FILE* games[2];
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(::mkfifo(scripts[i].c_str(), 0600), 0);
    games[i] = ::popen(rules::GameCommand(suite, scripts[i], suite.root + "/trace" + std::to_string(i)).c_str(), "r");
    ASSERT_NE(games[i], nullptr);
  }
  for (int i = 0; i < 2; ++i) std::ofstream(scripts[i]) << plays[i].Text(7);
  const Finished a = Wait(games[0]), b = Wait(games[1]);
  EXPECT_EQ(a.exitCode, 0) << a.output;
  EXPECT_EQ(b.exitCode, 0) << b.output;
  GameRun after;
  rules::CollectHallOfFame(suite, &after);
  ASSERT_EQ(after.hiscore.size(), 5204u);
  EXPECT_EQ(rules::ScoreAt(after.hiscore, 0), 875);
  EXPECT_EQ(rules::ScoreAt(after.hiscore, 1), 125) << "the game that saved second kept the first one's result";
  EXPECT_EQ(rules::ScoreAt(after.hiscore, 2), 0);
  EXPECT_EQ(rules::NameAt(after.hiscore, 1).rfind("Ann", 0), 0u);
  std::system(("rm -rf " + rules::Quote(suite.root)).c_str());
}

TEST(SharedHallOfFame, ATableThatCannotBeReadIsKeptAsideNotWrittenOver) {
  std::vector<std::pair<std::string, int32_t>> players;
  for (int i = 0; i < 20; ++i) players.emplace_back("P" + std::to_string(i), 5000 - 100 * i);
  {
    SCOPED_TRACE("one bad byte in the count");
    std::string damaged = rules::HallOfFame(players);
    damaged[0] = 21;
    const GameRun run = rules::Play(RightAnswers(1), rules::OnlyTrue(), 7, damaged);
    ASSERT_TRUE(run.EndedCleanly()) << run.output;
    EXPECT_TRUE(run.Has("new game, best 0"));
    EXPECT_TRUE(run.Has("hiscore unreadable, kept aside"));
    EXPECT_NE(run.output.find("The hall of fame could not be read"), std::string::npos) << run.output;
    ASSERT_EQ(run.besideHiscore.size(), 1u) << "kept once, under one name";
    const auto& [name, bytes] = *run.besideHiscore.begin();
    EXPECT_EQ(name.rfind("hiscore.dat.unreadable-", 0), 0u) << name;
    EXPECT_EQ(bytes, damaged) << "the old file is kept byte for byte";
    ASSERT_EQ(run.hiscore.size(), 5204u) << "a new table took its place";
    EXPECT_EQ(rules::ScoreAt(run.hiscore, 0), 125);
    EXPECT_EQ(rules::ScoreAt(run.hiscore, 1), 0);
  }
  {
    SCOPED_TRACE("a table too short to hold its count, and a score that does not enter leaves it alone");
    const std::string stub("\x14\x00", 2);
    const GameRun run = rules::Play(Script().Escape(185000), rules::OnlyTrue(), 7, stub);
    ASSERT_TRUE(run.EndedCleanly()) << run.output;
    EXPECT_EQ(run.Find("hiscore "), -1);
    EXPECT_EQ(run.hiscore, stub);
    EXPECT_TRUE(run.besideHiscore.empty());
  }
}

}  // namespace

namespace {

void Replace(const std::string& path, const std::string& bytes) {
  std::remove(path.c_str());
  std::ofstream(path, std::ios::binary) << bytes;
}

// Every file the game reads, in turn a FIFO: the game must neither wait at the open nor hang later.
TEST(SharedHallOfFame, AFifoInPlaceOfAnyFileHoldsNothing) {
  const char* files[] = {"../options.ini", "setup.ini",  "hiscore.dat",        "Zorvel.txt",
                         "font.bmp",       "true.bmp",   "sounds/bell.wav", "sounds/music.mp3"};
  for (const char* name : files) {
    SCOPED_TRACE(name);
    const GameRun run = rules::Play(
        RightAnswers(1), rules::OnlyTrue(), 7, "", false,
        [name](const std::string& game) {
          // The music is heard, so that its file is opened too.
          Replace(game + "/../options.ini", "[setup]\r\nmusic=Y\r\nSFX=Y\r\nplayerid=0\r\n[Player1]\r\nname=Ann\r\n");
          std::remove((game + "/" + name).c_str());
          ASSERT_EQ(::mkfifo((game + "/" + name).c_str(), 0644), 0);
        },
        60);
    EXPECT_NE(run.exitCode, 124) << "held by the FIFO until stopped";
    EXPECT_TRUE(run.EndedCleanly()) << run.exitCode << run.output;
    // Without its question file the game has nothing to ask; with any other file a game is played to its end.
    EXPECT_GE(run.Find(std::string(name) == "Zorvel.txt" ? "no questions to show" : "game over, score "), 0);
  }
}

TEST(SharedHallOfFame, WhatAKilledSaveLeftIsClearedAtTheStart) {
  const std::string table = rules::HallOfFame({{"Bob", 500}});
  const GameRun run = rules::Play(Script().Escape(1000), rules::OnlyTrue(), 7, table, false, [](const std::string& game) {
    Replace(game + "/hiscore.dat.tmp.Kx81Qa", "half a table");
    Replace(game + "/hiscore.dat.tmp.0LmNbv", "");
    Replace(game + "/hiscore.dat.unreadable-20261201-101010", "kept by an earlier game");
  });
  ASSERT_TRUE(run.EndedCleanly()) << run.output;
  EXPECT_EQ(run.hiscore, table);
  ASSERT_EQ(run.besideHiscore.count("hiscore.dat.unreadable-20261201-101010"), 1u) << "a kept table stays kept";
  EXPECT_EQ(run.besideHiscore.count("hiscore.dat.tmp.Kx81Qa"), 0u);
  EXPECT_EQ(run.besideHiscore.count("hiscore.dat.tmp.0LmNbv"), 0u);
}

// The pixels of the BEST box in a screenshot of the first frames.
std::string BestBox(const std::string& hiscore) {
  const std::string shot = std::string(::testing::TempDir()) + "best-" + std::to_string(::getpid()) + ".png";
  Script script;
  script.Add(300, "screenshot " + shot).Escape(400);
  const GameRun run = rules::Play(script, rules::OnlyTrue(), 7, hiscore);
  EXPECT_TRUE(run.EndedCleanly()) << run.output;
  // The box and a margin around it, as raw pixels.
  const std::string crop = shot + ".rgb";
  const int converted = std::system(("convert " + rules::Quote(shot) + " -crop 170x60+0+0 rgb:" +
                                     rules::Quote(crop) + " 2>/dev/null").c_str());
  std::string pixels = converted == 0 ? rules::FileBytes(crop) : "";
  std::remove(shot.c_str());
  std::remove(crop.c_str());
  return pixels;
}

TEST(SharedHallOfFame, ABestScoreTooLongForItsBoxShowsTheLargestThatFits) {
  if (std::system("command -v convert >/dev/null") != 0) GTEST_SKIP() << "needs imagemagick";
  const std::string fits = BestBox(rules::HallOfFame({{"Bob", 9999999}}));
  ASSERT_FALSE(fits.empty());
  EXPECT_EQ(BestBox(rules::HallOfFame({{"Bob", 2000000000}})), fits) << "ten digits spill out of the box";
  EXPECT_NE(BestBox(rules::HallOfFame({{"Bob", 1234567}})), fits) << "the box shows its digits";
}

TEST(SharedHallOfFame, DamagedPicturesAndFontsAreTold) {
  const std::string noise(600, '\x5a');
  {
    SCOPED_TRACE("a failed save whose notice picture is damaged says so in words");
    const GameRun run = rules::Play(RightAnswers(1), rules::OnlyTrue(), 7, "", false, [&](const std::string& game) {
      Replace(game + "/savefailed.bmp", noise);
      ::mkdir((game + "/hiscore.dat").c_str(), 0755);  // a folder in the way: the save fails
    });
    ASSERT_TRUE(run.EndedCleanly()) << run.output;
    EXPECT_GE(run.Find("hiscore write \"Ann"), 0);
    EXPECT_NE(run.trace[run.Find("hiscore write \"Ann")].text.find(" failed"), std::string::npos);
    EXPECT_TRUE(run.Has("notice text \"Your place in the hall of fame could not be saved.\""));
  }
  {
    SCOPED_TRACE("a damaged font");
    const GameRun run = rules::Play(Script().Escape(1000), rules::OnlyTrue(), 7, "", false, [&](const std::string& game) {
      Replace(game + "/font.bmp", noise);
    });
    ASSERT_TRUE(run.EndedCleanly()) << run.output;
    EXPECT_NE(run.output.find("font.bmp in the game's folder cannot be read as a font"), std::string::npos)
        << run.output;
    EXPECT_EQ(run.Texts("font missing").size(), 1u);
  }
}

}  // namespace
