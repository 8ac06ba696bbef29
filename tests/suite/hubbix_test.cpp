#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "app/app_main.h"
#include "app/app_state.h"
#include "app/player_roster.h"
#include "game/high_score_table.h"
#include "launcher/ini_document.h"
#include "platform/host/profile.h"
#include "suite_test_util.h"

namespace fs = std::filesystem;
using suite_test::ReadBytes;
using suite_test::WriteBytes;

namespace {

struct Result {
  int exitCode = -1;
  std::string output;
};

// A suite of its own: a copy of the launcher beside an options file, so the tests never touch the build's.
class HubbixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(HUBBIX_PROGRAM, dir() / "Hubbix");
    options_ = (dir() / "options.ini").string();
  }
  const fs::path& dir() const { return scratch_.path(); }

  // Runs the launcher from another folder: it must find its options beside itself, not in the working folder.
  Result Run(const std::string& arguments) const {
    // No display: the launcher's window must not open in the middle of a test.
    const std::string command = "cd / && env -u DISPLAY -u WAYLAND_DISPLAY \"" + (dir() / "Hubbix").string() + "\" " +
                                arguments + " 2>&1";
    Result result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) result.output.append(buffer, n);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
  }

  // What the game will see.
  std::string GameLine() const {
    PlayerRoster roster;
    roster.SetFile(options_.c_str());
    char line[kPlayerLineSize];
    roster.ComposePlayerLine(roster.ReadCurrentPlayerId(), line);
    return line;
  }

  suite_test::ScratchFolder scratch_;
  std::string options_;
};

TEST_F(HubbixTest, AddSelectAndListKeepAFileTheGameReads) {
  // A file with things the launcher does not know about, in CR LF: all of it must survive.
  WriteBytes(options_, "; kept by hand\r\n[setup]\r\nmusic=Y\r\nplayerid=0\r\nvolume=7\r\n\r\n[Player1]\r\n"
                       "name=Player\r\naddress=1 Hill Road\r\nsend=N\r\n\r\n[Other]\r\nkey=value\r\n");
  EXPECT_EQ(GameLine(), "Player:1 Hill Road::N");

  Result r = Run("add Ann Lee");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(GameLine(), "Ann Lee:::Y");  // a new player is selected at once
  r = Run("add \"  'Bob'  \"");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(GameLine(), "'Bob':::Y");  // quotes that are part of the name stay, as the game reads it

  r = Run("players");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, "Players:\n    1  Player\n    2  Ann Lee\n  * 3  'Bob'\nMusic: on, sound effects: on\n");

  r = Run("select 2");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output, "Selected player 2, Ann Lee.\n");
  EXPECT_EQ(GameLine(), "Ann Lee:::Y");
  EXPECT_EQ(Run("select player").exitCode, 0);  // by name, without regard to case
  EXPECT_EQ(GameLine(), "Player:1 Hill Road::N");

  const std::string text = ReadBytes(options_);
  for (const char* kept : {"; kept by hand\r\n", "volume=7\r\n", "[Other]\r\nkey=value\r\n", "address=1 Hill Road\r\n"})
    EXPECT_NE(text.find(kept), std::string::npos) << kept;
  EXPECT_EQ(text.find("\n\n"), std::string::npos);  // no bare LF crept in
  int files = 0;
  for (const auto& entry : fs::directory_iterator(dir()))
    files += entry.is_regular_file() && entry.path().filename() != "options.ini.lock";  // the lock file stays
  EXPECT_EQ(files, 2);  // no temporary file left behind
}

