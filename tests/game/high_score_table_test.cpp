#include "game/high_score_table.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "ui/bitmap_font_test_sheet.h"

using test_sheet::ScratchFolder;

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

int32_t LittleEndianAt(const std::vector<uint8_t>& bytes, size_t offset) {
  return static_cast<int32_t>(bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                              static_cast<uint32_t>(bytes[offset + 3]) << 24);
}

std::vector<int32_t> Scores(const HighScoreTable& table) {
  std::vector<int32_t> scores;
  for (int32_t i = 0; i < table.Size(); ++i) scores.push_back(table.Entry(i).score);
  return scores;
}

}  // namespace

TEST(HighScoreTable, InsertsBestFirstWithTiesBelow) {
  HighScoreTable table;
  table.Allocate(20);
  EXPECT_EQ(0, table.TopScore());
  EXPECT_EQ(0, table.InsertScore("nobody", 0)) << "0 never enters a fresh table";

  EXPECT_EQ(1, table.InsertScore("ann", 500));
  EXPECT_EQ(1, table.InsertScore("bob", 1000));
  EXPECT_EQ(1, table.InsertScore("cid", 500));
  EXPECT_STREQ("bob", table.Entry(0).name);
  EXPECT_STREQ("ann", table.Entry(1).name);
  EXPECT_STREQ("cid", table.Entry(2).name) << "an equal score goes below the one already there";
  EXPECT_EQ(1000, table.TopScore());

  // Fill the table: 20 scores from 2000 down to 100.
  table.Allocate(20);
  for (int32_t i = 0; i < 20; ++i) ASSERT_EQ(1, table.InsertScore(("p" + std::to_string(i)).c_str(), 2000 - 100 * i));
  EXPECT_EQ(0, table.InsertScore("low", 50));
  EXPECT_EQ(0, table.InsertScore("tie", 100)) << "equal to the lowest does not enter";
  EXPECT_EQ(1, table.InsertScore("mid", 1050));
  std::vector<int32_t> expected = {2000, 1900, 1800, 1700, 1600, 1500, 1400, 1300, 1200, 1100,
                                   1050, 1000, 900,  800,  700,  600,  500,  400,  300,  200};
  EXPECT_EQ(expected, Scores(table)) << "the last entry falls off";
  EXPECT_STREQ("mid", table.Entry(10).name);
  EXPECT_STREQ("p10", table.Entry(11).name);

  // A name longer than the field is cut, never written past it.
  std::string longName(400, 'x');
  EXPECT_EQ(1, table.InsertScore(longName.c_str(), 5000));
  EXPECT_EQ(255u, std::strlen(table.Entry(0).name));
}

TEST(HighScoreTable, FileHoldsCountAndEntriesLittleEndian) {
  ScratchFolder folder;
  const std::string file = folder.File("hiscore.dat");
  HighScoreTable table;
  table.Allocate(20);
  table.InsertScore("Ann:Main St:ann@example.org:1", 0x01020304);
  table.InsertScore("Bo", -7);  // below a fresh table's zeros: does not enter
  table.InsertScore("Cy", 125);
  ASSERT_EQ(1, table.WriteTable(file.c_str()));

  std::vector<uint8_t> bytes = ReadBytes(file);
  ASSERT_EQ(5204u, bytes.size());
  EXPECT_EQ(20, LittleEndianAt(bytes, 0));
  EXPECT_EQ(0, std::memcmp(bytes.data() + 4, "Ann:Main St:ann@example.org:1", 30));
  EXPECT_EQ(std::vector<uint8_t>({4, 3, 2, 1}), std::vector<uint8_t>(bytes.begin() + 260, bytes.begin() + 264));
  EXPECT_STREQ("Cy", reinterpret_cast<const char*>(bytes.data() + 4 + 260));
  EXPECT_EQ(125, LittleEndianAt(bytes, 4 + 260 + 256));
  EXPECT_FALSE(std::filesystem::exists(file + ".tmp"));

  HighScoreTable reread;
  reread.Allocate(20);
  ASSERT_EQ(1, reread.ReadTable(file.c_str()));
  EXPECT_EQ(Scores(table), Scores(reread));
  EXPECT_STREQ(table.Entry(0).name, reread.Entry(0).name);
  ASSERT_EQ(1, reread.WriteTable(file.c_str()));
  EXPECT_EQ(bytes, ReadBytes(file)) << "read and write again gives the same bytes";
}

