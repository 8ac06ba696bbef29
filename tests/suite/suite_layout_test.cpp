#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/player_roster.h"
#include "platform/host/file_names.h"
#include "platform/host/profile.h"
#include "suite_test_util.h"

namespace fs = std::filesystem;
using suite_test::ReadBytes;

namespace {

const fs::path kSuite = ZORVEL_SUITE_DIR;
const fs::path kGame = ZORVEL_GAME_DIR;

// Entries as the shipped files write them: lines ending in CR LF, each entry closed by an empty line.
std::vector<std::string> EntriesOf(const std::string& text) {
  std::vector<std::string> entries;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n\r\n", start)) != std::string::npos; start = end + 4)
    entries.push_back(text.substr(start, end + 4 - start));
  EXPECT_EQ(start, text.size()) << "every entry ends with an empty line";
  return entries;
}

bool Executable(const fs::path& path) { return fs::is_regular_file(path) && ::access(path.c_str(), X_OK) == 0; }

TEST(SuiteLayout, TheBuildLaysOutTheLauncherTheGameAndTheirFiles) {
  EXPECT_TRUE(Executable(kSuite / "Hubbix"));
  // The programs in the suite are the ones just built, not left over from an earlier build.
  ASSERT_TRUE(Executable(kGame / "Zorvel"));
  ASSERT_TRUE(Executable(kGame / "zorvel-headless"));
  EXPECT_EQ(ReadBytes(kGame / "Zorvel"), ReadBytes(fs::path(ZORVEL_BINARY_DIR) / "zorvel"));
  EXPECT_EQ(ReadBytes(kGame / "zorvel-headless"), ReadBytes(fs::path(ZORVEL_BINARY_DIR) / "zorvel-headless"));

  // The questions are the entries of every topic file, each once, in another order.
  const std::string questions = ReadBytes(kGame / "Zorvel.txt");
  std::vector<std::string> joined = EntriesOf(questions), topics;
  for (const auto& topic : fs::directory_iterator(fs::path(ZORVEL_SOURCE_DIR) / "assets/questions/topics")) {
    if (topic.path().extension() != ".txt") continue;
    for (std::string& entry : EntriesOf(ReadBytes(topic.path()))) topics.push_back(std::move(entry));
  }
  EXPECT_GT(topics.size(), 500u);
  std::sort(joined.begin(), joined.end());
  std::sort(topics.begin(), topics.end());
  EXPECT_TRUE(joined == topics) << joined.size() << " entries joined from " << topics.size();

  // The keys are there (a player may have changed their values, so only their presence is checked).
  const std::string setup = (kGame / "setup.ini").string();
  EXPECT_NE(platform::ReadProfileString(setup, "setup", "fullscreen", "none", 256), "none");
  EXPECT_NE(platform::ReadProfileString(setup, "setup", "nowindow", "none", 32), "none");

  // The game finds its launcher the way it names it, without the ".exe".
  EXPECT_EQ(fs::path(platform::HostProgramPath(kSuite.string() + "\\Hubbix.exe")), kSuite / "Hubbix");
}

TEST(SuiteLayout, TheGameReadsTheSuitesPlayerFromItsOwnFolder) {
  const std::string options = (kSuite / "options.ini").string();
  for (const char* key : {"music", "SFX", "playerid"})
    EXPECT_NE(platform::ReadProfileString(options, "setup", key, "none", 32), "none") << key;

  PlayerRoster direct;
  direct.SetFile(options.c_str());
  const int32_t id = direct.ReadCurrentPlayerId();
  char expected[kPlayerLineSize];
  direct.ComposePlayerLine(id, expected);
  EXPECT_STRNE(direct.players[id].name, "");

  // As the game does it: from the game's folder, through "..\options.ini". No window: the caption is dropped.
  const fs::path previous = fs::current_path();
  fs::current_path(kGame);
  PlayerRoster roster;
  char line[kPlayerLineSize];
  const int32_t loaded = roster.LoadCurrentPlayer(line);
  fs::current_path(previous);
  EXPECT_EQ(loaded, id);
  EXPECT_STREQ(line, expected);
}

TEST(SuiteLayout, DefaultSettingsAreWrittenOnlyWhereMissing) {
  suite_test::ScratchFolder scratch;
  const fs::path suite = scratch.path() / "suite", game = suite / "Zorvel";
  const std::string command = std::string("\"") + ZORVEL_CMAKE + "\" -DSUITE_DIR=\"" + suite.string() +
                              "\" -DGAME_DIR=\"" + game.string() + "\" -P \"" + ZORVEL_SOURCE_DIR +
                              "/tools/suite/write_default_settings.cmake\"";
  ASSERT_EQ(std::system(command.c_str()), 0);

  PlayerRoster roster;
  roster.SetFile((suite / "options.ini").c_str());
  char line[kPlayerLineSize];
  roster.ComposePlayerLine(roster.ReadCurrentPlayerId(), line);
  EXPECT_STREQ(line, "Player:::Y");
  EXPECT_EQ(platform::ReadProfileString((suite / "options.ini").string(), "setup", "music", "", 2), "Y");
  EXPECT_EQ(platform::ReadProfileString((suite / "options.ini").string(), "setup", "SFX", "", 2), "Y");
  EXPECT_EQ(platform::ReadProfileString((game / "setup.ini").string(), "setup", "fullscreen", "", 256), "0");
  EXPECT_EQ(platform::ReadProfileString((game / "setup.ini").string(), "setup", "nowindow", "", 32), "0");

  // A player's own files survive the next build.
  const std::string mine = "[setup]\nplayerid=1\n[Player2]\nname=Ann\n";
  suite_test::WriteBytes(suite / "options.ini", mine);
  suite_test::WriteBytes(game / "setup.ini", "[setup]\nfullscreen=1\n");
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(ReadBytes(suite / "options.ini"), mine);
  EXPECT_EQ(ReadBytes(game / "setup.ini"), "[setup]\nfullscreen=1\n");
  EXPECT_FALSE(fs::exists(suite / "options.ini.new"));
}

}  // namespace