TEST_F(HubbixTest, ScoresListTheHallOfFameTheGameWrote) {
  // No file, a file cut short and a file of another size all read as a table nobody has entered.
  const std::string empty = "Zorvel hall of fame:\n  (no scores yet)\n";
  Result r = Run("scores");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, empty);
  fs::create_directories(dir() / "Zorvel");
  const std::string file = (dir() / "Zorvel" / "hiscore.dat").string();
  WriteBytes(file, std::string("\x14\0\0\0Ann", 7));
  r = Run("scores");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, empty);

  // As the game writes it: the player's roster line under each score, best first.
  HighScoreTable table;
  table.Allocate(20);
  ASSERT_EQ(table.InsertScore("Bob:1 Hill Road:bob@example.org:N", 250), 1);
  ASSERT_EQ(table.InsertScore("Ann Lee:::Y", 12500), 1);
  ASSERT_EQ(table.InsertScore("Cy:::Y", 250), 1);
  ASSERT_EQ(table.WriteTable(file.c_str()), 1);
  r = Run("scores");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output,
            "Zorvel hall of fame:\n"
            "   1  Ann Lee                               12500\n"
            "   2  Bob                                     250\n"
            "   3  Cy                                      250\n");
  EXPECT_NE(Run("scores now").exitCode, 0);
}

TEST_F(HubbixTest, RefusalsLeaveTheFileAsItWas) {
  // No file yet: the launcher starts from the games' defaults.
  EXPECT_EQ(Run("players").output, "Players:\n  * 1  Player1\nMusic: on, sound effects: on\n");
  for (int i = 1; i <= 8; ++i) ASSERT_EQ(Run("add P" + std::to_string(i)).exitCode, 0) << i;
  EXPECT_EQ(GameLine(), "P8:::Y");
  const std::string full = ReadBytes(options_);

  const struct {
    const char* arguments;
    int exitCode;
    const char* message;
  } refusals[] = {
      {"add Nine", 1, "The roster is full"},
      {"add p3", 1, "already a player called P3"},
      {"select 9", 1, "There is no player 9."},
      {"select 0", 1, "There is no player 0."},
      {"select Zed", 1, "There is no player called Zed."},
      {"music loud", 2, "Say on or off"},
      {"players now", 2, "takes no arguments"},
      {"launch", 2, "Unknown command"},
  };
  for (const auto& refusal : refusals) {
    const Result r = Run(refusal.arguments);
    EXPECT_EQ(r.exitCode, refusal.exitCode) << refusal.arguments;
    EXPECT_NE(r.output.find(refusal.message), std::string::npos) << r.output;
    EXPECT_EQ(ReadBytes(options_), full) << refusal.arguments;
  }

  // Names the games could not show or store are refused before the roster is even looked at.
  WriteBytes(options_, "");
  for (const std::string& name : {std::string("\"A:B\""), std::string("\"   \""), std::string(64, 'x'),
                                   std::string("\"\xce\xa9mega\""), std::string("\"\xe9mile\"")}) {
    const Result r = Run("add " + name);
    EXPECT_EQ(r.exitCode, 1) << name << r.output;
    EXPECT_EQ(ReadBytes(options_), "") << name;
  }
  EXPECT_EQ(Run("add " + std::string(63, 'x')).exitCode, 0);
}

TEST_F(HubbixTest, LaunchersChangingTheOptionsAtOnceLoseNoChange) {
  // Seven adds started together, each told "Added player n": every one of them must be in the file, each in a slot
  // of its own.
  const Result r = Run("players >/dev/null; for i in 1 2 3 4 5 6 7; do \"" + (dir() / "Hubbix").string() +
                       "\" add P$i & done; wait");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  int added = 0;
  for (size_t at = 0; (at = r.output.find("Added player ", at)) != std::string::npos; ++at) ++added;
  EXPECT_EQ(added, 7) << r.output;
  const std::string listing = Run("players").output;
  for (int i = 1; i <= 7; ++i)
    EXPECT_NE(listing.find("  P" + std::to_string(i) + "\n"), std::string::npos) << "P" << i << "\n" << listing;
  for (int slot = 1; slot <= 7; ++slot)
    EXPECT_NE(listing.find(" " + std::to_string(slot) + "  P"), std::string::npos) << slot << "\n" << listing;
}