TEST(HighScoreTable, WrongCountShortFilesAndUnterminatedNamesAreHarmless) {
  ScratchFolder folder;
  const std::string file = folder.File("hiscore.dat");
  HighScoreTable good;
  good.Allocate(20);
  good.InsertScore("best", 900);
  ASSERT_EQ(1, good.WriteTable(file.c_str()));
  std::vector<uint8_t> bytes = ReadBytes(file);

  HighScoreTable table;
  table.Allocate(20);
  EXPECT_EQ(0, table.ReadTable(folder.File("absent.dat").c_str()));

  // A 5204-byte file whose count says 19 is ignored entirely; the table stays as it was.
  std::vector<uint8_t> nineteen = bytes;
  nineteen[0] = 19;
  WriteBytes(file, nineteen);
  table.InsertScore("kept", 10);
  EXPECT_EQ(0, table.ReadTable(file.c_str()));
  EXPECT_EQ(10, table.TopScore());
  EXPECT_STREQ("kept", table.Entry(0).name);

  // A file cut short keeps the entries it holds whole; the partial one and the rest are cleared.
  HighScoreTable full;
  full.Allocate(20);
  for (int32_t i = 0; i < 20; ++i) full.InsertScore(("player " + std::to_string(i)).c_str(), 100 * (i + 1));
  ASSERT_EQ(1, full.WriteTable(file.c_str()));
  const std::vector<uint8_t> fullBytes = ReadBytes(file);
  struct Cut {
    size_t length;
    int32_t kept;
  };
  for (Cut cut : {Cut{4, 0}, Cut{300, 1}, Cut{4 + 260 * 10 + 100, 10}, Cut{5000, 19}, Cut{5203, 19}}) {
    table.InsertScore("stale", 50);
    WriteBytes(file, std::vector<uint8_t>(fullBytes.begin(), fullBytes.begin() + static_cast<long>(cut.length)));
    EXPECT_EQ(1, table.ReadTable(file.c_str())) << cut.length;
    for (int32_t i = 0; i < 20; ++i) {
      if (i < cut.kept) {
        EXPECT_EQ(2000 - 100 * i, table.Entry(i).score) << cut.length << " entry " << i;
        EXPECT_EQ("player " + std::to_string(19 - i), std::string(table.Entry(i).name)) << cut.length;
      } else {
        EXPECT_EQ(0, table.Entry(i).score) << cut.length << " entry " << i;
        EXPECT_EQ('\0', table.Entry(i).name[0]) << cut.length << " entry " << i;
      }
    }
  }
  // The next save after a cut keeps the survivors: nineteen players and the new one.
  WriteBytes(file, std::vector<uint8_t>(fullBytes.begin(), fullBytes.begin() + 5000));
  ASSERT_EQ(1, table.ReadTable(file.c_str()));
  ASSERT_EQ(1, table.InsertScore("newcomer", 150));
  ASSERT_EQ(1, table.WriteTable(file.c_str()));
  HighScoreTable after;
  after.Allocate(20);
  ASSERT_EQ(1, after.ReadTable(file.c_str()));
  EXPECT_EQ(2000, after.Entry(0).score);
  EXPECT_EQ(200, after.Entry(18).score);
  EXPECT_STREQ("newcomer", after.Entry(19).name);
  // Too short to hold the count: no table, the one in memory stays.
  table.InsertScore("kept too", 5000);
  WriteBytes(file, std::vector<uint8_t>(fullBytes.begin(), fullBytes.begin() + 2));
  EXPECT_EQ(0, table.ReadTable(file.c_str()));
  EXPECT_EQ(5000, table.TopScore());

  // Name fields without a NUL are ended at their last byte, so they never run into the score.
  std::vector<uint8_t> unterminated = bytes;
  for (int i = 0; i < 20; ++i) std::memset(unterminated.data() + 4 + 260 * i, 'N', 256);
  WriteBytes(file, unterminated);
  ASSERT_EQ(1, table.ReadTable(file.c_str()));
  for (int32_t i = 0; i < 20; ++i) EXPECT_EQ(255u, std::strlen(table.Entry(i).name));
  EXPECT_EQ(900, table.TopScore());
  EXPECT_EQ(1, table.InsertScore("new", 1000));
  EXPECT_EQ(255u, std::strlen(table.Entry(1).name));
}

