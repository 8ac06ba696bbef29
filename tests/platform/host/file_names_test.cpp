#include "platform/host/file_names.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

using namespace platform;

namespace {
struct InTempDir : ::testing::Test {
  std::string old, dir;
  void SetUp() override {
    char buffer[4096];
    old = ::getcwd(buffer, sizeof buffer);
    char pattern[] = "/tmp/zorvel-names-XXXXXX";
    dir = ::mkdtemp(pattern);
    ::mkdir((dir + "/suite").c_str(), 0755);
    ::mkdir((dir + "/suite/Zorvel").c_str(), 0755);
    ::mkdir((dir + "/suite/Zorvel/Sounds").c_str(), 0755);
    std::ofstream(dir + "/suite/options.ini") << "x";
    std::ofstream(dir + "/suite/Zorvel/Sounds/Bell.wav") << "x";
    std::ofstream(dir + "/suite/Hubbix") << "x";
    ASSERT_EQ(0, ::chdir((dir + "/suite/Zorvel").c_str()));
  }
  void TearDown() override {
    ASSERT_EQ(0, ::chdir(old.c_str()));
    std::system(("rm -rf " + dir).c_str());
  }
};
}  // namespace

TEST_F(InTempDir, TranslatesBackslashNamesAndLetterCase) {
  EXPECT_EQ("../options.ini", HostPath("..\\options.ini"));
  EXPECT_TRUE(FileExists("..\\options.ini"));
  EXPECT_TRUE(FileExists(".\\sounds\\bell.wav")) << "letter case of folders and files is ignored";
  EXPECT_EQ("./Sounds/Bell.wav", HostPath(".\\sounds\\bell.wav"));
  EXPECT_FALSE(FileExists(".\\sounds\\missing.wav"));
  std::FILE* f = OpenFile("..\\OPTIONS.INI", "rb");
  ASSERT_NE(nullptr, f);
  std::fclose(f);
  EXPECT_EQ("", HostPath(""));
  const std::string absolute = dir + "\\suite\\Hubbix";
  EXPECT_EQ(dir + "/suite/Hubbix", HostPath(absolute));
}

TEST_F(InTempDir, FindsTheLauncherWithoutItsExeSuffix) {
  EXPECT_EQ(dir + "/suite/Hubbix", HostProgramPath(dir + "\\suite\\Hubbix.exe"));
  EXPECT_EQ("../Hubbix", HostProgramPath("..\\Hubbix.EXE"));
  EXPECT_EQ("../Nothing.exe", HostProgramPath("..\\Nothing.exe")) << "no such program: the name is left as it was";
}