TEST_F(HubbixTest, AChangeKeepsTheFilesModeLinkProtectionAndLineEnds) {
  // A private file (it holds addresses) stays private.
  WriteBytes(options_, "[setup]\nplayerid=0\n");
  fs::permissions(options_, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_EQ(Run("add Ann").exitCode, 0);
  EXPECT_EQ(fs::status(options_).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

  // A write-protected one is not replaced, and the player is told why.
  const std::string before = ReadBytes(options_);
  fs::permissions(options_, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  Result r = Run("add Bob");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("write-protected"), std::string::npos) << r.output;
  EXPECT_EQ(ReadBytes(options_), before);
  EXPECT_EQ(fs::status(options_).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  // A linked one stays a link, and its target takes the change.
  fs::remove(options_);
  fs::create_directories(dir() / "kept");
  const fs::path target = dir() / "kept" / "options.ini";
  WriteBytes(target, "[setup]\r\nplayerid=0\r\n");
  fs::create_symlink(target, options_);
  ASSERT_EQ(Run("add Cid").exitCode, 0);
  EXPECT_TRUE(fs::is_symlink(options_));
  EXPECT_NE(ReadBytes(target).find("name=Cid"), std::string::npos);

  // Mixed line ends written by hand each survive; what the launcher adds takes the file's usual end.
  fs::remove(options_);
  WriteBytes(options_, "; by hand\n[setup]\r\nmusic=Y\nplayerid=0\r\n[Other]\nkey=value");
  ASSERT_EQ(Run("music off").exitCode, 0);
  EXPECT_EQ(ReadBytes(options_), "; by hand\n[setup]\r\nmusic=N\nplayerid=0\r\n[Other]\nkey=value");
  ASSERT_EQ(Run("sfx off").exitCode, 0);
  EXPECT_EQ(ReadBytes(options_), "; by hand\n[setup]\r\nmusic=N\nplayerid=0\r\nSFX=N\r\n[Other]\nkey=value");
}

TEST_F(HubbixTest, NamesFromTheFilesReachTheTerminalWithTheirControlsWrittenOut) {
  // A hand-made roster and hall of fame with escape sequences, a forged row and a C1 control in UTF-8.
  WriteBytes(options_, "[setup]\nplayerid=0\n[Player1]\nname=\x1b]0;owned\x07" "Eve\rX\n[Player2]\nname=Zo\xc3\xab"
                       "C\xc2\x9b" "2J\n");
  Result r = Run("players");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, "Players:\n  * 1  \\x1B]0;owned\\x07Eve\\x0DX\n    2  Zo\xc3\xab" "C\\xC2\\x9B2J\n"
                      "Music: on, sound effects: on\n");
  fs::create_directories(dir() / "Zorvel");
  HighScoreTable table;
  table.Allocate(20);
  ASSERT_EQ(table.InsertScore("Mal\x1b[2J\n   2  Forged:::Y", 900), 1);
  ASSERT_EQ(table.WriteTable((dir() / "Zorvel" / "hiscore.dat").c_str()), 1);
  r = Run("scores");
  EXPECT_EQ(r.output, "Zorvel hall of fame:\n   1  Mal\\x1B[2J\\x0A   2  Forged              900\n") << r.output;
  EXPECT_EQ(r.output.find('\x1b'), std::string::npos);
}

TEST_F(HubbixTest, AFifoInPlaceOfAFileIsRefusedAtOnce) {
  ASSERT_EQ(::mkfifo(options_.c_str(), 0644), 0);
  const auto start = std::chrono::steady_clock::now();
  const Result r = Run("players");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("Cannot read"), std::string::npos) << r.output;
  fs::remove(options_);
  fs::create_directories(dir() / "Zorvel");
  ASSERT_EQ(::mkfifo((dir() / "Zorvel" / "hiscore.dat").c_str(), 0644), 0);
  const Result scores = Run("scores");
  EXPECT_EQ(scores.exitCode, 0);
  EXPECT_EQ(scores.output, "Zorvel hall of fame:\n  (no scores yet)\n");
}

TEST_F(HubbixTest, AFullDiskKeepsTheOldOptionsAndSaysSo) {
  // The full disk: a small tmpfs holding the launcher and its options, filled up to the last byte. Mounting needs
  // the right to; without it the test cannot make a full disk and says so.
  const fs::path full = dir() / "full";
  fs::create_directories(full);
  const uintmax_t room = fs::file_size(dir() / "Hubbix") + (256u << 10);
  if (std::system(("mount -t tmpfs -o size=" + std::to_string(room) + " tmpfs '" + full.string() + "' 2>/dev/null")
                      .c_str()) != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here";
  struct Unmount {
    std::string path;
    ~Unmount() { std::system(("umount '" + path + "' 2>/dev/null").c_str()); }
  } unmount{full.string()};
  fs::copy_file(dir() / "Hubbix", full / "Hubbix");
  const std::string options = (full / "options.ini").string();
  const std::string before = "[setup]\nplayerid=0\n[Player1]\nname=Ann\n";
  WriteBytes(options, before);
  std::system(("dd if=/dev/zero of='" + (full / "filler").string() + "' bs=4k 2>/dev/null").c_str());
  const std::string command = "cd / && '" + (full / "Hubbix").string() + "' add Bob 2>&1";
  Result r;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) r.output.append(buffer, n);
    const int status = ::pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  const std::string after = ReadBytes(options);
  int left = 0;
  for (const auto& entry : fs::directory_iterator(full))
    left += entry.path().filename().string().find(".tmp") != std::string::npos;
  EXPECT_EQ(r.exitCode, 1) << r.output;
  EXPECT_NE(r.output.find("No space left on device"), std::string::npos) << r.output;
  EXPECT_EQ(after, before) << "the old options are kept whole";
  EXPECT_EQ(left, 0) << "no temporary file is left on the full disk";
}

TEST_F(HubbixTest, NamesBeyondAsciiAreKeptAsUtf8WhenTheGamesFontDrawsThem) {
  // Without the game's font beside it the launcher cannot know more than plain ASCII, and says which letter.
  Result r = Run("add \"Zo\xc3\xab\"");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("cannot draw the letter \"\xc3\xab\" (U+00EB)"), std::string::npos) << r.output;

  fs::create_directories(dir() / "Zorvel");
  fs::copy_file(std::string(ZORVEL_SUITE_DIR) + "/Zorvel/font.bmp", dir() / "Zorvel" / "font.bmp");
  r = Run("add \"Zo\xc3\xab \xc3\x86r\xc3\xb8\"");  // Zoë Ærø
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(GameLine(), "Zo\xc3\xab \xc3\x86r\xc3\xb8:::Y");
  EXPECT_NE(ReadBytes(options_).find("name=Zo\xc3\xab \xc3\x86r\xc3\xb8\n"), std::string::npos)
      << "the UTF-8 bytes as they are";
  EXPECT_EQ(Run("add \xc3\x89mile").exitCode, 0);  // Émile
  EXPECT_EQ(Run("add \xc5\x81ukasz").exitCode, 0);  // Łukasz, Latin Extended-A

  const std::string before = ReadBytes(options_);
  r = Run("add \"Ann \xce\xa9\"");  // Greek omega: not in the font
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("\"\xce\xa9\" (U+03A9)"), std::string::npos) << r.output;
  r = Run("add \"\xe9mile\"");  // a Latin-1 byte, not UTF-8
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("not UTF-8"), std::string::npos) << r.output;
  EXPECT_EQ(ReadBytes(options_), before);

  // The hall of fame lines up by letters, not bytes.
  HighScoreTable table;
  table.Allocate(20);
  ASSERT_EQ(table.InsertScore("Zo\xc3\xab \xc3\x86r\xc3\xb8:::Y", 500), 1);
  ASSERT_EQ(table.InsertScore("Ann:::Y", 250), 1);
  ASSERT_EQ(table.WriteTable((dir() / "Zorvel" / "hiscore.dat").c_str()), 1);
  r = Run("scores");
  EXPECT_EQ(r.output,
            "Zorvel hall of fame:\n"
            "   1  Zo\xc3\xab \xc3\x86r\xc3\xb8                                 500\n"
            "   2  Ann                                     250\n");
}

