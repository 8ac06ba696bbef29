#include "platform/host/writable_files.h"

#include <gtest/gtest.h>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/host/atomic_file.h"
#include "platform/host/file_names.h"
#include "platform/host/profile.h"

using namespace platform;

namespace {

std::string Read(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0;
}

// A suite folder (options.ini, Zorvel/setup.ini, Zorvel/sounds/bell.wav) in a scratch folder with its own home;
// the test runs inside the game folder as the game does.
struct SuiteWithHome : ::testing::Test {
  std::string old, dir, suite, game, home;
  std::optional<std::string> savedHome, savedConfig, savedData;

  static std::optional<std::string> Save(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::optional<std::string>(v) : std::nullopt;
  }
  static void Restore(const char* name, const std::optional<std::string>& v) {
    if (v) ::setenv(name, v->c_str(), 1);
    else ::unsetenv(name);
  }

  void SetUp() override {
    char buffer[4096];
    old = ::getcwd(buffer, sizeof buffer);
    char pattern[] = "/tmp/zorvel-writable-XXXXXX";
    dir = ::mkdtemp(pattern);
    suite = dir + "/suite";
    game = suite + "/Zorvel";
    home = dir + "/home";
    ::mkdir(suite.c_str(), 0755);
    ::mkdir(game.c_str(), 0755);
    ::mkdir((game + "/sounds").c_str(), 0755);
    ::mkdir(home.c_str(), 0755);
    std::ofstream(suite + "/options.ini") << "[setup]\nplayerid=0\n[Player1]\nname=Installed\n";
    std::ofstream(game + "/setup.ini") << "[setup]\nfullscreen=1\n";
    std::ofstream(game + "/sounds/bell.wav") << "x";
    savedHome = Save("HOME");
    savedConfig = Save("XDG_CONFIG_HOME");
    savedData = Save("XDG_DATA_HOME");
    ::setenv("HOME", home.c_str(), 1);
    ::unsetenv("XDG_CONFIG_HOME");
    ::unsetenv("XDG_DATA_HOME");
    ASSERT_EQ(0, ::chdir(game.c_str()));
  }
  void TearDown() override {
    UseWritableFiles(WritableFiles{}, "", "");
    Restore("HOME", savedHome);
    Restore("XDG_CONFIG_HOME", savedConfig);
    Restore("XDG_DATA_HOME", savedData);
    ASSERT_EQ(0, ::chdir(old.c_str()));
    std::system(("chmod -R u+w " + dir + "; rm -rf " + dir).c_str());
  }
  void MakeInstalled() {
    ASSERT_EQ(0, ::chmod(game.c_str(), 0555));
    ASSERT_EQ(0, ::chmod(suite.c_str(), 0555));
  }
};

}  // namespace

TEST_F(SuiteWithHome, WritableSuiteKeepsEverythingBesideTheGame) {
  const WritableFiles files = LocateWritableFiles(suite, ".");
  EXPECT_TRUE(files.inPlace);
  EXPECT_EQ(suite + "/options.ini", files.options);
  EXPECT_EQ("./hiscore.dat", files.hiscore);
  UseWritableFiles(files, suite, ".");
  EXPECT_EQ("../options.ini", HostPath("..\\options.ini"));
  EXPECT_EQ("hiscore.dat", HostPath("hiscore.dat"));
  EXPECT_FALSE(Exists(home + "/.config")) << "a portable suite must leave the home folder alone";
  EXPECT_FALSE(Exists(home + "/.local"));
}

