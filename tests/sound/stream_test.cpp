#include <gtest/gtest.h>

#include <atomic>

#include "sound/zk_sound.h"
#include "sound_test_support.h"

using namespace sound_test;

namespace {

std::atomic<int> g_nextCalls{0};
std::atomic<uint32_t> g_nextId{0};
void RecordNext(uint32_t id) {
  g_nextId.store(id);
  g_nextCalls.fetch_add(1);
}

std::vector<uint8_t> Pattern8(uint32_t bytes) {
  std::vector<uint8_t> v(bytes);
  for (uint32_t i = 0; i < bytes; ++i) v[i] = static_cast<uint8_t>((i * 7) % 251 + 1);
  return v;
}

class StreamTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    g_nextCalls.store(0);
    g_nextId.store(0);
    g_zkSound.SetStreamNextFunc(&RecordNext);
  }
  void TearDown() override {
    ZKSound::ClearStreamNextStreamFunc();
    EngineTest::TearDown();
    EXPECT_EQ(ZKSound::g_FillThread, nullptr);
    EXPECT_EQ(ZKSound::g_StreamInfo.dwFlags.load() & ~SNDSTREAM_FILLING, 0u);
  }
  std::string Wav(const char* name, uint16_t channels, uint16_t bits, uint32_t rate, std::vector<uint8_t> data) {
    WavSpec spec;
    spec.channels = channels;
    spec.bits = bits;
    spec.rate = rate;
    spec.data = std::move(data);
    return WriteFile(name, BuildWav(spec));
  }
  SNDSample* StreamSample() { return ZKSound::g_StreamInfo.pSample.load(); }
};

TEST_F(StreamTest, SegmentsAreAQuarterSecondInWholeBlocks) {
  EXPECT_EQ(ZKSound::StreamChunkSize(22050, 16, 2), 22052u);
  EXPECT_EQ(ZKSound::StreamChunkSize(44100, 16, 2), 44100u);
  EXPECT_EQ(ZKSound::StreamChunkSize(11025, 8, 1), 2756u);
  EXPECT_EQ(ZKSound::StreamChunkSize(22050, 16, 1), 11026u);
  struct Case {
    uint16_t channels, bits;
    uint32_t rate, chunk, buffer;
  } cases[] = {{2, 16, 22050, 22052, 176416}, {2, 16, 44100, 44100, 352800}, {1, 8, 11025, 2756, 22048},
               {1, 16, 22050, 11026, 88208}};
  for (const Case& c : cases) {
    ASSERT_EQ(g_zkSound.LoadStream(Wav("fmt.wav", c.channels, c.bits, c.rate, std::vector<uint8_t>(4000, 0)).c_str(), 5), 1);
    EXPECT_EQ(ZKSound::g_StreamInfo.dwChunkSize, c.chunk);
    EXPECT_EQ(ZKSound::g_StreamInfo.dwBufferSize, c.buffer);
    EXPECT_EQ(ZKSound::GetStreamID(), 5u);
    EXPECT_EQ(g_zkSound.LoadStream(Wav("again.wav", 1, 8, 11025, std::vector<uint8_t>(100, 0)).c_str(), 6), 0)
        << "one stream at a time";
    // Loaded but never played: stopping still ends it, thread and file included.
    g_zkSound.StopStream();
    EXPECT_EQ(StreamSample(), nullptr);
    EXPECT_EQ(ZKSound::g_FillThread, nullptr);
    EXPECT_EQ(AllocatedSlots(), 0);
  }
  EXPECT_EQ(g_nextCalls.load(), 4);
}

TEST_F(StreamTest, LoopingStreamWrapsInsideASegment) {
  const uint32_t b = 2756;
  const std::vector<uint8_t> data = Pattern8(8 * b + 1000);
  ASSERT_EQ(g_zkSound.LoadStream(Wav("loop.wav", 1, 8, 11025, data).c_str(), 7), 1);
  EXPECT_EQ(ZKSound::g_StreamInfo.dwBytesLeft, 1000u);
  ASSERT_EQ(g_zkSound.PlayStream(SNDSTREAM_LOOP), 1);
  Advance(300);  // segment 0 has played once and been refilled
  SNDSample* sample = StreamSample();
  ASSERT_NE(sample, nullptr);
  void* part = nullptr;
  uint32_t bytes = 0;
  ASSERT_EQ(sample->m_lpBuffer->Lock(0, b, &part, &bytes, nullptr, nullptr, 0), platform::DS_OK);
  const auto* seg = static_cast<const uint8_t*>(part);
  std::vector<uint8_t> expected(data.begin() + 8 * b, data.end());
  expected.insert(expected.end(), data.begin(), data.begin() + (b - 1000));
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), seg)) << "the end of the data, then its start";
  sample->m_lpBuffer->Unlock(part, 0, nullptr, 0);
  EXPECT_EQ(ZKSound::g_StreamInfo.dwBytesLeft, static_cast<uint32_t>(data.size()) - (b - 1000));
  Advance(3000);
  EXPECT_NE(StreamSample(), nullptr) << "a looping stream goes on";
  g_zkSound.StopStream();
  EXPECT_EQ(StreamSample(), nullptr);
  EXPECT_EQ(g_nextCalls.load(), 1);
}