TEST_F(HubbixTest, InstalledUnderItsOwnNameItSpeaksOfThatName) {
  fs::copy_file(dir() / "Hubbix", dir() / "zorvel");
  const std::string command = "cd / && \"" + (dir() / "zorvel").string() + "\" ";
  auto run = [&](const std::string& arguments) {
    std::string output;
    FILE* pipe = ::popen((command + arguments + " 2>&1").c_str(), "r");
    char buffer[512];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) output.append(buffer, n);
    ::pclose(pipe);
    return output;
  };
  const std::string help = run("help");
  EXPECT_NE(help.find("zorvel players"), std::string::npos) << help;
  EXPECT_NE(help.find("zorvel starts Zorvel"), std::string::npos) << help;
  EXPECT_EQ(help.find("Hubbix"), std::string::npos) << help;
  const std::string refusal = run("launch");
  EXPECT_NE(refusal.find("zorvel: Unknown command"), std::string::npos) << refusal;
  EXPECT_EQ(refusal.find("Hubbix"), std::string::npos) << refusal;
  // The build's own copy keeps its name.
  EXPECT_NE(Run("help").output.find("./Hubbix players"), std::string::npos);
}

TEST_F(HubbixTest, TheManualPageListsEveryCommandTheHelpDoes) {
  const std::string manual = ReadBytes(std::string(ZORVEL_SOURCE_DIR) + "/packaging/zorvel.6");
  const std::string help = Run("help").output;
  int commands = 0;
  for (size_t at = help.find("./Hubbix "); at != std::string::npos; at = help.find("./Hubbix ", at + 1)) {
    const size_t start = at + 9;
    const std::string word = help.substr(start, help.find_first_of(" \n", start) - start);
    if (word.empty()) continue;  // the launcher alone: its window
    bool listed = false;
    for (const char* macro : {"\n.B ", "\n.BI ", "\n.BR "})
      listed = listed || manual.find(macro + word + "\n") != std::string::npos ||
               manual.find(macro + word + " ") != std::string::npos;
    EXPECT_TRUE(listed) << "the manual page does not list \"" << word << "\"";
    ++commands;
  }
  EXPECT_EQ(commands, 8) << help;  // play, players, add, select, music, sfx, scores, help
}

