#include "app/player_roster.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/app_state.h"
#include "platform/window/messages.h"
#include "platform/window/window.h"

namespace fs = std::filesystem;

namespace {

class PlayerRosterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("zorvel_roster_" + std::to_string(::getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "Zorvel");
  }
  void TearDown() override { fs::remove_all(root_); }

  std::string WriteOptions(const std::string& text) {
    const fs::path path = root_ / "options.ini";
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  static std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  fs::path root_;
};

intptr_t PlainWindowProc(platform::Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
  return platform::DefWindowProc(window, message, wParam, lParam);
}

TEST_F(PlayerRosterTest, MissingFileSectionsAndKeysGiveTheDefaults) {
  PlayerRoster roster;
  // No file set: every read does nothing and the current player is 0.
  roster.currentPlayerId = 5;
  std::strcpy(roster.players[0].name, "kept");
  EXPECT_EQ(roster.ReadCurrentPlayerId(), 0);
  roster.ReadPlayer(0);
  EXPECT_STREQ(roster.players[0].name, "kept");

  roster.SetFile((root_ / "absent.ini").c_str());
  EXPECT_EQ(roster.ReadCurrentPlayerId(), 0);
  char line[kPlayerLineSize];
  roster.ComposePlayerLine(0, line);
  EXPECT_STREQ(line, "Player1:::Y");

  // A file whose setup has no playerid and whose player sections lack keys.
  roster.SetFile(WriteOptions("[setup]\r\nmusic=Y\r\n[Player1]\r\naddress=1 Hill Road\r\n[Player3]\r\nname=Cy\r\n").c_str());
  EXPECT_EQ(roster.ReadCurrentPlayerId(), 0);
  roster.ComposePlayerLine(0, line);
  EXPECT_STREQ(line, "Player1:1 Hill Road::Y");
  roster.ComposePlayerLine(1, line);
  EXPECT_STREQ(line, "Player2:::Y");
  roster.ComposePlayerLine(2, line);
  EXPECT_STREQ(line, "Cy:::Y");
}

TEST_F(PlayerRosterTest, PlayerIdPicksTheSectionAndValuesAreCutToTheirFields) {
  const std::string text =
      "[SETUP]\nPlayerID=3\n[Player1]\nname=Ann\n[player4]\nNAME=\"Dana Fox\"\naddress=7 Mill Lane\n"
      "Email=dana@example.org\nsend=No thanks\n[Player5]\nname=Eve\n";
  PlayerRoster roster;
  roster.SetFile(WriteOptions(text).c_str());
  EXPECT_EQ(roster.ReadCurrentPlayerId(), 3);
  EXPECT_EQ(roster.currentPlayerId, 3);
  roster.ReadPlayer(3);
  const PlayerRecord& p = roster.players[3];
  EXPECT_STREQ(p.name, "Dana Fox");
  EXPECT_STREQ(p.address, "7 Mill Lane");
  EXPECT_STREQ(p.email, "dana@example.org");
  EXPECT_STREQ(p.send, "N");  // only the first letter fits
  EXPECT_STREQ(roster.players[0].name, "");  // other slots are not touched

  // Reading again gives the same record and leaves the file as it was.
  const PlayerRecord before = p;
  roster.ReadPlayer(3);
  EXPECT_EQ(std::memcmp(&before, &p, sizeof p), 0);
  EXPECT_EQ(ReadBytes(roster.file), text);

  char line[kPlayerLineSize];
  roster.ComposePlayerLine(3, line);
  EXPECT_STREQ(line, "Dana Fox:7 Mill Lane:dana@example.org:N");

  // Names, addresses and e-mails longer than 63 characters are cut by the reader; the longest line is 193.
  const std::string longText(100, 'x');
  roster.SetFile(WriteOptions("[Player1]\nname=" + longText + "\naddress=" + longText + "\nemail=" + longText +
                              "\nsend=Yes\n")
                     .c_str());
  roster.ComposePlayerLine(0, line);
  const std::string cut(63, 'x');
  EXPECT_EQ(std::string(line), cut + ":" + cut + ":" + cut + ":Y");
  EXPECT_EQ(std::strlen(line), 193u);

  // A smaller destination gets a cut, terminated line.
  char small[8];
  std::memset(small, '#', sizeof small);
  roster.ComposePlayerLine(0, small, sizeof small);
  EXPECT_STREQ(small, "xxxxxxx");
}

TEST_F(PlayerRosterTest, PlayerIdOutsideTheSlotsReadsTheFirstPlayer) {
  PlayerRoster roster;
  for (const char* id : {"8", "-1", "99999999999", "abc", ""}) {
    SCOPED_TRACE(id);
    roster.SetFile(
        WriteOptions(std::string("[setup]\nplayerid=") + id + "\n[Player1]\nname=Ann\n[Player9]\nname=Nine\n").c_str());
    roster.currentPlayerId = 4;
    EXPECT_EQ(roster.ReadCurrentPlayerId(), 0);
    EXPECT_EQ(roster.currentPlayerId, 0);
  }
  // An index outside the slots reads player 0 into slot 0 instead of writing past the array.
  for (PlayerRecord& p : roster.players) p = PlayerRecord{};
  roster.ReadPlayer(8);
  EXPECT_STREQ(roster.players[0].name, "Ann");
  char line[kPlayerLineSize];
  roster.ComposePlayerLine(-3, line);
  EXPECT_STREQ(line, "Ann:::Y");
  roster.ComposePlayerLine(7, line);
  EXPECT_STREQ(line, "Player8:::Y");
}

TEST_F(PlayerRosterTest, LoadCurrentPlayerReadsTheLaunchersFileAndNamesThePlayerInTheCaption) {
  // A second registration in the same process is refused; the class stays usable.
  platform::RegisterWindowClass("PlayerRosterTest", PlainWindowProc);
  platform::Window* window =
      platform::CreateWindow("PlayerRosterTest", "Zorvel", platform::WindowKind::Captioned, 0, 0, 800, 600);
  ASSERT_NE(window, nullptr);
  // The game runs in its own folder with the launcher's file one level up.
  struct Restore {
    fs::path dir = fs::current_path();
    platform::Window* mainWindow = g_app.mainWindow;
    platform::Window* window;
    ~Restore() {
      fs::current_path(dir);
      g_app.mainWindow = mainWindow;
      platform::DestroyWindow(window);
    }
  } restore{.window = window};
  g_app.mainWindow = window;
  fs::current_path(root_ / "Zorvel");

  PlayerRoster roster;
  char line[kPlayerLineSize];
  // The launcher never stored players.
  EXPECT_EQ(roster.LoadCurrentPlayer(line), 0);
  EXPECT_EQ(platform::GetWindowText(window), "Zorvel - Player1");
  EXPECT_STREQ(line, "Player1:::Y");
  EXPECT_EQ(roster.file, "..\\options.ini");

  WriteOptions("[setup]\r\nplayerid=1\r\n[Player1]\r\nname=Ann\r\n[Player2]\r\nname=Bea\r\nsend=N\r\n");
  EXPECT_EQ(roster.LoadCurrentPlayer(nullptr), 1);
  EXPECT_EQ(platform::GetWindowText(window), "Zorvel - Bea");
  EXPECT_STREQ(roster.players[1].name, "Bea");
  std::strcpy(line, "untouched");
  EXPECT_EQ(roster.LoadCurrentPlayer(line), 1);
  EXPECT_STREQ(line, "Bea:::N");

  // A broken id falls back to the first player, in the caption and in the line alike.
  WriteOptions("[setup]\nplayerid=12\n[Player1]\nname=Ann\n");
  EXPECT_EQ(roster.LoadCurrentPlayer(line), 0);
  EXPECT_EQ(platform::GetWindowText(window), "Zorvel - Ann");
  EXPECT_STREQ(line, "Ann:::Y");
}

}  // namespace
