#include <gtest/gtest.h>

#include "platform/audio/audio_mixer.h"

using platform::AudioMixer;

TEST(AudioMixerLimit, QuietSamplesPassPeaksBendBelowFullScale) {
  for (int32_t s : {0, 1, -1, 1000, -20000, 29204, -29204}) EXPECT_EQ(s, AudioMixer::SoftLimit(s)) << s;
  int32_t previous = AudioMixer::SoftLimit(29204);
  for (int32_t s = 29205; s < 200000; s += 97) {
    const int32_t limited = AudioMixer::SoftLimit(s);
    EXPECT_GE(limited, previous) << "the curve never turns back down, at " << s;
    EXPECT_LE(limited, 32767);
    EXPECT_EQ(-limited, AudioMixer::SoftLimit(-s)) << "symmetric, at " << s;
    previous = limited;
  }
  EXPECT_GT(AudioMixer::SoftLimit(32767), 31000) << "a full-scale sample stays loud";
  EXPECT_LT(AudioMixer::SoftLimit(40000), 32767) << "a sum past full scale is not cut flat";
  EXPECT_EQ(32767, AudioMixer::SoftLimit(2000000000));
  EXPECT_EQ(-32767, AudioMixer::SoftLimit(-2000000000));
}
