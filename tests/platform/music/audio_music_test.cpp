// The MP3 music player on a mixer of the test's own.
#include "audio_music_test.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/music/audio_music.h"
#include "platform/timer/event.h"
#include "platform/timer/timer.h"

using namespace platform;

namespace {

std::string Dir() {
  static std::string dir = [] {
    std::string p = ::testing::TempDir() + "zorvel_music_XXXXXX";
    std::vector<char> b(p.begin(), p.end());
    b.push_back('\0');
    return std::string(mkdtemp(b.data()));
  }();
  return dir;
}

// Pulls `frames` in device-sized steps, letting the decoder catch up after each, and counts loud frames.
uint64_t Pull(AudioMixer& mixer, uint32_t frames, uint64_t* loud = nullptr) {
  std::vector<int16_t> block(512 * 2);
  uint64_t pulled = 0;
  while (pulled < frames) {
    const uint32_t n = std::min<uint32_t>(512, frames - static_cast<uint32_t>(pulled));
    mixer.Mix(block.data(), n);
    if (loud) {
      for (uint32_t i = 0; i < n; ++i) *loud += std::abs(block[2 * i]) > 1000;
    }
    WaitUntilMixerSignalsHandled(2000);
    pulled += n;
  }
  return pulled;
}

TEST(AudioMusic, MissingAndBrokenFilesGiveNoPlayer) {
  AudioMixer mixer(44100);
  EXPECT_EQ(MusicPlayer::Open(Dir() + "/none.mp3", mixer, false), nullptr);
  EXPECT_EQ(MusicPlayer::Open(music_test::WriteBrokenMp3(Dir() + "/broken.mp3"), mixer, false), nullptr);
}

TEST(AudioMusic, EndIsReportedOnceAfterTheLastFrameAndPlayStartsAgain) {
  AudioMixer mixer(44100);
  const int mp3Frames = 40;  // 46080 samples, a little over a second
  auto player = MusicPlayer::Open(music_test::WriteSilentMp3(Dir() + "/silent.mp3", mp3Frames), mixer, false);
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(player->sampleRate(), 44100u);
  std::atomic<int> ends{0};
  ASSERT_TRUE(player->Play([&] { ends.fetch_add(1); }));
  EXPECT_TRUE(player->IsPlaying());
  Pull(mixer, 40000);
  EXPECT_EQ(ends.load(), 0);
  player->Pause();
  Pull(mixer, 44100 * 3);
  EXPECT_EQ(ends.load(), 0) << "a paused player does not move";
  EXPECT_TRUE(player->IsPaused());
  player->Resume();
  Pull(mixer, 44100);
  EXPECT_TRUE(player->HasEnded());
  for (int i = 0; i < 2000 && ends.load() == 0; ++i) WaitUntilMixerSignalsHandled(10);
  EXPECT_EQ(ends.load(), 1);
  // Play after the end starts from the beginning: the same length again.
  ASSERT_TRUE(player->Play([&] { ends.fetch_add(1); }));
  Pull(mixer, 40000);
  EXPECT_FALSE(player->HasEnded());
  Pull(mixer, 8000);
  EXPECT_TRUE(player->HasEnded());
  player.reset();
  EXPECT_EQ(ends.load(), 2);
}

TEST(AudioMusic, PlaysAtTheFilesOwnLevelFromItsFirstFrame) {
  const std::string tone = music_test::WriteToneMp3(Dir(), 1.0);
  if (tone.empty()) GTEST_SKIP() << "no MP3 encoder on this machine";
  AudioMixer mixer(44100);
  auto player = MusicPlayer::Open(tone, mixer, false);
  ASSERT_NE(player, nullptr);
  ASSERT_TRUE(player->Play(nullptr));
  std::vector<int16_t> heard(4410 * 2);
  mixer.Mix(heard.data(), 4410);
  size_t first = heard.size();
  int peak = 0;
  for (size_t i = 0; i < heard.size(); i += 2) {
    if (std::abs(heard[i]) > 1000 && first == heard.size()) first = i / 2;
    peak = std::max(peak, std::abs(static_cast<int>(heard[i])));
  }
  // The file's tone peaks at 12000: no attenuation on the way. Its first cycle is heard at once: the encoder's
  // delay (over a thousand frames of silence) is not played.
  EXPECT_NEAR(peak, 12000, 600);
  EXPECT_LT(first, 40u);
}

TEST(AudioMusic, ToneIsHeardWhilePlayingOnly) {
  const std::string tone = music_test::WriteToneMp3(Dir(), 1.0);
  if (tone.empty()) GTEST_SKIP() << "no MP3 encoder on this machine";
  AudioMixer mixer(22050);  // resampled on the way
  auto player = MusicPlayer::Open(tone, mixer, false);
  ASSERT_NE(player, nullptr);
  ASSERT_TRUE(player->Play(nullptr));
  uint64_t loud = 0;
  Pull(mixer, 11025, &loud);
  EXPECT_GT(loud, 11025u / 3) << "a sine is loud a good part of the time";
  player->Pause();
  loud = 0;
  Pull(mixer, 11025, &loud);
  EXPECT_EQ(loud, 0u);
}

}  // namespace

namespace {
// Everything the player gives from Play to its end, in device-sized steps; `pace` gives a streaming decoder time.
std::vector<int16_t> PlayThrough(AudioMixer& mixer, MusicPlayer& player, bool pace) {
  std::vector<int16_t> heard, block(512 * 2);
  EXPECT_TRUE(player.Play(nullptr));
  for (int i = 0; i < 2000 && !player.HasEnded(); ++i) {
    mixer.Mix(block.data(), 512);
    heard.insert(heard.end(), block.begin(), block.end());
    EXPECT_TRUE(WaitUntilMixerSignalsHandled(2000)) << "the end's signal is handled";
    if (pace) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  EXPECT_TRUE(player.HasEnded());
  return heard;
}
}  // namespace

TEST(AudioMusic, VirtualTimeDecodesOnceAndEveryOpeningPlaysTheSamplesStreamingGives) {
  const std::string tone = music_test::WriteToneMp3(Dir(), 1.5);
  if (tone.empty()) GTEST_SKIP() << "no MP3 encoder on this machine";
  AudioMixer mixer(44100);
  UseVirtualTime(false);
  auto streamed = MusicPlayer::Open(tone, mixer, false);
  ASSERT_NE(streamed, nullptr);
  const std::vector<int16_t> want = PlayThrough(mixer, *streamed, true);
  streamed.reset();

  UseVirtualTime(true);
  for (int opening = 0; opening < 2; ++opening) {  // decoded, then kept
    auto player = MusicPlayer::Open(tone, mixer, false);
    ASSERT_NE(player, nullptr);
    for (int pass = 0; pass < 2; ++pass) {  // and a play after the end starts it over
      const std::vector<int16_t> heard = PlayThrough(mixer, *player, false);
      ASSERT_EQ(want.size(), heard.size()) << "opening " << opening << " pass " << pass;
      EXPECT_TRUE(want == heard) << "opening " << opening << " pass " << pass;
    }
  }
  UseVirtualTime(false);
}
