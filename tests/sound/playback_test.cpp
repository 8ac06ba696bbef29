#include <gtest/gtest.h>

#include "sound/zk_sound.h"
#include "sound_test_support.h"

using namespace sound_test;

namespace {

TEST(LevelTable, TableAndMappingsGiveTheDocumentedLevels) {
  EXPECT_EQ(ZKSound::g_VolumeTable[0], -10000);
  for (int i = 1; i <= 16; ++i) EXPECT_EQ(ZKSound::g_VolumeTable[i], -10000) << i;
  EXPECT_EQ(ZKSound::g_VolumeTable[17], -9912);
  EXPECT_EQ(ZKSound::g_VolumeTable[8192], -1000);
  EXPECT_EQ(ZKSound::g_VolumeTable[4096], -2000);
  EXPECT_EQ(ZKSound::g_VolumeTable[16383], 0);
  for (int i = 1; i < 16384; ++i) ASSERT_GE(ZKSound::g_VolumeTable[i], ZKSound::g_VolumeTable[i - 1]) << i;

  EXPECT_EQ(ZKSound::MapVolume(0), -10000);
  EXPECT_EQ(ZKSound::MapVolume(0xFFFF), 0);
  EXPECT_EQ(ZKSound::MapVolume(0x7FFF), -1000);
  EXPECT_EQ(ZKSound::MapVolume(0x10000), 0);
  EXPECT_EQ(ZKSound::MapVolume(-5), -10000);

  EXPECT_EQ(ZKSound::MapPan(0x8000), 0);
  EXPECT_EQ(ZKSound::MapPan(0xFFFF), -10000);
  EXPECT_EQ(ZKSound::MapPan(1), 10000);
  EXPECT_EQ(ZKSound::MapPan(0x7FFF), 0);
  EXPECT_EQ(ZKSound::MapPan(0), 10000);
  EXPECT_EQ(ZKSound::MapPan(-3), 10000);
  EXPECT_EQ(ZKSound::MapPan(0x10000), -10000);
  EXPECT_EQ(ZKSound::MapPan(0xC000), ZKSound::g_VolumeTable[16383 - 0x2000]);
}

class PlaybackTest : public EngineTest {};

TEST_F(PlaybackTest, ChainOfThreePlaysInOrderOneAfterAnother) {
  ASSERT_EQ(g_zkSound.LoadSample(WriteLevelWav("one.wav", 1000, 2205).c_str(), 10), 1);
  ASSERT_EQ(g_zkSound.LoadSample(WriteLevelWav("two.wav", 2000, 4410).c_str(), 11), 1);
  ASSERT_EQ(g_zkSound.LoadSample(WriteLevelWav("three.wav", 3000, 2205).c_str(), 12), 1);
  SNDSample* one = ZKSound::FindSample(10);
  SNDSample* two = ZKSound::FindSample(11);
  SNDSample* three = ZKSound::FindSample(12);
  EXPECT_EQ(SNDSample::ChainSample(one, two), one);
  EXPECT_EQ(SNDSample::ChainSample(one, three), one);
  EXPECT_EQ(two->m_pNext, three);
  EXPECT_EQ(SNDSample::ChainSample(nullptr, two), two);
  EXPECT_EQ(SNDSample::ChainSample(one, nullptr), nullptr);
  two->ClearFlags(SNDSAMPLE_CLAIMED);
  three->ClearFlags(SNDSAMPLE_CLAIMED);

  const uint64_t start = DumpFrames();
  ASSERT_EQ(one->PlaySample(0xFFFF, 0), 1);
  EXPECT_TRUE(one->Has(SNDSAMPLE_EVENT_ARMED));
  Advance(600);
  EXPECT_FALSE(one->Has(SNDSAMPLE_EVENT_ARMED) || two->Has(SNDSAMPLE_EVENT_ARMED)) << "events handled and cleared";
  for (int i = 1; i < ZKSound::g_nMaxEventCount; ++i) EXPECT_EQ(ZKSound::g_EventList[i].pSample.load(), nullptr);

  // The mixed output at 44100 Hz: each sample's level for twice its frames, in chain order (the resampler
  // shares each sound's last frame half-way with what follows).
  auto runs = LevelRuns(ReadDump(start));
  ASSERT_EQ(runs.size(), 3u);
  const std::pair<int, int> expected[] = {{1000, 4410}, {2000, 8820}, {3000, 4410}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(runs[i].first, expected[i].first);
    EXPECT_NEAR(runs[i].second, expected[i].second, 1) << i;
  }
}

TEST_F(PlaybackTest, LoopingSampleLoopsUntilStoppedAndItsDuplicatesPlayOnce) {
  WavSpec spec;
  spec.data = Level16(1500, 1000);
  spec.withSampler = true;
  spec.loopStart = 0;
  spec.loopEnd = 999;
  ASSERT_EQ(g_zkSound.LoadSample(WriteFile("loop.wav", BuildWav(spec)).c_str(), 20), 1);
  SNDSample* loop = g_zkSound.PlaySample(20, 0xFFFF, 0);
  SNDSample* dupe = g_zkSound.PlaySample(20, 0xFFFF, 0);
  ASSERT_TRUE(loop && dupe);
  EXPECT_FALSE(dupe->Has(SNDSAMPLE_LOOPING));
  EXPECT_EQ(dupe->m_dwLoopEnd, loop->m_dwLoopEnd);
  Advance(500);  // the file lasts 45 ms
  EXPECT_TRUE(loop->SamplePlaying());
  EXPECT_EQ(loop->GetSampleStatus(), platform::DSBSTATUS_PLAYING | platform::DSBSTATUS_LOOPING);
  EXPECT_FALSE(dupe->SamplePlaying());
  EXPECT_EQ(loop->StopSample(), 1);
  EXPECT_FALSE(loop->SamplePlaying());
}

TEST_F(PlaybackTest, PauseKeepsThePlaceAndUnpauseOnlyAfterAPause) {
  ASSERT_EQ(g_zkSound.LoadSample(WriteLevelWav("long.wav", 700, 22050).c_str(), 30), 1);
  SNDSample* s = ZKSound::FindSample(30);
  EXPECT_EQ(s->UnPauseSample(), 0) << "not paused: nothing happens";
  EXPECT_FALSE(s->SamplePlaying());
  ASSERT_EQ(s->PlaySample(0xFFFF, 0), 1);
  Advance(200);
  ASSERT_EQ(s->PauseSample(), 1);
  EXPECT_TRUE(s->Has(SNDSAMPLE_PAUSED));
  EXPECT_NEAR(static_cast<double>(s->m_dwPausePos), 0.2 * 22050 * 2, 2 * 512);
  const uint64_t pausedAt = DumpFrames();
  Advance(100);
  for (int16_t v : ReadDump(pausedAt)) ASSERT_EQ(v, 0) << "silent while paused";
  ASSERT_EQ(s->UnPauseSample(), 1);
  EXPECT_FALSE(s->Has(SNDSAMPLE_PAUSED));
  uint32_t position = 0;
  s->m_lpBuffer->GetCurrentPosition(&position, nullptr);
  EXPECT_EQ(position, s->m_dwPausePos);
  const uint64_t resumedAt = DumpFrames();
  Advance(1000);
  auto runs = LevelRuns(ReadDump(resumedAt));
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_NEAR(runs[0].second, (22050 - s->m_dwPausePos / 2) * 2, 2) << "the rest of the sound, once";
}

TEST_F(PlaybackTest, LevelPanAndPitchAreKeptButRefusedByTheBuffer) {
  ASSERT_EQ(g_zkSound.LoadSample(WriteLevelWav("plain.wav", 4000, 2205).c_str(), 40), 1);
  SNDSample* s = ZKSound::FindSample(40);
  EXPECT_EQ(s->SetVolume(0x4000), 0);
  EXPECT_EQ(s->m_nVolume, 0x4000);
  EXPECT_EQ(s->SetPan(1), 0);
  EXPECT_EQ(s->m_nPan, 1);
  EXPECT_EQ(s->SetPitch(11025), 0);
  EXPECT_EQ(s->m_nPitch, 11025);
  const uint64_t start = DumpFrames();
  ASSERT_NE(g_zkSound.PlaySample(40, 0x1000, 1), nullptr);  // quiet and right, as asked: refused
  Advance(200);
  auto runs = LevelRuns(ReadDump(start));
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].first, 4000) << "full level, both sides";
  EXPECT_NEAR(runs[0].second, 4410, 1) << "the file's own rate";
  std::vector<int16_t> out = ReadDump(start);
  for (size_t i = 0; i + 1 < out.size(); i += 2) ASSERT_EQ(out[i], out[i + 1]);

  SNDSample empty;
  EXPECT_EQ(empty.SetVolume(5), 0);
  EXPECT_EQ(empty.GetSampleStatus(), SNDSAMPLE_NO_STATUS);
  EXPECT_EQ(empty.SamplePlaying(), 0);
  EXPECT_EQ(empty.PlaySample(0xFFFF, 0), 0);
  EXPECT_EQ(empty.StopSample(), 0);
}

}  // namespace
