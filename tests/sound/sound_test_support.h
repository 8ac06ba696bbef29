#pragma once
// Shared by the sound tests: WAV files made on the spot, an engine brought up in virtual time on a test
// window, and the mixed output read back from the null sink's dump file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/timer/event.h"
#include "platform/timer/timer.h"
#include "platform/window/window.h"
#include "sound/zk_sound.h"

namespace sound_test {

struct WavSpec {
  uint16_t tag = 1;
  uint16_t channels = 1;
  uint16_t bits = 16;
  uint32_t rate = 22050;
  std::vector<uint8_t> data;
  bool dataBeforeFmt = false;
  bool fmtLastAndShort = false;  // a 16-byte fmt chunk that ends the file
  bool withSampler = false;
  uint32_t loops = 1;
  uint32_t loopStart = 0, loopEnd = 0, playCount = 0;
  uint32_t claimedDataSize = 0;  // 0: the real size
};

inline void Put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
inline void PutId(std::vector<uint8_t>& v, const char* id) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(id[i]));
}

inline std::vector<uint8_t> BuildWav(const WavSpec& s) {
  std::vector<uint8_t> fmt, smpl, data;
  PutId(fmt, "fmt ");
  Put32(fmt, 16);
  Put16(fmt, s.tag);
  Put16(fmt, s.channels);
  Put32(fmt, s.rate);
  const uint32_t block = uint32_t{s.channels} * s.bits / 8u;
  Put32(fmt, s.rate * block);
  Put16(fmt, block);
  Put16(fmt, s.bits);
  if (s.withSampler) {
    PutId(smpl, "smpl");
    Put32(smpl, 36 + 24 * s.loops);
    for (int i = 0; i < 7; ++i) Put32(smpl, 0);
    Put32(smpl, s.loops);
    Put32(smpl, 0);
    for (uint32_t i = 0; i < s.loops; ++i) {
      Put32(smpl, i);
      Put32(smpl, 0);
      Put32(smpl, s.loopStart);
      Put32(smpl, s.loopEnd);
      Put32(smpl, 0);
      Put32(smpl, s.playCount);
    }
  }
  PutId(data, "data");
  Put32(data, s.claimedDataSize ? s.claimedDataSize : static_cast<uint32_t>(s.data.size()));
  data.insert(data.end(), s.data.begin(), s.data.end());
  std::vector<uint8_t> body;
  PutId(body, "WAVE");
  if (s.fmtLastAndShort) {
    body.insert(body.end(), smpl.begin(), smpl.end());
    body.insert(body.end(), data.begin(), data.end());
    body.insert(body.end(), fmt.begin(), fmt.end());
  } else if (s.dataBeforeFmt) {
    body.insert(body.end(), data.begin(), data.end());
    body.insert(body.end(), smpl.begin(), smpl.end());
    body.insert(body.end(), fmt.begin(), fmt.end());
    // Something after fmt, as in any real file, so its 20-byte read is whole.
    PutId(body, "LIST");
    Put32(body, 4);
    PutId(body, "INFO");
  } else {
    body.insert(body.end(), fmt.begin(), fmt.end());
    body.insert(body.end(), smpl.begin(), smpl.end());
    body.insert(body.end(), data.begin(), data.end());
  }
  std::vector<uint8_t> file;
  PutId(file, "RIFF");
  Put32(file, static_cast<uint32_t>(body.size()));
  file.insert(file.end(), body.begin(), body.end());
  return file;
}

inline std::string TempDir() {
  static std::string dir = [] {
    std::string pattern = ::testing::TempDir() + "zorvel_sound_XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    const char* made = mkdtemp(buf.data());
    return std::string(made ? made : "/tmp");
  }();
  return dir;
}

inline std::string WriteFile(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::string path = TempDir() + "/" + name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return path;
}

// 16-bit mono samples all at one level.
inline std::vector<uint8_t> Level16(int16_t level, uint32_t frames) {
  std::vector<uint8_t> v;
  for (uint32_t i = 0; i < frames; ++i) Put16(v, static_cast<uint16_t>(level));
  return v;
}

inline std::string WriteLevelWav(const std::string& name, int16_t level, uint32_t frames, uint32_t rate = 22050) {
  WavSpec spec;
  spec.rate = rate;
  spec.data = Level16(level, frames);
  return WriteFile(name, BuildWav(spec));
}

// Everything the null sink mixes goes to this file, for the whole test process.
inline std::string DumpPath() {
  static std::string path = [] {
    std::string p = TempDir() + "/mixed.wav";
    setenv("ZORVEL_AUDIO_DUMP", p.c_str(), 1);
    return p;
  }();
  return path;
}

