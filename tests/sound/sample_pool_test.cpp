#include <gtest/gtest.h>

#include "platform/audio/audio_buffer.h"
#include "sound/zk_sound.h"
#include "sound_test_support.h"

using namespace sound_test;

namespace {

TEST(SamplePoolSizes, EventSlotsAreOneMoreThanSamplesButAtMost64) {
  platform::UseVirtualTime(true);
  ZKSound::g_nMaxSampleCount = 200;
  ASSERT_EQ(ZKSound::AllocSampleBuffers(), 1);
  EXPECT_EQ(ZKSound::g_nMaxEventCount, 64);
  EXPECT_EQ(ZKSound::g_pEndSample - ZKSound::g_SampleList, 200);
  EXPECT_EQ(ZKSound::g_pLastSample, ZKSound::g_SampleList) << "an empty pool: every scan is empty";
  EXPECT_EQ(ZKSound::FindSample(10), nullptr);
  ZKSound::g_nMaxSampleCount = 10;
  ASSERT_EQ(ZKSound::AllocSampleBuffers(), 1);
  EXPECT_EQ(ZKSound::g_nMaxEventCount, 11);
  EXPECT_EQ(ZKSound::g_pEndSample - ZKSound::g_SampleList, 10);
  ZKSound::free_sample_buffers();
  EXPECT_EQ(ZKSound::AllocSample(), nullptr) << "no pool, no slot";
}

class SamplePoolTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    bell = WriteLevelWav("bell.wav", 3000, 2205);   // 0.1 s
    horn = WriteLevelWav("horn.wav", -3000, 4410);  // 0.2 s
  }
  std::string bell, horn;
};

TEST_F(SamplePoolTest, QuickPlaysMakeDuplicatesThatAreFreedOnceFinished) {
  ASSERT_EQ(g_zkSound.LoadSample(bell.c_str(), 10), 1);
  ASSERT_EQ(g_zkSound.LoadSample(horn.c_str(), 11), 1);
  EXPECT_EQ(AllocatedSlots(), 2);
  const uint32_t buffersBefore = platform::SoundBuffer::LiveCount();

  SNDSample* first = g_zkSound.PlaySample(10, 0xFFFF, 0);
  SNDSample* second = g_zkSound.PlaySample(10, 0xFFFF, 0);
  SNDSample* third = g_zkSound.PlaySample(10, 0xFFFF, 0);
  ASSERT_TRUE(first && second && third);
  EXPECT_EQ(first, &ZKSound::g_SampleList[0]) << "the loaded instance plays first";
  EXPECT_EQ(second, &ZKSound::g_SampleList[2]);
  EXPECT_EQ(third, &ZKSound::g_SampleList[3]);
  EXPECT_TRUE(second->Has(SNDSAMPLE_DUPLICATE) && third->Has(SNDSAMPLE_DUPLICATE));
  EXPECT_FALSE(second->Has(SNDSAMPLE_CLAIMED)) << "playing takes the claim away";
  EXPECT_TRUE(first->SamplePlaying() && second->SamplePlaying() && third->SamplePlaying());
  EXPECT_EQ(platform::SoundBuffer::LiveCount(), buffersBefore + 2) << "duplicates share the data, not copy it";

  // While they play, nothing is freed.
  ZKSound::FlushSamples();
  EXPECT_EQ(AllocatedSlots(), 4);
  ZKSound::FreeSample(static_cast<uint32_t>(11));  // horn is idle: found, freed
  EXPECT_EQ(AllocatedSlots(), 3);

  Advance(150);
  EXPECT_FALSE(first->SamplePlaying() || second->SamplePlaying() || third->SamplePlaying());
  ZKSound::FlushSamples();
  EXPECT_EQ(AllocatedSlots(), 1) << "finished duplicates go back; the loaded instance stays";
  EXPECT_EQ(platform::SoundBuffer::LiveCount(), buffersBefore - 1);

  // A look-up for an absent ID frees finished duplicates it walks past.
  g_zkSound.PlaySample(10, 0xFFFF, 0);
  g_zkSound.PlaySample(10, 0xFFFF, 0);
  EXPECT_EQ(AllocatedSlots(), 2);
  Advance(150);
  EXPECT_EQ(ZKSound::FindSample(99), nullptr);
  EXPECT_EQ(AllocatedSlots(), 1);

  // Loading a present ID again reads nothing, but its look-up leaves the instance claimed.
  EXPECT_EQ(g_zkSound.LoadSample(horn.c_str(), 10), 1);
  EXPECT_EQ(AllocatedSlots(), 1);
  EXPECT_TRUE(ZKSound::g_SampleList[0].Has(SNDSAMPLE_CLAIMED));
  EXPECT_EQ(ZKSound::g_SampleList[0].m_dwDataSize, 2205u * 2) << "still the bell";
}

