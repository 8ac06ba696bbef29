#include "platform/host/profile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

using namespace platform;

namespace {
std::string WriteTemp(const std::string& name, const std::string& text) {
  std::string path = std::string(::testing::TempDir()) + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}
}  // namespace

TEST(Profile, FollowsTheIniRules) {
  const std::string file = WriteTemp("rules.ini",
                                     "; comment\r\n[Other]\r\nmusic=N\r\n[SETUP]\r\n  Music =  Yes please  \r\n"
                                     "quoted=\"a b\"\r\nsingle='x'\r\nhalf=\"open\r\nempty=\r\nlong=abcdefghij\r\n"
                                     "[setup]\r\nmusic=second section ignored\r\n");
  EXPECT_EQ("Yes please", ReadProfileString(file, "setup", "MUSIC", "Y", 256)) << "case-insensitive, trimmed";
  EXPECT_EQ("a b", ReadProfileString(file, "setup", "quoted", "", 256));
  EXPECT_EQ("x", ReadProfileString(file, "setup", "single", "", 256));
  EXPECT_EQ("\"open", ReadProfileString(file, "setup", "half", "", 256)) << "only a matching pair is removed";
  EXPECT_EQ("", ReadProfileString(file, "setup", "empty", "dflt", 256)) << "present but empty is not missing";
  EXPECT_EQ("dflt", ReadProfileString(file, "setup", "absent", "dflt", 256));
  EXPECT_EQ("dflt", ReadProfileString(file, "nosuch", "music", "dflt", 256));
  EXPECT_EQ("dflt", ReadProfileString(file + ".missing", "setup", "music", "dflt", 256));
  EXPECT_EQ("Y", ReadProfileString(file, "setup", "music", "Y", 2)) << "cut to the buffer size minus one";
  EXPECT_EQ("abcd", ReadProfileString(file, "setup", "long", "", 5));
  EXPECT_EQ("N", ReadProfileString(file, "other", "music", "", 2));

  char buffer[4];
  EXPECT_EQ(3u, GetPrivateProfileString("setup", "long", "", buffer, sizeof buffer, file.c_str()));
  EXPECT_STREQ("abc", buffer);
  EXPECT_EQ(0u, GetPrivateProfileString("setup", "long", "", buffer, 0, file.c_str()));
}

TEST(Profile, IntegerReadTakesTheDecimalPrefix) {
  EXPECT_EQ(12, ProfileInt("12abc"));
  EXPECT_EQ(-3, ProfileInt("  -3"));
  EXPECT_EQ(7, ProfileInt("+7"));
  EXPECT_EQ(0, ProfileInt("abc"));
  EXPECT_EQ(0, ProfileInt(""));
  EXPECT_EQ(0, ProfileInt(nullptr));
  EXPECT_EQ(1, ProfileInt("1.9"));
  EXPECT_EQ(2147483647, ProfileInt("99999999999999999999")) << "saturates instead of wrapping";
}