TEST_F(HubbixTest, SwitchesAreStoredTheWayTheGameReadsThem) {
  auto flag = [&](const char* key) { return platform::ReadProfileString(options_, "setup", key, "Y", 2); };
  EXPECT_EQ(Run("music off").exitCode, 0);
  EXPECT_EQ(flag("music"), "N");
  EXPECT_EQ(flag("SFX"), "Y");
  EXPECT_EQ(Run("sfx off").exitCode, 0);
  EXPECT_EQ(Run("music on").exitCode, 0);
  EXPECT_EQ(flag("music"), "Y");
  EXPECT_EQ(flag("SFX"), "N");
  EXPECT_EQ(Run("players").output, "Players:\n  * 1  Player1\nMusic: on, sound effects: off\n");
}

TEST_F(HubbixTest, StartsTheGameInItsFolderAndSaysGoodbyeWhenTheGameReturns) {
  // Without the game the launcher says what to do.
  Result r = Run("play");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("Build the suite first"), std::string::npos) << r.output;
  // With no command and no display to open its window on, it says how to play without one.
  r = Run("");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.output.find("Without a display, play with ./Hubbix play; ./Hubbix help lists the players"),
            std::string::npos)
      << r.output;

  // A dummy game that records where and how it was started.
  fs::create_directory(dir() / "Zorvel");
  const fs::path record = dir() / "record.txt";
  WriteBytes(dir() / "Zorvel" / "Zorvel",
             "#!/bin/sh\n{ pwd -P; echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > '" + record.string() +
                 "'\n");
  fs::permissions(dir() / "Zorvel" / "Zorvel", fs::perms::owner_all);
  ASSERT_EQ(Run("add Ann").exitCode, 0);
  r = Run("play");
  EXPECT_EQ(r.exitCode, 0) << r.output;
  EXPECT_EQ(r.output, "Starting Zorvel for Ann.\n");
  const fs::path real = fs::canonical(dir());
  EXPECT_EQ(ReadBytes(record), (real / "Zorvel").string() + "\n1\n" + real.string() + "\n");
  EXPECT_EQ(Run("play now").exitCode, 2);

  // The game starts the launcher again with its own name when the player leaves through the menu; with no
  // display for the window, a word on the terminal.
  r = Run("Zorvel");
  EXPECT_EQ(r.exitCode, 0);
  const std::string thanks =
      "Thanks for playing Zorvel! Run ./Hubbix to play again, ./Hubbix help for players and settings.\n";
  ASSERT_GE(r.output.size(), thanks.size()) << r.output;
  EXPECT_EQ(r.output.substr(r.output.size() - thanks.size()), thanks);
}

