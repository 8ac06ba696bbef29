#pragma once
// The software mixer behind the sound device: sound buffers and the music register as sources, and the output
// device pulls mixed frames. The pull path never allocates, never blocks and never touches a file; control
// threads that must know the mixer has let go of something wait for the end of the pass in progress instead.
#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

namespace platform {

class AudioSource {
 public:
  virtual ~AudioSource() = default;
  // Adds the source's next `frames` frames, stereo, at `outputRate`, into `mix` (pairs of 32-bit sums).
  // Runs on the mixing thread only.
  virtual void MixInto(int32_t* mix, uint32_t frames, uint32_t outputRate) = 0;

 private:
  friend class AudioMixer;
  int mixerSlot_ = -1;  // guarded by the mixer's control lock
};

class AudioMixer {
 public:
  static constexpr uint32_t kChannels = 2;
  static constexpr uint32_t kMaxSources = 1024;
  static constexpr uint32_t kChunkFrames = 1024;
  // The process's output: CD rate, so that a 512-frame device buffer is under 12 ms.
  static constexpr uint32_t kOutputRate = 44100;
  static constexpr uint32_t kOutputBufferFrames = 512;

  explicit AudioMixer(uint32_t rate);
  AudioMixer(const AudioMixer&) = delete;
  AudioMixer& operator=(const AudioMixer&) = delete;

  // The mixer the sound device and the music share.
  static AudioMixer& Process();

  uint32_t rate() const { return rate_; }

  // Control side. AddSource is idempotent; false when every slot is taken.
  bool AddSource(AudioSource* source);
  // Returns once the mixer can no longer be using the source.
  void RemoveSource(AudioSource* source);
  // Returns once any pass that was running at the call has ended (at once on the mixing thread itself).
  void WaitForPassEnd() const;

  // Opens the output device on the first user, closes it after the last; false when there is none.
  bool AcquireOutput();
  void ReleaseOutput();

  // The pull path: fills `frames` stereo frames. Samples up to the knee (-1 dBFS) pass untouched; the sounds are
  // mastered so that a game's mix stays under it, and the bend above is only a safety.
  static constexpr int32_t kSoftLimitKnee = 29204;
  static int16_t SoftLimit(int32_t sample);
  void Mix(int16_t* out, uint32_t frames);
  // Odd while a pass runs; a source started during a pass is first heard in the next one, so what is heard
  // does not depend on where the source sits in the list.
  uint64_t PassCounter() const { return passCounter_.load(std::memory_order_acquire); }

 private:
  static void Pull(void* user, int16_t* samples, uint32_t frames);

  const uint32_t rate_;
  std::mutex controlMutex_;
  std::array<std::atomic<AudioSource*>, kMaxSources> sources_{};
  std::atomic<uint32_t> sourceEnd_{0};  // one past the highest slot ever used
  std::atomic<uint64_t> passCounter_{0};  // odd while a pass runs
  int outputUsers_ = 0;  // guarded by controlMutex_
  std::array<int32_t, kChunkFrames * kChannels> accumulator_{};
};

}  // namespace platform