// Interleaved stereo samples of the dump from frame `fromFrame` on.
inline std::vector<int16_t> ReadDump(uint64_t fromFrame) {
  std::vector<int16_t> out;
  std::FILE* f = std::fopen(DumpPath().c_str(), "rb");
  if (!f) return out;
  std::fseek(f, 44 + static_cast<long>(fromFrame * 4), SEEK_SET);
  int16_t buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, sizeof(int16_t), 4096, f)) > 0) out.insert(out.end(), buffer, buffer + n);
  std::fclose(f);
  return out;
}

inline uint64_t DumpFrames() {
  std::FILE* f = std::fopen(DumpPath().c_str(), "rb");
  if (!f) return 0;
  std::fseek(f, 0, SEEK_END);
  long size = std::ftell(f);
  std::fclose(f);
  return size > 44 ? static_cast<uint64_t>(size - 44) / 4 : 0;
}

// Runs of one left-channel level, as (level, frames), skipping silence. The mixer's resampler rings for a few
// dozen frames around every step of a level; those frames count towards the level they settle to when they lie
// within 15 % of it, and are dropped otherwise (as is the ringing into silence).
inline std::vector<std::pair<int, int>> LevelRuns(const std::vector<int16_t>& stereo) {
  const size_t frames = stereo.size() / 2;
  auto at = [&](size_t i) { return static_cast<int>(stereo[2 * i]); };
  // Settled stretches: the same non-zero level for at least 8 frames.
  struct Run {
    size_t first, last;
    int level;
  };
  std::vector<Run> settled;
  for (size_t i = 0; i < frames;) {
    size_t j = i;
    while (j + 1 < frames && at(j + 1) == at(i)) ++j;
    if (at(i) != 0 && j - i + 1 >= 8) settled.push_back({i, j, at(i)});
    i = j + 1;
  }
  auto near = [](int v, int level) { return v != 0 && std::abs(v - level) <= std::abs(level) * 15 / 100; };
  for (size_t k = 0; k < settled.size(); ++k) {
    Run& r = settled[k];
    const size_t floor = k > 0 ? settled[k - 1].last + 1 : 0;
    while (r.first > floor && near(at(r.first - 1), r.level)) --r.first;
    const size_t ceiling = k + 1 < settled.size() ? settled[k + 1].first - 1 : frames - 1;
    while (r.last < ceiling && near(at(r.last + 1), r.level)) ++r.last;
  }
  std::vector<std::pair<int, int>> runs;
  for (size_t k = 0; k < settled.size(); ++k) {
    const Run& r = settled[k];
    const int length = static_cast<int>(r.last - r.first + 1);
    if (!runs.empty() && runs.back().first == r.level && settled[k - 1].last + 1 == r.first) {
      runs.back().second += length;
    } else {
      runs.push_back({r.level, length});
    }
  }
  return runs;
}

inline platform::Window* TestWindow() {
  static platform::Window* window = [] {
    platform::RegisterWindowClass("ZorvelSoundTest", [](platform::Window* w, uint32_t m, uintptr_t wp, intptr_t lp) {
      return platform::DefWindowProc(w, m, wp, lp);
    });
    return platform::CreateWindow("ZorvelSoundTest", "sound test", platform::WindowKind::Captioned, 0, 0, 800, 600);
  }();
  return window;
}

// Advances virtual time (and so the null sink and the sound threads) by `ms`, 10 ms at a time.
inline void Advance(uint32_t ms) {
  for (uint32_t t = 0; t < ms; t += 10) platform::SleepMs(10);
}

// Waits (real time) until `done` holds, for threads that react to the mixer.
template <typename F>
bool Eventually(F done, int ms = 3000) {
  for (int i = 0; i < ms * 10 && !done(); ++i) usleep(100);
  return done();
}

inline int AllocatedSlots() {
  int n = 0;
  if (!ZKSound::g_SampleList) return 0;
  for (SNDSample* s = ZKSound::g_SampleList; s < ZKSound::g_pEndSample; ++s) n += s->Has(SNDSAMPLE_ALLOCATED);
  return n;
}

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UseVirtualTime(true);
    DumpPath();
    ASSERT_NE(TestWindow(), nullptr);
    ASSERT_EQ(g_zkSound.Init(TestWindow(), sampleCount), 1);
  }
  void TearDown() override { g_zkSound.Exit(); }
  int32_t sampleCount = 200;
};

}  // namespace sound_test