TEST_F(StreamTest, NonLoopingStreamEndsExactlyAfterItsDataThenCallsTheNextStreamHook) {
  const uint32_t frames = (10 * 11026 + 5512) / 2;  // 2.625 s, ending inside a segment
  const uint64_t start = DumpFrames();
  ASSERT_EQ(g_zkSound.LoadStream(Wav("once.wav", 1, 16, 22050, Level16(1200, frames)).c_str(), 9), 1);
  ASSERT_EQ(g_zkSound.PlayStream(0), 1);
  EXPECT_EQ(AllocatedSlots(), 1);
  Advance(2700);
  EXPECT_NE(StreamSample(), nullptr) << "still heard: the last segment ends at 2.75 s";
  Advance(150);
  ASSERT_TRUE(Eventually([] { return g_nextCalls.load() == 1; }));
  EXPECT_EQ(StreamSample(), nullptr);
  EXPECT_EQ(g_nextId.load(), 9u);
  EXPECT_EQ(AllocatedSlots(), 0) << "the stream's slot is given back";
  EXPECT_EQ(platform::WaitForThread(ZKSound::g_FillThread, 2000), platform::WAIT_OBJECT_0);
  Advance(500);
  auto runs = LevelRuns(ReadDump(start));
  // No gap and no repeat: the data once, its very last frame blended half-way into the silence after it.
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0], std::make_pair(1200, static_cast<int>(frames * 2 - 1)));
  const std::vector<int16_t> heard = ReadDump(start);
  size_t first = 0;
  while (first < heard.size() && heard[first] == 0) first += 2;
  ASSERT_LT(first + (frames * 2 - 1) * 2, heard.size());
  EXPECT_EQ(heard[first + (frames * 2 - 1) * 2], 600);
  g_zkSound.StopStream();  // nothing loaded: only the ended thread's handle is closed
  EXPECT_EQ(ZKSound::g_FillThread, nullptr);
}

TEST_F(StreamTest, PauseIsToldApartFromTheEnd) {
  const uint32_t frames = 22050 * 4;
  const uint64_t start = DumpFrames();
  ASSERT_EQ(g_zkSound.LoadStream(Wav("pause.wav", 1, 16, 22050, Level16(900, frames)).c_str(), 3), 1);
  ASSERT_EQ(g_zkSound.PlayStream(0), 1);
  Advance(500);
  g_zkSound.PauseStream();
  EXPECT_TRUE(ZKSound::g_StreamInfo.dwFlags.load() & SNDSTREAM_PAUSED);
  const uint64_t pausedAt = DumpFrames();
  Advance(3000);
  EXPECT_NE(StreamSample(), nullptr) << "the stop of a pause does not end the stream";
  EXPECT_EQ(g_nextCalls.load(), 0);
  for (int16_t v : ReadDump(pausedAt)) ASSERT_EQ(v, 0);
  g_zkSound.PauseStream();  // resume
  Advance(1000);
  g_zkSound.PauseStream();
  Advance(200);
  g_zkSound.StopStream();  // while paused
  EXPECT_EQ(StreamSample(), nullptr);
  EXPECT_EQ(g_nextCalls.load(), 1);
  EXPECT_EQ(ZKSound::g_FillThread, nullptr);
  auto runs = LevelRuns(ReadDump(start));
  int heard = 0;
  for (auto& r : runs) {
    EXPECT_EQ(r.first, 900);
    heard += r.second;
  }
  EXPECT_NEAR(heard, 1.5 * 44100, 2 * 441) << "heard only while playing";
}

TEST_F(StreamTest, WithMusicOffNothingLoadsAndNoThreadStarts) {
  g_zkSound.EnableMusic(0);
  EXPECT_EQ(g_zkSound.LoadStream(Wav("off.wav", 1, 8, 11025, Pattern8(5000)).c_str(), 4), 0);
  EXPECT_EQ(ZKSound::g_FillThread, nullptr);
  EXPECT_EQ(AllocatedSlots(), 0);
  EXPECT_EQ(g_zkSound.PlayStream(0), 1);
  EXPECT_EQ(g_zkSound.StopStream(), 1);
  g_zkSound.EnableMusic(1);
  ASSERT_EQ(g_zkSound.LoadStream(Wav("on.wav", 1, 8, 11025, Pattern8(5000)).c_str(), 4), 1);
  EXPECT_NE(ZKSound::g_FillThread, nullptr);
  EXPECT_EQ(platform::GetThreadPriority(ZKSound::g_FillThread), platform::THREAD_PRIORITY_LOWEST);
  g_zkSound.EnableMusic(0);  // stops the loaded stream first
  EXPECT_EQ(ZKSound::g_FillThread, nullptr);
  EXPECT_EQ(StreamSample(), nullptr);
  g_zkSound.EnableMusic(1);
  EXPECT_EQ(g_zkSound.LoadStream((TempDir() + "/none.wav").c_str(), 4), 0);
  EXPECT_EQ(AllocatedSlots(), 0) << "a missing file gives the slot back";
}

TEST_F(StreamTest, FadeRunsForItsTimeAndEndsAtTheTarget) {
  ASSERT_EQ(g_zkSound.LoadStream(Wav("fade.wav", 1, 8, 11025, Pattern8(50000)).c_str(), 8), 1);
  const uint32_t t0 = platform::GetTickCount();
  g_zkSound.FadeMusicOut(1000);
  EXPECT_GE(platform::GetTickCount() - t0, 1000u);
  EXPECT_EQ(ZKSound::GetStreamVolume(), 0);
  g_zkSound.FadeMusic(0, 0x4000, 0);
  EXPECT_EQ(ZKSound::GetStreamVolume(), 0x4000);
  g_zkSound.StopStream();
}

}  // namespace
