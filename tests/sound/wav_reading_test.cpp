#include <gtest/gtest.h>

#include "platform/audio/audio_buffer.h"
#include "sound/zk_sound.h"
#include "sound_test_support.h"

using namespace sound_test;

namespace {

int g_opens = 0;
int g_closes = 0;
platform::FileHandle CountingOpen(const char* name) {
  platform::FileHandle h = ZKSound::DefaultOpenFile(name);
  if (h != platform::INVALID_HANDLE_VALUE) ++g_opens;
  return h;
}
void CountingClose(platform::FileHandle h) {
  ++g_closes;
  ZKSound::DefaultCloseFile(h);
}

class WavReadingTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    g_opens = g_closes = 0;
    ZKSound::SetFileOpenFunc(&CountingOpen);
    ZKSound::SetFileCloseFunc(&CountingClose);
  }
  // Loads into a fresh slot the way the engine does, and gives the slot back.
  int Load(const std::vector<uint8_t>& bytes, SNDSample* out = nullptr) {
    std::string path = WriteFile("t.wav", bytes);
    int ok = g_zkSound.LoadSample(path.c_str(), 77);
    if (SNDSample* s = ZKSound::FindSample(77)) {
      if (out) {
        out->m_dwFlags.store(s->m_dwFlags.load());
        out->m_dwLoopStart = s->m_dwLoopStart;
        out->m_dwLoopEnd = s->m_dwLoopEnd;
        out->m_dwLoopCount = s->m_dwLoopCount;
        out->m_dwDataSize = s->m_dwDataSize;
        out->m_dwChannels = s->m_dwChannels;
        out->m_dwBitsPerSample = s->m_dwBitsPerSample;
        out->m_dwSamplesPerSec = s->m_dwSamplesPerSec;
      }
      ZKSound::FreeSample(s);
    }
    return ok;
  }
};

TEST_F(WavReadingTest, ChunkOrderIsFreeButBrokenFilesAreRefusedAndAlwaysClosed) {
  WavSpec good;
  good.data = Level16(1000, 500);
  good.dataBeforeFmt = true;
  SNDSample read;
  EXPECT_EQ(Load(BuildWav(good), &read), 1) << "data before fmt loads: every search starts at byte 12";
  EXPECT_EQ(read.m_dwDataSize, 1000u);
  EXPECT_EQ(read.m_dwSamplesPerSec, 22050u);
  EXPECT_TRUE(read.Has(SNDSAMPLE_FORMAT_READ));
  EXPECT_FALSE(read.Has(SNDSAMPLE_LOOPING));

  WavSpec shortFmt = good;
  shortFmt.dataBeforeFmt = false;
  shortFmt.fmtLastAndShort = true;
  EXPECT_EQ(Load(BuildWav(shortFmt)), 0) << "a 16-byte fmt at the end cannot give 20 bytes";

  WavSpec notPcm = good;
  notPcm.tag = 3;
  EXPECT_EQ(Load(BuildWav(notPcm)), 0);

  std::vector<uint8_t> noData = BuildWav(good);
  std::memcpy(noData.data() + 12, "junk", 4);  // the data chunk (first here) renamed
  EXPECT_EQ(Load(noData), 0);

  std::vector<uint8_t> notRiff = BuildWav(good);
  std::memcpy(notRiff.data(), "RIFX", 4);
  EXPECT_EQ(Load(notRiff), 0);

  // A chunk size that would move the file pointer backwards must end the search, not loop on one header.
  std::vector<uint8_t> hugeChunk;
  PutId(hugeChunk, "RIFF");
  Put32(hugeChunk, 100);
  PutId(hugeChunk, "WAVE");
  PutId(hugeChunk, "JUNK");
  Put32(hugeChunk, 0xFFFFFFF8u);
  hugeChunk.resize(64, 0);
  EXPECT_EQ(Load(hugeChunk), 0);

  EXPECT_EQ(g_zkSound.LoadSample((TempDir() + "/missing.wav").c_str(), 78), 0);
  EXPECT_EQ(g_opens, 6);
  EXPECT_EQ(g_closes, g_opens) << "every file opened is closed through the hook, loaded or not";
  EXPECT_EQ(AllocatedSlots(), 0) << "failed loads give their slot back";
}

TEST_F(WavReadingTest, ShortDataFailsAndReleasesItsBuffer) {
  const uint32_t before = platform::SoundBuffer::LiveCount();
  WavSpec truncated;
  truncated.data = Level16(1000, 100);
  truncated.claimedDataSize = 4000;  // the file ends long before
  EXPECT_EQ(Load(BuildWav(truncated)), 0);
  EXPECT_EQ(platform::SoundBuffer::LiveCount(), before) << "the buffer made for the failed load is released";
  EXPECT_EQ(AllocatedSlots(), 0);
  EXPECT_EQ(g_closes, g_opens);
}

