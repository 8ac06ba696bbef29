// The generated sounds and music: formats the game's reader accepts, levels with headroom, no clicks.
#include <gtest/gtest.h>
#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "assets/asset_files.h"
#include "common/asset_manifest.h"
#include "platform/host/file_io.h"
#include "sound/snd_sample.h"
#include "sound_generator.h"

using asset_files::ParseWav;
using asset_files::PeakDb;
using asset_files::ReadAll;

namespace {

const std::string kSounds = std::string(ZORVEL_GAME_DIR) + "/sounds/";

const std::vector<std::string> kWavs(std::begin(assets::kSoundFiles), std::end(assets::kSoundFiles));

// Largest absolute sample among the first or last `frames` frames.
double EdgePeak(const std::vector<double>& samples, int channels, size_t frames, bool atEnd) {
  const size_t n = std::min(samples.size(), frames * static_cast<size_t>(channels));
  double peak = 0;
  for (size_t i = 0; i < n; ++i) peak = std::max(peak, std::fabs(samples[atEnd ? samples.size() - 1 - i : i]));
  return peak;
}

// Largest change between neighbouring samples of one channel among the first or last `frames` frames.
double LargestStep(const std::vector<double>& samples, int channels, size_t frames, bool atEnd) {
  const size_t n = std::min(samples.size(), frames * static_cast<size_t>(channels));
  const size_t from = atEnd ? samples.size() - n : 0;
  double step = 0;
  for (size_t i = from + static_cast<size_t>(channels); i < from + n; ++i)
    step = std::max(step, std::fabs(samples[i] - samples[i - static_cast<size_t>(channels)]));
  return step;
}

}  // namespace

TEST(SoundAssets, EveryWavIsPlainPcmTheGameCanRead) {
  bool sawEightBit = false, sawMono = false;
  for (const auto& name : kWavs) {
    SCOPED_TRACE(name);
    const auto bytes = ReadAll(kSounds + name);
    ASSERT_FALSE(bytes.empty()) << "missing";
    const auto wav = ParseWav(bytes);
    ASSERT_TRUE(wav.riffWave);
    EXPECT_EQ(asset_files::Le32(bytes, 4) + 8, bytes.size()) << "RIFF size";
    size_t fmt = wav.chunks.size(), data = wav.chunks.size();
    for (size_t i = 0; i < wav.chunks.size(); ++i) {
      if (wav.chunks[i].id == "fmt ") fmt = i;
      if (wav.chunks[i].id == "data") data = i;
      // The reader skips bodies without pad bytes: an odd size would lose its way.
      EXPECT_EQ(0u, wav.chunks[i].size % 2) << wav.chunks[i].id;
    }
    ASSERT_LT(fmt, data) << "a format chunk before the data";
    ASSERT_LT(data, wav.chunks.size());
    // The game reads 20 bytes of the format body; they must all be in the file.
    EXPECT_LE(wav.chunks[fmt].body + 20, bytes.size());
    EXPECT_EQ(1, wav.formatTag);
    EXPECT_TRUE(wav.channels == 1 || wav.channels == 2);
    EXPECT_TRUE(wav.bits == 8 || wav.bits == 16);
    EXPECT_EQ(22050u, wav.rate);
    const size_t frames = wav.samples.size() / static_cast<size_t>(wav.channels);
    EXPECT_GE(frames, wav.rate / 20) << "shorter than 50 ms";
    EXPECT_LE(frames, wav.rate * 4) << "longer than 4 s";
    sawEightBit |= wav.bits == 8;
    sawMono |= wav.channels == 1;

    // The game's own reader agrees, and stops at the first sample.
    const platform::FileHandle file = platform::CreateFile(kSounds + name, platform::GENERIC_READ,
                                                           platform::FILE_SHARE_READ, platform::OPEN_EXISTING,
                                                           platform::FILE_ATTRIBUTE_NORMAL);
    ASSERT_NE(platform::INVALID_HANDLE_VALUE, file);
    SNDSample sample;
    EXPECT_EQ(1, sample.IsWavFile(file));
    EXPECT_EQ(static_cast<uint32_t>(wav.channels), sample.m_dwChannels);
    EXPECT_EQ(static_cast<uint32_t>(wav.bits), sample.m_dwBitsPerSample);
    EXPECT_EQ(wav.rate, sample.m_dwSamplesPerSec);
    EXPECT_EQ(wav.chunks[data].size, sample.m_dwDataSize);
    EXPECT_FALSE(sample.Has(SNDSAMPLE_LOOPING)) << "effects play once";
    EXPECT_EQ(wav.chunks[data].body, platform::SetFilePointer(file, 0, platform::FILE_CURRENT));
    platform::CloseFile(file);
  }
  EXPECT_TRUE(sawEightBit) << "no 8-bit file exercises that reading path";
  EXPECT_TRUE(sawMono) << "no mono file exercises that reading path";
}