TEST_F(SamplePoolTest, PlayingInstanceIsNeverFreedByIdAndClearingKeepsTheHighestSlotReachable) {
  ASSERT_EQ(g_zkSound.LoadSample(bell.c_str(), 10), 1);
  ASSERT_EQ(g_zkSound.LoadSample(horn.c_str(), 11), 1);
  ASSERT_EQ(g_zkSound.LoadSample(bell.c_str(), 12), 1);
  SNDSample* playing = g_zkSound.PlaySample(10, 0xFFFF, 0);
  ZKSound::FreeSample(static_cast<uint32_t>(10));  // finds a new duplicate and frees that one
  EXPECT_TRUE(playing->SamplePlaying());
  EXPECT_EQ(AllocatedSlots(), 3);

  ZKSound::FreeSample(static_cast<uint32_t>(11));  // slot 1, below the highest
  EXPECT_EQ(ZKSound::g_pLastSample, &ZKSound::g_SampleList[3]);
  SNDSample* high = ZKSound::FindSample(12);
  ASSERT_NE(high, nullptr);
  EXPECT_EQ(high, &ZKSound::g_SampleList[2]);
  EXPECT_EQ(ZKSound::AllocSample(), &ZKSound::g_SampleList[1]) << "the first free slot is reused";

  for (SNDSample* s = ZKSound::g_SampleList; s < ZKSound::g_pLastSample; ++s) {
    if (s->m_lpBuffer) {
      s->m_lpBuffer->Release();
      s->m_lpBuffer = nullptr;
    }
  }
  ZKSound::ClearSampleList();
  EXPECT_EQ(ZKSound::FindSample(10), nullptr);
  EXPECT_EQ(ZKSound::FindSample(12), nullptr);
  EXPECT_EQ(ZKSound::AllocSample(), &ZKSound::g_SampleList[0]) << "allocation starts again at the first slot";
}

TEST_F(SamplePoolTest, ClearingTheListReleasesWhatIsStillPlaying) {
  const uint32_t baseline = platform::SoundBuffer::LiveCount();
  ASSERT_EQ(g_zkSound.LoadSample(horn.c_str(), 10), 1);
  g_zkSound.PlaySample(10, 0xFFFF, 0);
  SNDSample* dupe = g_zkSound.PlaySample(10, 0xFFFF, 0);
  ASSERT_TRUE(dupe && dupe->SamplePlaying());
  ZKSound::FreeSample(static_cast<uint32_t>(10));  // as the sound table does: both instances still play
  EXPECT_EQ(platform::SoundBuffer::LiveCount(), baseline + 2);
  const uint64_t start = DumpFrames();
  ZKSound::ClearSampleList();
  EXPECT_EQ(platform::SoundBuffer::LiveCount(), baseline) << "no buffer outlives its slot";
  Advance(100);
  for (int16_t v : ReadDump(start)) ASSERT_EQ(v, 0) << "and none plays on";
}

TEST_F(SamplePoolTest, FailedDuplicationGivesTheSlotBack) {
  ASSERT_EQ(g_zkSound.LoadSample(bell.c_str(), 10), 1);
  ASSERT_NE(g_zkSound.PlaySample(10, 0xFFFF, 0), nullptr);
  // Without a device, duplication fails after the slot was taken.
  platform::DirectSound* device = ZKSound::g_lpDSound;
  ZKSound::g_lpDSound = nullptr;
  EXPECT_EQ(g_zkSound.PlaySample(10, 0xFFFF, 0), nullptr);
  ZKSound::g_lpDSound = device;
  EXPECT_EQ(AllocatedSlots(), 1);
  EXPECT_EQ(ZKSound::AllocSample(), &ZKSound::g_SampleList[1]);
}

TEST_F(SamplePoolTest, WithEffectsOffLookupsClaimUntilThePoolIsFull) {
  g_zkSound.EnableSFX(0);
  ASSERT_EQ(g_zkSound.LoadSample(bell.c_str(), 10), 1);
  SNDSample* first = g_zkSound.PlaySample(10, 0xFFFF, 0);
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->Has(SNDSAMPLE_CLAIMED)) << "found, marked claimed, not played";
  EXPECT_FALSE(first->SamplePlaying());
  EXPECT_EQ(g_zkSound.PlaySampleIDOnce(10, 0xFFFF, 0), 1) << "reports success while effects are off";
  int made = 1;
  while (g_zkSound.PlaySample(10, 0xFFFF, 0)) ++made;
  EXPECT_EQ(made, sampleCount) << "each further request made one more claimed duplicate";
  EXPECT_EQ(AllocatedSlots(), sampleCount);
  g_zkSound.EnableSFX(1);
  EXPECT_EQ(first->PlaySample(0xFFFF, 0), 1);
  EXPECT_FALSE(first->Has(SNDSAMPLE_CLAIMED));
}

}  // namespace
