#include "platform/audio/audio_mixer.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include "platform/audio/audio_output.h"

namespace platform {

namespace {
thread_local bool t_mixing = false;
}

AudioMixer::AudioMixer(uint32_t rate) : rate_(rate) {}

AudioMixer& AudioMixer::Process() {
  static AudioMixer mixer(kOutputRate);
  return mixer;
}

bool AudioMixer::AddSource(AudioSource* source) {
  std::lock_guard<std::mutex> lock(controlMutex_);
  if (source->mixerSlot_ >= 0) return true;
  for (uint32_t i = 0; i < kMaxSources; ++i) {
    if (sources_[i].load(std::memory_order_relaxed) == nullptr) {
      source->mixerSlot_ = static_cast<int>(i);
      sources_[i].store(source, std::memory_order_release);
      if (i + 1 > sourceEnd_.load(std::memory_order_relaxed)) sourceEnd_.store(i + 1, std::memory_order_release);
      return true;
    }
  }
  return false;
}

void AudioMixer::RemoveSource(AudioSource* source) {
  {
    std::lock_guard<std::mutex> lock(controlMutex_);
    if (source->mixerSlot_ < 0) return;
    sources_[static_cast<size_t>(source->mixerSlot_)].store(nullptr, std::memory_order_release);
    source->mixerSlot_ = -1;
  }
  WaitForPassEnd();
}

void AudioMixer::WaitForPassEnd() const {
  if (t_mixing) return;
  uint64_t pass = passCounter_.load(std::memory_order_acquire);
  if ((pass & 1) == 0) return;
  // A pass lasts well under a millisecond; yielding is enough.
  while (passCounter_.load(std::memory_order_acquire) == pass) std::this_thread::yield();
}

// Several effects starting together can sum past full scale. Below the knee the mix passes untouched; above it
// peaks bend smoothly towards full scale instead of being cut flat, which is what makes clipping audible.
int16_t AudioMixer::SoftLimit(int32_t sample) {
  constexpr int32_t kKnee = kSoftLimitKnee;
  constexpr double kRoom = 32767.0 - kKnee;
  const int32_t magnitude = sample < 0 ? -sample : sample;
  if (magnitude <= kKnee) return static_cast<int16_t>(sample);
  const double bent = kKnee + kRoom * std::tanh((magnitude - kKnee) / kRoom);
  const int32_t limited = static_cast<int32_t>(bent);
  return static_cast<int16_t>(sample < 0 ? -limited : limited);
}

void AudioMixer::Mix(int16_t* out, uint32_t frames) {
  passCounter_.fetch_add(1, std::memory_order_acq_rel);
  t_mixing = true;
  while (frames > 0) {
    const uint32_t n = std::min(frames, kChunkFrames);
    std::fill_n(accumulator_.begin(), n * kChannels, 0);
    const uint32_t end = sourceEnd_.load(std::memory_order_acquire);
    for (uint32_t i = 0; i < end; ++i) {
      if (AudioSource* source = sources_[i].load(std::memory_order_acquire)) {
        source->MixInto(accumulator_.data(), n, rate_);
      }
    }
    for (uint32_t i = 0; i < n * kChannels; ++i) out[i] = SoftLimit(accumulator_[i]);
    out += n * kChannels;
    frames -= n;
  }
  t_mixing = false;
  passCounter_.fetch_add(1, std::memory_order_release);
}

void AudioMixer::Pull(void* user, int16_t* samples, uint32_t frames) {
  static_cast<AudioMixer*>(user)->Mix(samples, frames);
}

bool AudioMixer::AcquireOutput() {
  std::lock_guard<std::mutex> lock(controlMutex_);
  if (outputUsers_ == 0) {
    if (!audio_output::Open(rate_, kChannels, kOutputBufferFrames, &AudioMixer::Pull, this)) return false;
  }
  ++outputUsers_;
  return true;
}

void AudioMixer::ReleaseOutput() {
  // Closing waits for the device thread, which may be inside a pass; passes never take this lock.
  std::lock_guard<std::mutex> lock(controlMutex_);
  if (outputUsers_ == 0 || --outputUsers_ > 0) return;
  audio_output::Close();
}

}  // namespace platform