TEST(SoundAssets, LevelsLeaveHeadroomAndEdgesAreSilent) {
  for (const auto& name : kWavs) {
    SCOPED_TRACE(name);
    const auto wav = ParseWav(ReadAll(kSounds + name));
    ASSERT_FALSE(wav.samples.empty());
    const double peak = PeakDb(wav.samples);
    EXPECT_LE(peak, -1.0) << "peak above -1 dBFS";
    // A sound that starts or stops mid-swing clicks; one 8-bit step of dither is allowed.
    const size_t edge = wav.rate / 1000;
    EXPECT_LE(EdgePeak(wav.samples, wav.channels, edge, false), 0.016) << "start";
    EXPECT_LE(EdgePeak(wav.samples, wav.channels, edge, true), 0.016) << "end";
  }
}

TEST(SoundAssets, MusicIsALongSeamlessLoop) {
  const std::string file = kSounds + "music.mp3";
  mpg123_init();
  int error = 0;
  mpg123_handle* mh = mpg123_new(nullptr, &error);
  ASSERT_NE(nullptr, mh);
  // Gapless decoding drops the encoder's delay and padding as recorded in the file's first frame.
  mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_GAPLESS, 0);
  mpg123_format_none(mh);
  mpg123_format(mh, 44100, MPG123_STEREO, MPG123_ENC_SIGNED_16);
  ASSERT_EQ(MPG123_OK, mpg123_open(mh, file.c_str()));
  std::vector<double> samples;
  std::vector<unsigned char> buffer(65536);
  size_t got = 0;
  int result;
  do {
    result = mpg123_read(mh, buffer.data(), buffer.size(), &got);
    for (size_t i = 0; i + 1 < got; i += 2)
      samples.push_back(static_cast<int16_t>(buffer[i] | (buffer[i + 1] << 8)) / 32768.0);
  } while (result == MPG123_OK || result == MPG123_NEW_FORMAT);
  EXPECT_EQ(MPG123_DONE, result);
  long rate = 0;
  int channels = 0, encoding = 0;
  mpg123_getformat(mh, &rate, &channels, &encoding);
  mpg123_close(mh);
  mpg123_delete(mh);

  ASSERT_EQ(44100, rate);
  ASSERT_EQ(2, channels);
  const size_t frames = samples.size() / 2;
  EXPECT_GE(frames, 60u * 44100) << "the loop is at least a minute long";
  // The 64-second loop less the moment the game takes to restart it; no padding was left at either end.
  EXPECT_EQ(64u * 44100 - static_cast<size_t>(std::lround(mkassets::kMusicRestartSeconds * 44100)), frames);
  EXPECT_GT(mkassets::kMusicRestartSeconds, 0.0);
  EXPECT_LT(mkassets::kMusicRestartSeconds, 0.03);
  EXPECT_LE(PeakDb(samples), -1.0);
  // Start and end at rest and without sudden jumps, so the restart joins without a click. (The first beat is a
  // drum hit, so the start only has to rise smoothly.)
  EXPECT_LE(EdgePeak(samples, 2, 4, false), 0.02);
  EXPECT_LE(EdgePeak(samples, 2, 44, true), 0.01);
  EXPECT_LE(LargestStep(samples, 2, 220, false), 0.1);
  EXPECT_LE(LargestStep(samples, 2, 220, true), 0.1);
  // And it is music, not silence: the middle of the loop is busy.
  double energy = 0;
  for (size_t i = samples.size() / 4; i < samples.size() * 3 / 4; ++i) energy += samples[i] * samples[i];
  EXPECT_GT(std::sqrt(energy / (samples.size() / 2)), 0.05);
}