TEST_F(HubbixTest, TheGamesMenuButtonStartsTheLauncherOfItsSuite) {
  // A dummy launcher in place of the copy records how the game started it.
  const fs::path record = dir() / "record.txt";
  WriteBytes(dir() / "Hubbix", "#!/bin/sh\n{ pwd -P; echo \"$#\"; for a in \"$@\"; do echo \"$a\"; done; } > '" +
                                   record.string() + ".part' && mv '" + record.string() + ".part' '" +
                                   record.string() + "'\n");
  fs::permissions(dir() / "Hubbix", fs::perms::owner_all);

  const std::string previousDir = g_app.launcherDir;
  const char* noLaunch = std::getenv("ZORVEL_NO_LAUNCH");
  const std::string previousNoLaunch = noLaunch ? noLaunch : "";
  ::unsetenv("ZORVEL_NO_LAUNCH");
  std::snprintf(g_app.launcherDir, sizeof g_app.launcherDir, "%s", dir().c_str());
  LeaveToLauncher();
  std::snprintf(g_app.launcherDir, sizeof g_app.launcherDir, "%s", previousDir.c_str());
  if (noLaunch) ::setenv("ZORVEL_NO_LAUNCH", previousNoLaunch.c_str(), 1);

  // The launcher runs detached from the game, so wait for it a while.
  for (int i = 0; i < 500 && !fs::exists(record); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(fs::exists(record));
  EXPECT_EQ(ReadBytes(record), fs::canonical(dir()).string() + "\n1\nZorvel\n");
}

TEST(HubbixIniDocument, ChangesWhatTheGameReadsAndNothingElse) {
  suite_test::ScratchFolder scratch;
  const std::string path = (scratch.path() / "options.ini").string();
  // Two sections of one name: the game reads the first, so that is the one to change.
  const std::string original = "[Setup]\nMusic = N\n\n[setup]\nmusic=Y\n[Player1]\nname=Ann\n\n\n[Player2]\n";
  WriteBytes(path, original);
  hubbix::IniDocument doc;
  ASSERT_TRUE(doc.Load(path));
  EXPECT_EQ(doc.Text(), original);
  EXPECT_EQ(doc.Get("SETUP", "MUSIC", "?"), "N");

  EXPECT_TRUE(doc.Set("setup", "music", "Y"));
  EXPECT_TRUE(doc.Set("player1", "email", "ann@example.org"));
  EXPECT_TRUE(doc.Set("Player1", "address", "  two blanks  "));
  EXPECT_TRUE(doc.Set("Player3", "name", "\"quoted\""));
  EXPECT_FALSE(doc.Set("Player3", "name", "two\nlines"));
  EXPECT_FALSE(doc.Set("Player]", "name", "x"));
  EXPECT_FALSE(doc.Set("Player3", "a=b", "x"));
  EXPECT_EQ(doc.Text(),
            "[Setup]\nMusic=Y\n\n[setup]\nmusic=Y\n[Player1]\nname=Ann\nemail=ann@example.org\n"
            "address=\"  two blanks  \"\n\n\n[Player2]\n\n[Player3]\nname=\"\"quoted\"\"\n");
  std::string error;
  ASSERT_TRUE(doc.Save(path, &error)) << error;
  EXPECT_EQ(ReadBytes(path), doc.Text());

  // The game's reader gets back exactly what was set.
  auto read = [&](const char* section, const char* key) {
    return platform::ReadProfileString(path, section, key, "?", 64);
  };
  EXPECT_EQ(read("setup", "music"), "Y");
  EXPECT_EQ(read("Player1", "email"), "ann@example.org");
  EXPECT_EQ(read("Player1", "address"), "  two blanks  ");
  EXPECT_EQ(read("Player3", "name"), "\"quoted\"");

  // A file that cannot be written leaves the old one whole and says why.
  EXPECT_FALSE(doc.Save((scratch.path() / "no such folder" / "options.ini").string(), &error));
  EXPECT_NE(error.find("Cannot create"), std::string::npos) << error;
}

}  // namespace