TEST(HighScoreTable, AFailedSaveLeavesTheOldFile) {
  ScratchFolder folder;
  const std::string file = folder.File("hiscore.dat");
  HighScoreTable table;
  table.Allocate(20);
  table.InsertScore("old", 100);
  ASSERT_EQ(1, table.WriteTable(file.c_str()));
  const std::vector<uint8_t> old = ReadBytes(file);

  EXPECT_EQ(0, table.WriteTable(folder.File("no/such/folder/hiscore.dat").c_str()));

  // A write-protected file stays as it was, whoever runs the game.
  ASSERT_EQ(0, ::chmod(file.c_str(), 0444));
  table.InsertScore("new", 200);
  EXPECT_EQ(0, table.WriteTable(file.c_str()));
  EXPECT_EQ(old, ReadBytes(file));
  ASSERT_EQ(0, ::chmod(file.c_str(), 0644));

  // A folder where the table should be: the save fails and the folder stays.
  const std::string folderInTheWay = folder.File("blocked.dat");
  std::filesystem::create_directory(folderInTheWay);
  EXPECT_EQ(0, table.WriteTable(folderInTheWay.c_str()));
  EXPECT_TRUE(std::filesystem::is_directory(folderInTheWay));

  // Whatever is left beside the file under the old temporary name does not block a save, and a successful save
  // leaves nothing behind.
  std::filesystem::create_directory(file + ".tmp");
  ASSERT_EQ(1, table.WriteTable(file.c_str()));
  HighScoreTable reread;
  reread.Allocate(20);
  ASSERT_EQ(1, reread.ReadTable(file.c_str()));
  EXPECT_EQ(200, reread.TopScore());
  EXPECT_EQ((std::filesystem::status(file).permissions() & std::filesystem::perms::all),
            std::filesystem::perms(0644)) << "the new file keeps the old one's permissions";
  int leftovers = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.File("")))
    if (entry.path().filename().string().rfind("hiscore.dat.tmp.", 0) == 0) ++leftovers;
  EXPECT_EQ(0, leftovers);
}

// Saves run in a child that is killed at varied moments; whatever moment the kill hits, the file is one whole
// table, the old one or the new one.
TEST(HighScoreTable, AKillDuringASaveNeverLeavesATornFile) {
  ScratchFolder folder;
  const std::string file = folder.File("hiscore.dat");
  HighScoreTable first, second;
  first.Allocate(20);
  second.Allocate(20);
  for (int32_t i = 0; i < 20; ++i) {
    first.InsertScore(("first player " + std::to_string(i)).c_str(), 1000 + i);
    second.InsertScore(("second player " + std::to_string(i)).c_str(), 9000 + i);
  }
  ASSERT_EQ(1, second.WriteTable(file.c_str()));
  const std::vector<uint8_t> secondBytes = ReadBytes(file);
  ASSERT_EQ(1, first.WriteTable(file.c_str()));
  const std::vector<uint8_t> firstBytes = ReadBytes(file);
  ASSERT_NE(firstBytes, secondBytes);

  std::mt19937 random(12345);
  std::uniform_int_distribution<int> delayMicroseconds(0, 3000);
  int interrupted = 0;
  const int rounds = 150;
  for (int round = 0; round < rounds; ++round) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int n = 0;; ++n) (n % 2 ? first : second).WriteTable(file.c_str());
    }
    ::usleep(static_cast<useconds_t>(delayMicroseconds(random)));
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    ASSERT_TRUE(WIFSIGNALED(status));
    for (const auto& entry : std::filesystem::directory_iterator(folder.File("")))
      if (entry.path().filename().string().rfind("hiscore.dat.tmp", 0) == 0) {
        ++interrupted;
        std::filesystem::remove(entry.path());
      }

    std::vector<uint8_t> now = ReadBytes(file);
    ASSERT_EQ(5204u, now.size()) << "round " << round;
    ASSERT_TRUE(now == firstBytes || now == secondBytes) << "round " << round;
    HighScoreTable reread;
    reread.Allocate(20);
    ASSERT_EQ(1, reread.ReadTable(file.c_str()));
  }
  std::printf("%d of %d kills left a save unfinished\n", interrupted, rounds);
}
