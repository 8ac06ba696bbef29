// Mixing cost: what the audio callback spends per second of output with eight sound effects playing at once
// (the game's formats: 22050 Hz 16-bit stereo, one 8-bit, one mono) and the MP3 music. The music is decoded
// ahead on its own thread, so the time reported is the whole process's CPU time (the callback's and the
// decoder's); the callback's own share is given apart. The callback's wait for the decoder is not counted.
#include <benchmark/benchmark.h>
#include <time.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/audio/audio_device.h"
#include "platform/music/audio_music.h"
#include "platform/timer/event.h"

using namespace platform;

namespace {

double ProcessCpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec / 1e9;
}

SoundBuffer* MakeTone(DirectSound* device, uint16_t channels, uint16_t bits, uint32_t rate, double hz) {
  WaveFormat f = PcmFormat(channels, bits, rate);
  SoundBufferDesc d;
  d.dwSize = kSoundBufferDescSize;
  d.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLPOSITIONNOTIFY;
  d.dwBufferBytes = rate * f.nBlockAlign;  // one second
  d.lpwfxFormat = &f;
  SoundBuffer* b = nullptr;
  device->CreateSoundBuffer(&d, &b);
  void* p;
  uint32_t n;
  b->Lock(0, d.dwBufferBytes, &p, &n, nullptr, nullptr, 0);
  for (uint32_t i = 0; i < rate; ++i) {
    const double v = std::sin(i * 2 * M_PI * hz / rate) * 0.2;
    for (uint16_t c = 0; c < channels; ++c) {
      if (bits == 8) {
        static_cast<uint8_t*>(p)[i * channels + c] = static_cast<uint8_t>(128 + v * 127);
      } else {
        const int16_t s = static_cast<int16_t>(v * 32767);
        std::memcpy(static_cast<uint8_t*>(p) + (i * channels + c) * 2, &s, 2);
      }
    }
  }
  b->Unlock(p, n, nullptr, 0);
  return b;
}

void BM_MixOneSecondEightVoicesAndMusic(benchmark::State& state) {
  AudioMixer mixer(AudioMixer::kOutputRate);
  DirectSound* device = CreateDirectSoundOnMixer(mixer);
  device->SetCooperativeLevel(reinterpret_cast<Window*>(&mixer), DSSCL_EXCLUSIVE);
  std::vector<SoundBuffer*> voices;
  for (int i = 0; i < 6; ++i) voices.push_back(MakeTone(device, 2, 16, 22050, 220.0 + 50 * i));
  voices.push_back(MakeTone(device, 1, 8, 22050, 300));
  voices.push_back(MakeTone(device, 1, 16, 22050, 500));
  for (SoundBuffer* v : voices) v->Play(0, 0, DSBPLAY_LOOPING);
  const bool withMusic = state.range(0) != 0;
  std::unique_ptr<MusicPlayer> music;
  if (withMusic) {
    music = MusicPlayer::Open(std::string(ZORVEL_GAME_DIR) + "/sounds/music.mp3", mixer, false);
    if (!music) {
      state.SkipWithError("no music.mp3 in the game folder (build the suite first)");
      return;
    }
    music->Play(nullptr);
  }
  std::vector<int16_t> block(AudioMixer::kOutputBufferFrames * 2);
  const uint32_t blocks = AudioMixer::kOutputRate / AudioMixer::kOutputBufferFrames;
  double callbackSeconds = 0, cpuSeconds = 0;
  for (auto _ : state) {
    const double cpu0 = ProcessCpuSeconds();
    double inCallback = 0;
    for (uint32_t b = 0; b < blocks; ++b) {
      const auto t0 = std::chrono::steady_clock::now();
      mixer.Mix(block.data(), AudioMixer::kOutputBufferFrames);
      inCallback += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      benchmark::DoNotOptimize(block.data());
      if (withMusic) {
        if (music->HasEnded()) music->Play(nullptr);
        WaitUntilMixerSignalsHandled(1000);  // the decoder keeps up, as it does in real time
      }
    }
    const double cpu = ProcessCpuSeconds() - cpu0;
    cpuSeconds += cpu;
    callbackSeconds += inCallback;
    // CPU time, not the callback's wall time: the decoder's work happens while the callback waits for it.
    state.SetIterationTime(cpu);
  }
  const double seconds = static_cast<double>(state.iterations()) * blocks * AudioMixer::kOutputBufferFrames /
                         AudioMixer::kOutputRate;
  state.counters["callback_ms_per_audio_s"] = 1000 * callbackSeconds / seconds;
  state.counters["callback_share_of_1_core_pct"] = 100 * callbackSeconds / seconds;
  state.counters["cpu_ms_per_audio_s"] = 1000 * cpuSeconds / seconds;
  state.counters["cpu_share_of_1_core_pct"] = 100 * cpuSeconds / seconds;
  music.reset();
  for (SoundBuffer* v : voices) v->Release();
  device->Release();
}
BENCHMARK(BM_MixOneSecondEightVoicesAndMusic)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