TEST_F(SuiteWithHome, ReadOnlyGameFolderSendsTheGamesWritesToTheXdgFolders) {
  MakeInstalled();
  EXPECT_FALSE(FolderWritable(game)) << "read-only by its bits, whoever runs the test";
  EXPECT_FALSE(FolderWritable(dir + "/missing"));
  std::string problem;
  const WritableFiles files = LocateWritableFiles(suite, ".", &problem);
  EXPECT_EQ("", problem);
  EXPECT_FALSE(files.inPlace);
  const std::string config = home + "/.config/zorvel", data = home + "/.local/share/zorvel";
  EXPECT_EQ(config + "/options.ini", files.options);
  EXPECT_EQ(config + "/setup.ini", files.setup);
  EXPECT_EQ(data + "/hiscore.dat", files.hiscore);
  // Seeded from the installed defaults, and the player's copies are theirs to change.
  EXPECT_EQ(Read(suite + "/options.ini"), Read(files.options));
  EXPECT_EQ("[setup]\nfullscreen=1\n", Read(files.setup));
  EXPECT_EQ(0, ::access(files.options.c_str(), W_OK));
  EXPECT_FALSE(Exists(files.hiscore)) << "there is no installed hall of fame to copy";

  UseWritableFiles(files, suite, ".");
  // The game's own names, in any letter case, lead to the player's files; everything else stays in the game.
  EXPECT_EQ(files.options, HostPath("..\\options.ini"));
  EXPECT_EQ(files.setup, HostPath(".\\SETUP.INI"));
  EXPECT_EQ(files.hiscore, HostPath("hiscore.dat"));
  EXPECT_EQ("./sounds/bell.wav", HostPath(".\\sounds\\bell.wav"));
  EXPECT_EQ("Installed", ReadProfileString("..\\options.ini", "Player1", "name", "", 64));
  // A setup.ini or hiscore.dat of another folder is not the game's.
  EXPECT_EQ("../setup.ini", HostPath("..\\setup.ini"));

  const char table[] = "table";
  ASSERT_TRUE(ReplaceFileContent("hiscore.dat", table, sizeof table));
  EXPECT_EQ(std::string(table, sizeof table), Read(data + "/hiscore.dat"));
  EXPECT_FALSE(Exists(game + "/hiscore.dat"));
}

TEST_F(SuiteWithHome, PlayersOwnFilesAreNeverReplacedAndXdgVariablesAreHonoured) {
  MakeInstalled();
  const std::string data = dir + "/data";
  ::setenv("XDG_DATA_HOME", data.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", "relative/config", 1);  // not absolute: to be ignored
  ASSERT_EQ(0, ::system(("mkdir -p " + home + "/.config/zorvel").c_str()));
  std::ofstream(home + "/.config/zorvel/options.ini") << "[Player1]\nname=Mine\n";

  const WritableFiles files = LocateWritableFiles(suite, game);
  EXPECT_EQ(home + "/.config/zorvel/options.ini", files.options);
  EXPECT_EQ(data + "/zorvel/hiscore.dat", files.hiscore);
  EXPECT_EQ("[Player1]\nname=Mine\n", Read(files.options)) << "the first run's seed must not come back";
  EXPECT_TRUE(Exists(data + "/zorvel")) << "the data folder is made for the first save";
  EXPECT_FALSE(Exists(game + "/relative"));

  // Located again (every start does), nothing changes.
  std::ofstream(files.setup) << "[setup]\nfullscreen=0\n";
  LocateWritableFiles(suite, game);
  EXPECT_EQ("[setup]\nfullscreen=0\n", Read(files.setup));
}

// Storage that needs telling (the browser's) is told after each replace, when the new content is in place and
// no temporary file is left beside it; a refused replace and a keeper taken away tell nothing.
TEST_F(SuiteWithHome, TheKeeperRunsAfterEachReplaceOnceTheNewContentIsInPlace) {
  struct Reset {
    ~Reset() { SetReplacedFileKeeper(nullptr); }
  } reset;
  std::vector<std::string> seen;
  SetReplacedFileKeeper([&] {
    std::string names;
    if (DIR* folder = ::opendir(game.c_str())) {
      while (const dirent* entry = ::readdir(folder))
        if (std::string(entry->d_name).starts_with("hiscore.dat.")) names += entry->d_name;
      ::closedir(folder);
    }
    seen.push_back(Read(game + "/hiscore.dat") + "|" + names);
  });
  ASSERT_TRUE(ReplaceFileContent("hiscore.dat", "one", 3));
  ASSERT_TRUE(ReplaceFileContent("hiscore.dat", "two", 3));
  EXPECT_EQ((std::vector<std::string>{"one|", "two|"}), seen);

  ASSERT_EQ(0, ::chmod((game + "/hiscore.dat").c_str(), 0444));
  EXPECT_FALSE(ReplaceFileContent("hiscore.dat", "three", 5));
  EXPECT_EQ(2u, seen.size()) << "a refused replace has nothing to keep";
  ASSERT_EQ(0, ::chmod((game + "/hiscore.dat").c_str(), 0644));

  SetReplacedFileKeeper(nullptr);
  EXPECT_TRUE(ReplaceFileContent("hiscore.dat", "four", 4));
  EXPECT_EQ(2u, seen.size());
  EXPECT_EQ("four", Read(game + "/hiscore.dat"));
}
