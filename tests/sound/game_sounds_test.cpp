// The game's own sounds (made by the asset generator into the suite folder) load, play and reach the mixed
// output, and the music plays beside them.
#include <gtest/gtest.h>
#include <dirent.h>

#include <algorithm>
#include <cstdlib>

#include "platform/host/file_names.h"
#include "platform/music/mci.h"
#include "sound/sound_table.h"
#include "sound_test_support.h"

using namespace sound_test;

namespace {

// This build's game folder, or else the default build's (sanitizer builds do not make the assets).
std::string GameDir() {
  const std::string own = ZORVEL_GAME_DIR;
  if (platform::FileExists(own + "/sounds/bell.wav")) return own;
  return std::string(ZORVEL_SOURCE_DIR) + "/build/suite/Zorvel";
}

std::vector<std::string> GameSounds() {
  std::vector<std::string> names;
  const std::string dir = GameDir() + "/sounds";
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n.size() > 4 && n.compare(n.size() - 4, 4, ".wav") == 0) names.push_back(n.substr(0, n.size() - 4));
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(GameSounds, EverySoundLoadsAndIsHeardWithTheMusic) {
  const std::vector<std::string> names = GameSounds();
  if (names.empty()) GTEST_SKIP() << "no game sounds in " << GameDir() << " (build the suite first)";
  platform::UseVirtualTime(true);
  DumpPath();
  ASSERT_EQ(g_soundTable.Init(TestWindow(), 200), 1);
  const std::string dir = GameDir() + "/sounds/";
  for (size_t i = 0; i < names.size(); ++i) {
    SoundEntry* e = g_soundTable.LoadSound((dir + names[i] + ".wav").c_str(), names[i].c_str());
    ASSERT_NE(e, nullptr) << names[i];
    EXPECT_EQ(e->id, 10 + i);
  }
  for (const std::string& name : names) {
    const uint64_t start = DumpFrames();
    SNDSample* s = g_soundTable.PlaySound(name.c_str(), 0xFFFF, name.rfind("bull", 0) == 0 ? 1 : 0);
    ASSERT_NE(s, nullptr) << name;
    const double seconds = static_cast<double>(s->m_dwDataSize) /
                           (s->m_dwSamplesPerSec * s->m_dwChannels * s->m_dwBitsPerSample / 8);
    Advance(static_cast<uint32_t>(seconds * 1000) + 50);
    EXPECT_FALSE(s->SamplePlaying()) << name;
    int loud = 0;
    for (int16_t v : ReadDump(start)) loud += std::abs(v) > 500;
    EXPECT_GT(loud, 0) << name << " was not heard";
  }
  const std::string music = "open " + GameDir() + "/sounds/music.mp3 alias music";
  if (platform::MciSendString(music, nullptr) == platform::MCIERR_NONE) {
    ASSERT_EQ(platform::MciSendString("play music notify", TestWindow()), platform::MCIERR_NONE);
    const uint64_t start = DumpFrames();
    Advance(2000);
    int loud = 0;
    for (int16_t v : ReadDump(start)) loud += std::abs(v) > 500;
    EXPECT_GT(loud, 44100) << "music is heard";
    platform::MciSendString("close music", nullptr);
  }
  g_soundTable.Shutdown();
}

}  // namespace
