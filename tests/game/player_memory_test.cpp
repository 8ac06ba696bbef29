// The player's memory file: what it keeps, how it reads back, and that anything broken is a fresh player.
#include "game/player_memory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

#include "game/game_journal.h"
#include "game/high_score_table.h"

namespace {

const std::string kTwoGames =
    "zorvel player 1\n"
    "name Ann\n"
    "games 2\n"
    "total 3001\n"
    "best 2000\n"
    "round 3\n"
    "topic 4 3 film\n"
    "topic 2 0 world_history\n"
    "seen 00000000000000ff 2 F 0\n"
    "seen 0123456789abcdef 3 T 1\n"
    "last 0123456789abcdef T\n"
    "last 00000000000000ff F\n"
    "end\n";

TEST(PlayerMemory, ReadsWhatItWritesAndKnowsTheRound) {
  PlayerMemory m;
  ASSERT_EQ(ParsePlayerMemory(kTwoGames, &m), MemoryStatus::kRead);
  EXPECT_EQ(m.name, "Ann");
  EXPECT_EQ(m.games, 2);
  EXPECT_EQ(m.best, 2000);
  EXPECT_EQ(m.AverageScore(), 1500);  // 3001 / 2, whole points
  EXPECT_EQ(m.round, 3);
  EXPECT_TRUE(m.SeenThisRound(0x0123456789abcdefull));
  EXPECT_FALSE(m.SeenThisRound(0xffull));  // seen in round 2: fresh again in round 3
  EXPECT_FALSE(m.SeenThisRound(0x42ull));
  EXPECT_EQ(m.seen.at(0xffull).answer, RecordAnswer::kFalse);
  EXPECT_FALSE(m.seen.at(0xffull).right);
  EXPECT_EQ(PlayerMemory::Percent(m.topics.at("film")), 75);
  EXPECT_EQ(PlayerMemory::Percent(m.topics.at("world_history")), 0);
  ASSERT_EQ(m.lastGame.size(), 2u);
  EXPECT_EQ(m.lastGame[1].statementId, 0xffull);
  // The same memory writes the same bytes, in the order they were typed here (sorted by topic and id).
  EXPECT_EQ(SerializePlayerMemory(m), kTwoGames);

  // Line ends of another system and lines a later game may add are fine.
  std::string crlf;
  for (char c : kTwoGames) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  crlf.insert(crlf.find("end\r\n"), "mood happy\r\n");
  PlayerMemory again;
  EXPECT_EQ(ParsePlayerMemory(crlf, &again), MemoryStatus::kRead);
  EXPECT_EQ(again.seen.size(), 2u);
}

TEST(PlayerMemory, AnythingBrokenIsAFreshPlayerWithTheNameKept) {
  auto statusOf = [](const std::string& bytes) {
    PlayerMemory m;
    m.name = "Ann";
    m.games = 9;
    const MemoryStatus status = ParsePlayerMemory(bytes, &m);
    if (status != MemoryStatus::kRead) {
      EXPECT_EQ(m.name, "Ann");
      EXPECT_EQ(m.games, 0);
      EXPECT_TRUE(m.seen.empty());
      EXPECT_EQ(m.round, 1);
    }
    return status;
  };
  EXPECT_EQ(statusOf(""), MemoryStatus::kEmpty);
  EXPECT_EQ(statusOf(kTwoGames.substr(0, kTwoGames.size() - 4)), MemoryStatus::kTruncated);  // "end" lost
  EXPECT_EQ(statusOf(kTwoGames.substr(0, 60)), MemoryStatus::kTruncated);                    // cut mid-line
  EXPECT_EQ(statusOf("zorvel player 2\nend\n"), MemoryStatus::kForeign);
  EXPECT_EQ(statusOf("\x89PNG\r\n\x1a\n"), MemoryStatus::kForeign);
  EXPECT_EQ(statusOf("zorvel player 1\ngames -1\nend\n"), MemoryStatus::kForeign);
  EXPECT_EQ(statusOf("zorvel player 1\ngames 99999999999\nend\n"), MemoryStatus::kForeign);
  EXPECT_EQ(statusOf("zorvel player 1\ntopic 3 4 film\nend\n"), MemoryStatus::kForeign);  // more right than given
  EXPECT_EQ(statusOf("zorvel player 1\nseen 0123456789abcdeX 1 T 1\nend\n"), MemoryStatus::kForeign);
  EXPECT_EQ(statusOf("zorvel player 1\nseen 0123456789abcdef 1 Q 1\nend\n"), MemoryStatus::kForeign);
  EXPECT_EQ(statusOf("zorvel player 1\nround 0\nend\n"), MemoryStatus::kForeign);
  // Over a megabyte is not ours, however it begins.
  std::string huge = "zorvel player 1\n";
  while (huge.size() <= PlayerMemory::kMaxBytes) huge += "seen 0123456789abcdef 1 T 1\n";
  huge += "end\n";
  EXPECT_EQ(statusOf(huge), MemoryStatus::kHuge);
  std::mt19937 random(25);
  for (int i = 0; i < 50; ++i) {
    std::string noise(static_cast<size_t>(random() % 400), '\0');
    for (char& c : noise) c = static_cast<char>(random());
    EXPECT_NE(statusOf(noise), MemoryStatus::kRead);
  }
}

// A FIFO put where the memory file goes would hold a blocking open for ever; it is no memory, at once.
TEST(PlayerMemory, AFifoInItsPlaceIsAFreshPlayerWithoutWaiting) {
  const std::string path = std::string(::testing::TempDir()) + "memory-fifo-" + std::to_string(::getpid()) + ".rec";
  std::remove(path.c_str());
  ASSERT_EQ(0, ::mkfifo(path.c_str(), 0600));
  PlayerMemory m;
  m.name = "Ann";
  m.games = 4;
  EXPECT_EQ(LoadPlayerMemory(path, &m), MemoryStatus::kUnreadable);
  EXPECT_EQ(m.name, "Ann");
  EXPECT_EQ(m.games, 0);
  std::remove(path.c_str());
}

TEST(PlayerMemory, FilesAreKeyedByTheWholeNameAndAlwaysFitTheLimit) {
  const std::string ann = PlayerMemoryFileName("Ann");
  EXPECT_EQ(ann.rfind("player_ann_", 0), 0u);
  EXPECT_EQ(ann.size(), std::string("player_ann_12345678.rec").size());
  EXPECT_NE(PlayerMemoryFileName("ann"), ann);  // another spelling is another player
  EXPECT_EQ(PlayerMemoryFileName("Ann"), ann);
  EXPECT_EQ(PlayerMemoryFileName("../../etc/passwd").find('/'), std::string::npos);
  EXPECT_EQ(PlayerMemoryFileName("").rfind("player_player_", 0), 0u);
  EXPECT_EQ(PlayerMemoryFileName("Zoë & Al").rfind("player_zo-al_", 0), 0u);

  // A bank far larger than ours: the written file is cut to what reads back, oldest rounds first.
  PlayerMemory big;
  big.round = 2;
  for (uint64_t id = 1; id <= 40000; ++id) big.seen[id] = {1, RecordAnswer::kTrue, true};
  for (uint64_t id = 40001; id <= 42000; ++id) big.seen[id] = {2, RecordAnswer::kPass, false};
  ASSERT_GT(SerializePlayerMemory(big).size(), PlayerMemory::kMaxBytes);
  big.FitToLimit();
  EXPECT_LE(SerializePlayerMemory(big).size(), PlayerMemory::kMaxBytes);
  EXPECT_EQ(big.seen.size(), 2000u);
  EXPECT_TRUE(big.SeenThisRound(42000));
}

TEST(PlayerMemory, PlaceInTheHallOfFameFollowsTheTablesOwnRule) {
  HighScoreTable table;
  table.Allocate(20);
  // An empty table: any score above 0 is the new top; 0 itself needs one point.
  EXPECT_EQ(PlaceInTable(table, 125).place, 1);
  EXPECT_TRUE(PlaceInTable(table, 125).newRecord);
  EXPECT_EQ(PlaceInTable(table, 0).place, 0);
  EXPECT_EQ(PlaceInTable(table, 0).pointsMissing, 1);
  for (int32_t i = 0; i < 20; ++i) table.InsertScore("x", 2000 - 100 * i);  // 2000 down to 100
  const GameFigures third = PlaceInTable(table, 1850);
  EXPECT_EQ(third.place, 3);
  EXPECT_FALSE(third.newRecord);
  EXPECT_EQ(PlaceInTable(table, 1800).place, 4);  // a tie goes below
  EXPECT_TRUE(PlaceInTable(table, 2001).newRecord);
  EXPECT_FALSE(PlaceInTable(table, 2000).newRecord);
  const GameFigures out = PlaceInTable(table, 75);
  EXPECT_EQ(out.place, 0);
  EXPECT_EQ(out.pointsMissing, 26);  // 101 would have taken the 20th place
  EXPECT_EQ(PlaceInTable(table, 100).pointsMissing, 1);
}

TEST(PlayerMemory, OddRecordsWriteBackAsTheyWereRead) {
  // A carriage return inside a name or a topic: a last one would pass for a CR LF ending once written, so both
  // are read as spaces and the record writes back to bytes that read the same.
  PlayerMemory m;
  ASSERT_EQ(ParsePlayerMemory("zorvel player 1\nname A\rB\ntopic 2 1 film\r\r\nend\n", &m), MemoryStatus::kRead);
  EXPECT_EQ(m.name, "A B");
  ASSERT_EQ(m.topics.count("film "), 1u);
  PlayerMemory again;
  ASSERT_EQ(ParsePlayerMemory(SerializePlayerMemory(m), &again), MemoryStatus::kRead);
  EXPECT_EQ(again.name, "A B");
  EXPECT_EQ(again.topics.count("film "), 1u);

  // A total far beyond what two games score still averages to a positive number.
  ASSERT_EQ(ParsePlayerMemory("zorvel player 1\ngames 2\ntotal 300000000000\nend\n", &m), MemoryStatus::kRead);
  EXPECT_EQ(m.AverageScore(), 2147483647);
}

}  // namespace
