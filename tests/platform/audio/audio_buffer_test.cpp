// The sound device on a mixer of the test's own, pulled by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "platform/audio/audio_device.h"
#include "platform/timer/event.h"

using namespace platform;

namespace {

class AudioBufferTest : public ::testing::Test {
 protected:
  AudioMixer mixer{44100};
  DirectSound* device = nullptr;
  std::vector<int16_t> out;

  void SetUp() override {
    device = CreateDirectSoundOnMixer(mixer);
    // Any non-null window will do for the level; the device never looks at it.
    ASSERT_EQ(device->SetCooperativeLevel(reinterpret_cast<Window*>(this), DSSCL_EXCLUSIVE), DS_OK);
  }
  void TearDown() override { device->Release(); }

  SoundBuffer* Make(uint16_t channels, uint16_t bits, uint32_t rate, const std::vector<uint8_t>& data,
                    uint32_t flags = DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY) {
    WaveFormat f = PcmFormat(channels, bits, rate);
    SoundBufferDesc d;
    d.dwSize = kSoundBufferDescSize;
    d.dwFlags = flags;
    d.dwBufferBytes = static_cast<uint32_t>(data.size());
    d.lpwfxFormat = &f;
    SoundBuffer* b = nullptr;
    EXPECT_EQ(device->CreateSoundBuffer(&d, &b), DS_OK);
    if (!b) return nullptr;
    void* p1;
    uint32_t n1;
    EXPECT_EQ(b->Lock(0, d.dwBufferBytes, &p1, &n1, nullptr, nullptr, 0), DS_OK);
    std::memcpy(p1, data.data(), n1);
    b->Unlock(p1, n1, nullptr, 0);
    return b;
  }
  const std::vector<int16_t>& Mix(uint32_t frames) {
    out.assign(frames * 2, 0);
    mixer.Mix(out.data(), frames);
    return out;
  }
  static std::vector<uint8_t> Frames16(std::initializer_list<int16_t> values) {
    std::vector<uint8_t> v(values.size() * 2);
    std::memcpy(v.data(), values.begin(), v.size());
    return v;
  }
};

TEST_F(AudioBufferTest, FormatsAreConvertedAndResampledToTheOutput) {
  // 16-bit stereo at the output rate passes unchanged, channels in place.
  SoundBuffer* stereo = Make(2, 16, 44100, Frames16({100, -200, 300, -400}));
  ASSERT_EQ(stereo->Play(0, 0, 0), DS_OK);
  EXPECT_EQ(Mix(3), (std::vector<int16_t>{100, -200, 300, -400, 0, 0}));
  stereo->Release();

  // 8-bit unsigned mono at half the rate: a 500 Hz wave comes out at 44100 Hz on both sides, twice as many
  // frames, following the wave between the source's frames.
  std::vector<uint8_t> wave(2205);
  for (size_t i = 0; i < wave.size(); ++i)
    wave[i] = static_cast<uint8_t>(std::lround(128 + 64 * std::sin(2 * M_PI * 500 * static_cast<double>(i) / 22050)));
  SoundBuffer* eight = Make(1, 8, 22050, wave);
  ASSERT_EQ(eight->Play(0, 0, 0), DS_OK);
  const std::vector<int16_t> converted = Mix(4500);
  size_t heard = 0;
  for (size_t k = 0; k < 4500; ++k) {
    ASSERT_EQ(converted[2 * k], converted[2 * k + 1]) << k;
    heard += converted[2 * k] != 0;
    if (k < 100 || k > 4310) continue;  // the edges, where the wave starts and stops
    const double ideal = 16384 * std::sin(2 * M_PI * 500 * static_cast<double>(k) / 44100);
    ASSERT_NEAR(converted[2 * k], ideal, 300) << k;
  }
  EXPECT_NEAR(static_cast<double>(heard), 4410, 60);
  eight->Release();

  // Voices add up, and a sum past full scale is limited instead of wrapping.
  SoundBuffer* a = Make(1, 16, 44100, Frames16({30000, 1000}));
  SoundBuffer* b = Make(1, 16, 44100, Frames16({30000, 1000}));
  a->Play(0, 0, 0);
  b->Play(0, 0, 0);
  const std::vector<int16_t> summed = Mix(2);
  ASSERT_EQ(summed.size(), 4u);
  EXPECT_GT(summed[0], 32000);
  EXPECT_EQ(summed[0], summed[1]);
  EXPECT_EQ(summed[2], 2000);
  EXPECT_EQ(summed[3], 2000);
  a->Release();
  b->Release();
}

TEST_F(AudioBufferTest, PlayStopStatusPositionAndLooping) {
  SoundBuffer* b = Make(1, 16, 44100, Frames16({1, 2, 3, 4}));
  uint32_t status = 99, play = 99;
  b->GetStatus(&status);
  EXPECT_EQ(status, 0u);
  ASSERT_EQ(b->Play(0, 0, 0), DS_OK);
  b->GetStatus(&status);
  EXPECT_EQ(status, DSBSTATUS_PLAYING);
  Mix(2);
  b->GetCurrentPosition(&play, nullptr);
  EXPECT_EQ(play, 4u);
  b->Stop();
  Mix(2);
  b->GetCurrentPosition(&play, nullptr);
  EXPECT_EQ(play, 4u) << "stop keeps the place";
  b->Play(0, 0, 0);
  EXPECT_EQ(Mix(3)[0], 3);
  b->GetStatus(&status);
  EXPECT_EQ(status, 0u) << "played to its end";
  b->GetCurrentPosition(&play, nullptr);
  EXPECT_EQ(play, 0u) << "and starts from the beginning next time";
  EXPECT_EQ(b->SetCurrentPosition(8), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->SetCurrentPosition(5), DS_OK);  // aligned down to the block
  b->GetCurrentPosition(&play, nullptr);
  EXPECT_EQ(play, 4u);
  b->Play(0, 0, DSBPLAY_LOOPING);
  b->GetStatus(&status);
  EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
  std::vector<int16_t> looped = Mix(6);
  EXPECT_EQ(looped, (std::vector<int16_t>{3, 3, 4, 4, 1, 1, 2, 2, 3, 3, 4, 4}));
  b->Release();
}

TEST_F(AudioBufferTest, NotificationsAtOffsetsAndAtTheStopComeOnceEach) {
  SoundBuffer* b = Make(1, 16, 44100, std::vector<uint8_t>(200, 0));  // 100 frames
  Event* atStart = CreateEvent(false, false);
  Event* atHalf = CreateEvent(false, false);
  Event* stopped = CreateEvent(false, false);
  SoundNotify* notify = nullptr;
  ASSERT_EQ(b->QueryNotify(&notify), DS_OK);
  PositionNotify positions[] = {{0, atStart}, {100, atHalf}, {DSBPN_OFFSETSTOP, stopped}};
  ASSERT_EQ(notify->SetNotificationPositions(3, positions), DS_OK);
  PositionNotify outside[] = {{200, atHalf}};
  EXPECT_EQ(notify->SetNotificationPositions(1, outside), DSERR_INVALIDPARAM);

  b->Play(0, 0, 0);
  EXPECT_EQ(notify->SetNotificationPositions(3, positions), DSERR_INVALIDCALL) << "not while playing";
  Mix(10);
  EXPECT_EQ(WaitForEvent(atStart, 0), WAIT_OBJECT_0) << "the cursor reached byte 0";
  EXPECT_EQ(WaitForEvent(atHalf, 0), WAIT_TIMEOUT);
  Mix(40);
  EXPECT_EQ(WaitForEvent(atHalf, 0), WAIT_TIMEOUT);
  Mix(1);
  EXPECT_EQ(WaitForEvent(atHalf, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForEvent(stopped, 0), WAIT_TIMEOUT);
  Mix(100);
  EXPECT_EQ(WaitForEvent(stopped, 0), WAIT_OBJECT_0) << "played to its end";
  EXPECT_EQ(WaitForEvent(atStart, 0), WAIT_TIMEOUT) << "the reset to the start is no pass over byte 0";

  b->Play(0, 0, DSBPLAY_LOOPING);
  Mix(250);  // two and a half times round: each offset once per pass, signals of one event merge
  EXPECT_EQ(WaitForEvent(atStart, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForEvent(atHalf, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForEvent(stopped, 0), WAIT_TIMEOUT);
  b->Stop();
  EXPECT_EQ(WaitForEvent(stopped, 0), WAIT_OBJECT_0) << "a stop signals too";
  b->Stop();
  EXPECT_EQ(WaitForEvent(stopped, 0), WAIT_TIMEOUT) << "stopping a stopped buffer does not";

  // The buffer keeps the events alive past their handles' closing; releasing the interface keeps the buffer.
  CloseEvent(stopped);
  EXPECT_EQ(notify->Release(), 0u);
  b->Play(0, 0, 0);
  Mix(200);
  CloseEvent(atStart);
  CloseEvent(atHalf);
  b->Release();
}

TEST_F(AudioBufferTest, LockWrapsAndDuplicatesShareTheData) {
  SoundBuffer* b = Make(1, 16, 44100, Frames16({1, 2, 3, 4}));
  void *p1, *p2;
  uint32_t n1, n2;
  ASSERT_EQ(b->Lock(6, 4, &p1, &n1, &p2, &n2, 0), DS_OK);
  EXPECT_EQ(n1, 2u);
  EXPECT_EQ(n2, 2u);
  int16_t four = 0, one = 0;
  std::memcpy(&four, p1, 2);
  std::memcpy(&one, p2, 2);
  EXPECT_EQ(four, 4);
  EXPECT_EQ(one, 1);
  const int16_t seven = 7;
  std::memcpy(p2, &seven, 2);
  b->Unlock(p1, n1, p2, n2);
  EXPECT_EQ(b->Lock(0, 10, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
  EXPECT_EQ(b->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
  EXPECT_EQ(n1, 8u);

  SoundBuffer* copy = nullptr;
  ASSERT_EQ(device->DuplicateSoundBuffer(b, &copy), DS_OK);
  const uint32_t live = SoundBuffer::LiveCount();
  b->Release();  // the data lives on in the duplicate
  EXPECT_EQ(SoundBuffer::LiveCount(), live - 1);
  copy->Play(0, 0, 0);
  EXPECT_EQ(Mix(4), (std::vector<int16_t>{7, 7, 2, 2, 3, 3, 4, 4}));
  copy->Release();
}

TEST_F(AudioBufferTest, ControlsAreRefusedAndNotificationsNeedTheirFlag) {
  SoundBuffer* plain = Make(1, 16, 44100, Frames16({1000, 1000}));
  EXPECT_EQ(plain->SetVolume(-600), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->SetPan(100), DSERR_CONTROLUNAVAIL);
  EXPECT_EQ(plain->SetFrequency(11025), DSERR_CONTROLUNAVAIL);
  plain->Release();
  SoundBuffer* noNotify = Make(1, 16, 44100, Frames16({1, 2}), DSBCAPS_STATIC);
  SoundNotify* n = nullptr;
  EXPECT_EQ(noNotify->QueryNotify(&n), E_NOINTERFACE);
  noNotify->Release();
}

// Strength of one frequency in the left channel (Hann-windowed), relative to full scale.
double ToneLevel(const std::vector<int16_t>& stereo, size_t from, size_t frames, double hz, double rate) {
  double re = 0, im = 0, window = 0;
  for (size_t k = 0; k < frames; ++k) {
    const double w = 0.5 - 0.5 * std::cos(2 * M_PI * static_cast<double>(k) / static_cast<double>(frames));
    const double phase = 2 * M_PI * hz * static_cast<double>(k) / rate;
    re += w * stereo[2 * (from + k)] * std::cos(phase);
    im += w * stereo[2 * (from + k)] * std::sin(phase);
    window += w;
  }
  return 2 * std::sqrt(re * re + im * im) / window / 32768;
}

TEST_F(AudioBufferTest, UpsamplingLeavesNoMirrorImages) {
  // A tone at 22050 Hz played at 44100 Hz must not bring its mirror image (22050 - f) with it; a straight line
  // drawn between the frames leaves one 20 to 30 dB down.
  for (double hz : {1000.0, 5000.0, 8000.0}) {
    SCOPED_TRACE(hz);
    std::vector<uint8_t> data;
    for (int i = 0; i < 22050; ++i) {
      const auto v = static_cast<int16_t>(std::lround(16000 * std::sin(2 * M_PI * hz * i / 22050)));
      data.push_back(static_cast<uint8_t>(v & 0xFF));
      data.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
    SoundBuffer* tone = Make(1, 16, 22050, data);
    ASSERT_EQ(tone->Play(0, 0, 0), DS_OK);
    const std::vector<int16_t> mixed = Mix(44100);
    const double wanted = ToneLevel(mixed, 4000, 32768, hz, 44100);
    const double image = ToneLevel(mixed, 4000, 32768, 22050 - hz, 44100);
    EXPECT_NEAR(wanted, 16000.0 / 32768, 0.01);
    EXPECT_LT(20 * std::log10(image / wanted), -60.0);
    tone->Release();
  }
}

TEST_F(AudioBufferTest, PrimaryBufferCarriesTheFormatOnly) {
  SoundBufferDesc d;
  d.dwSize = kSoundBufferDescSize;
  d.dwFlags = DSBCAPS_PRIMARYBUFFER;
  SoundBuffer* primary = nullptr;
  ASSERT_EQ(device->CreateSoundBuffer(&d, &primary), DS_OK);
  WaveFormat f;
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = 2;
  f.nSamplesPerSec = 22050;
  f.wBitsPerSample = 16;
  f.nBlockAlign = 4;
  EXPECT_EQ(primary->SetFormat(&f), DS_OK);
  WaveFormat back;
  uint32_t written = 0;
  EXPECT_EQ(primary->GetFormat(&back, kWaveFormatBytes, &written), DS_OK);
  EXPECT_EQ(written, 18u);
  EXPECT_EQ(back.nAvgBytesPerSec, 88200u);
  EXPECT_EQ(primary->Play(0, 0, 0), DSERR_INVALIDPARAM) << "a primary buffer plays looping";
  EXPECT_EQ(primary->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  void *p1, *p2;
  uint32_t n1, n2;
  EXPECT_EQ(primary->Lock(0, 4, &p1, &n1, &p2, &n2, 0), DSERR_PRIOLEVELNEEDED);
  DeviceCaps caps;
  caps.dwSize = kDeviceCapsSize;
  ASSERT_EQ(device->GetCaps(&caps), DS_OK);
  EXPECT_TRUE(caps.dwFlags & DSCAPS_PRIMARYSTEREO);
  EXPECT_TRUE(caps.dwFlags & DSCAPS_PRIMARY16BIT);
  caps.dwSize = 20;
  EXPECT_EQ(device->GetCaps(&caps), DSERR_INVALIDPARAM);
  primary->Stop();
  primary->Release();
}

}  // namespace
