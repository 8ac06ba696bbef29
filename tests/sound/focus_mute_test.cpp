// Effects follow the window's focus: unheard while another window is active, still playing on, and heard again
// from where they have got to once the game's window is active again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/window/messages.h"
#include "platform/window/window.h"
#include "sound/zk_sound.h"
#include "sound_test_support.h"

using namespace sound_test;

namespace {

class FocusMuteTest : public EngineTest {
 protected:
  void TearDown() override {
    platform::PostDeviceMessage(platform::WM_ACTIVATE, platform::WA_ACTIVE, 0);
    EngineTest::TearDown();
  }
};

// Peak of the left channel over a stretch of the dump.
int Peak(const std::vector<int16_t>& stereo) {
  int peak = 0;
  for (size_t i = 0; i < stereo.size(); i += 2) peak = std::max(peak, std::abs(static_cast<int>(stereo[i])));
  return peak;
}

TEST_F(FocusMuteTest, EffectsAreSilentWhileInactiveAndPlayOn) {
  // Two seconds of a steady level, then a second of a different one, so the dump shows where playback got to.
  std::vector<uint8_t> data = Level16(3000, 44100);
  const std::vector<uint8_t> tail = Level16(6000, 22050);
  data.insert(data.end(), tail.begin(), tail.end());
  WavSpec spec;
  spec.rate = 22050;
  spec.data = data;
  ASSERT_EQ(g_zkSound.LoadSample(WriteFile("long.wav", BuildWav(spec)).c_str(), 10), 1);
  SNDSample* sample = ZKSound::FindSample(10);
  ASSERT_NE(sample, nullptr);

  const uint64_t start = DumpFrames();
  ASSERT_EQ(sample->PlaySample(0xFFFF, 0), 1);
  Advance(500);
  const uint64_t deactivated = DumpFrames();
  platform::PostDeviceMessage(platform::WM_ACTIVATE, platform::WA_INACTIVE, 0);
  Advance(1000);
  const uint64_t activated = DumpFrames();
  platform::PostDeviceMessage(platform::WM_ACTIVATE, platform::WA_ACTIVE, 0);
  Advance(1000);
  const uint64_t end = DumpFrames();

  auto slice = [](uint64_t from, uint64_t to) {
    std::vector<int16_t> all = ReadDump(from);
    all.resize(std::min<size_t>(all.size(), static_cast<size_t>((to - from) * 2)));
    return all;
  };
  EXPECT_EQ(Peak(slice(start + 2205, deactivated)), 3000) << "heard while active";
  EXPECT_EQ(Peak(slice(deactivated + 1024, activated)), 0) << "nothing heard while inactive";
  // Playback went on meanwhile: a second and a half in, the louder part is heard within the next half second.
  const std::vector<int16_t> after = slice(activated + 1024, end);
  // The band-limited resampler rings a little at the step between the two levels.
  EXPECT_NEAR(Peak(after), 6000, 900) << "heard again after activation, at the point playback had reached";
  auto runs = LevelRuns(after);
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs.front().first, 3000);
  EXPECT_EQ(runs.back().first, 6000);
  EXPECT_LT(runs.front().second, 44100 * 6 / 10) << "the quiet part had mostly played while unheard";
}

}  // namespace
