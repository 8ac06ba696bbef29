#include "sound/sound_table.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/replay/trace.h"
#include "sound/zk_sound.h"
#include "sound_test_support.h"

using namespace sound_test;

namespace {

class SoundTableTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UseVirtualTime(true);
    DumpPath();
    ASSERT_EQ(g_soundTable.Init(TestWindow(), 200), 1);
  }
  void TearDown() override { g_soundTable.Shutdown(); }
};

TEST_F(SoundTableTest, IdsCountFromTenInLoadOrderAndAMissingFileShiftsTheRest) {
  std::string file = WriteLevelWav("s.wav", 100, 50);
  for (int i = 0; i < 17; ++i) {
    SoundEntry* e = g_soundTable.LoadSound(file.c_str(), ("snd" + std::to_string(i)).c_str());
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->id, static_cast<uint32_t>(10 + i));
  }
  EXPECT_EQ(g_soundTable.FindSound("snd16")->id, 26u);
  g_soundTable.FreeAllSounds();
  EXPECT_EQ(g_soundTable.Count(), 0);
  EXPECT_EQ(AllocatedSlots(), 0);

  EXPECT_EQ(g_soundTable.LoadSound(file.c_str(), "first")->id, 10u) << "after freeing, IDs start again at 10";
  EXPECT_EQ(g_soundTable.LoadSound((TempDir() + "/gone.wav").c_str(), "second"), nullptr);
  EXPECT_EQ(g_soundTable.LoadSound(file.c_str(), "third")->id, 11u);
  EXPECT_EQ(g_soundTable.Count(), 2);
  EXPECT_EQ(g_soundTable.FindSound("second"), nullptr);
}

TEST_F(SoundTableTest, PlaysByExactNameAndTracesWhatIsPlayed) {
  const std::string tracePath = TempDir() + "/trace.txt";
  setenv("ZORVEL_TRACE", tracePath.c_str(), 1);
  platform::CloseTrace();
  ASSERT_NE(g_soundTable.LoadSound(WriteLevelWav("bull.wav", 2500, 500).c_str(), "bull01"), nullptr);
  ASSERT_NE(g_soundTable.LoadSound(WriteLevelWav("bull.wav", 2500, 500).c_str(), "bull01"), nullptr);
  EXPECT_EQ(g_soundTable.FindSound("bull01")->id, 10u) << "the first of two equal names wins";
  EXPECT_EQ(g_soundTable.PlaySound("Bull01", 0xFFFF, 1), nullptr) << "names are case-sensitive";
  EXPECT_EQ(g_soundTable.PlaySound("click", 0xFFFF, 0), nullptr);
  SNDSample* played = g_soundTable.PlaySound("bull01", 0xFFFF, 1);
  ASSERT_NE(played, nullptr);
  EXPECT_EQ(played->m_dwID, 10u);
  EXPECT_EQ(played->m_nPan, 1);
  EXPECT_TRUE(played->SamplePlaying());
  g_soundTable.EnableSFX(0);
  EXPECT_NE(g_soundTable.PlaySound("bull01", 0xFFFF, 1), nullptr);
  g_soundTable.EnableSFX(1);
  platform::CloseTrace();
  unsetenv("ZORVEL_TRACE");
  std::ifstream in(tracePath);
  std::string line, all;
  int plays = 0;
  while (std::getline(in, line)) plays += line.find("sound bull01") != std::string::npos;
  EXPECT_EQ(plays, 1) << "one sound was heard";

  const std::string longName(40, 'x');
  SoundEntry* cut = g_soundTable.LoadSound(WriteLevelWav("l.wav", 1, 10).c_str(), longName.c_str());
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(std::string(cut->name), std::string(31, 'x')) << "names are cut to 31 characters";
  EXPECT_EQ(g_soundTable.FindSound(longName.c_str()), nullptr);
  EXPECT_EQ(g_soundTable.FindSound(std::string(31, 'x').c_str()), cut);
}

TEST(SoundTableShutdown, ShutdownWithoutInitStillShutsTheEngineDown) {
  SoundTable table;
  table.Shutdown();
  EXPECT_EQ(ZKSound::g_lpDSound, nullptr);
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.PlaySound("bull01", 0xFFFF, 0), nullptr);
}

}  // namespace