TEST_F(WavReadingTest, SamplerLoopIsShiftedByBytesPerSample) {
  WavSpec eight;
  eight.bits = 8;
  eight.data.assign(1000, 0x80);
  eight.withSampler = true;
  eight.loopStart = 100;
  eight.loopEnd = 900;
  eight.playCount = 3;
  SNDSample read;
  ASSERT_EQ(Load(BuildWav(eight), &read), 1);
  EXPECT_TRUE(read.Has(SNDSAMPLE_LOOPING));
  EXPECT_EQ(read.m_dwLoopStart, 200u);
  EXPECT_EQ(read.m_dwLoopEnd, 1800u);
  EXPECT_EQ(read.m_dwLoopCount, 3u);

  WavSpec sixteen = eight;
  sixteen.bits = 16;
  sixteen.data = Level16(0, 1000);
  ASSERT_EQ(Load(BuildWav(sixteen), &read), 1);
  EXPECT_EQ(read.m_dwLoopStart, 400u);
  EXPECT_EQ(read.m_dwLoopEnd, 3600u);

  WavSpec noLoops = sixteen;
  noLoops.loops = 0;
  SNDSample plain;
  ASSERT_EQ(Load(BuildWav(noLoops), &plain), 1);
  EXPECT_FALSE(plain.Has(SNDSAMPLE_LOOPING)) << "a smpl chunk with zero loops is ignored";
}

TEST_F(WavReadingTest, IdAllOnesKeepsTheSlotsId) {
  std::string path = WriteLevelWav("keep.wav", 500, 100);
  SNDSample* slot = ZKSound::AllocSample();
  ASSERT_NE(slot, nullptr);
  slot->m_dwID = 1234;
  ASSERT_EQ(slot->LoadSample(path.c_str(), SNDSAMPLE_KEEP_ID), 1);
  EXPECT_EQ(slot->m_dwID, 1234u);
  ZKSound::FreeSample(slot);
  slot = ZKSound::AllocSample();
  ASSERT_EQ(slot->LoadSample(path.c_str(), 55), 1);
  EXPECT_EQ(slot->m_dwID, 55u);
  ZKSound::FreeSample(slot);
}

TEST_F(WavReadingTest, FormatsNoBufferCanPlayAreRefusedBeforeAnyArithmetic) {
  struct Format {
    uint16_t channels, bits;
    bool opens;
  };
  for (Format f : {Format{1, 8, true}, Format{2, 16, true}, Format{0, 16, false}, Format{3, 16, false},
                   Format{65535, 65535, false}, Format{1, 0, false}, Format{1, 12, false}, Format{2, 32, false},
                   Format{1, 256, false}}) {
    WavSpec spec;
    spec.channels = f.channels;
    spec.bits = f.bits;
    spec.data.assign(64, 0);
    spec.withSampler = true;  // the loop is scaled by the bit count: a bad count must be refused first
    spec.loopStart = 1;
    spec.loopEnd = 8;
    const std::string path = WriteFile("format.wav", BuildWav(spec));
    SNDSample sample;
    platform::FileHandle file = sample.OpenSoundFile(path.c_str());
    EXPECT_EQ(f.opens, file != platform::INVALID_HANDLE_VALUE) << f.channels << " x " << f.bits;
    if (file != platform::INVALID_HANDLE_VALUE) ZKSound::g_pCloseFile(file);
  }
  EXPECT_EQ(g_closes, g_opens);
}

TEST_F(WavReadingTest, ADataSizeBeyondTheFileIsRefusedBeforeAnyBufferIsMade) {
  // A small file that claims 256 MB of data: the load fails without making (and clearing) a buffer that size.
  WavSpec liar;
  liar.data = Level16(100, 31);
  liar.claimedDataSize = 0x0FFFFFF0;
  const std::vector<uint8_t> bytes = BuildWav(liar);
  ASSERT_LT(bytes.size(), 200u);
  const uint32_t before = platform::SoundBuffer::LiveCount();
  const uint64_t made = platform::SoundBuffer::CreatedCount();
  EXPECT_EQ(Load(bytes), 0);
  EXPECT_EQ(platform::SoundBuffer::CreatedCount(), made) << "no buffer is made for data the file does not hold";
  EXPECT_EQ(platform::SoundBuffer::LiveCount(), before);
  EXPECT_EQ(AllocatedSlots(), 0);
  EXPECT_EQ(g_closes, g_opens);

  // Exactly the size the file holds still loads, and the data is read from its start.
  WavSpec exact;
  exact.data = Level16(100, 31);
  SNDSample read;
  EXPECT_EQ(Load(BuildWav(exact), &read), 1);
  EXPECT_EQ(read.m_dwDataSize, 62u);
}

}  // namespace
