#pragma once
// A sound buffer of the sound device. The primary buffer only carries the output format and a playing state;
// secondary buffers hold PCM data (8-bit unsigned or 16-bit signed, mono or stereo, any rate) that the mixer
// converts to the output rate with a band-limited resampler (no mirror images above the source's band).
// Duplicates share their original's data. Buffers are reference counted.
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/audio/audio_format.h"
#include "platform/audio/audio_mixer.h"
#include "platform/audio/audio_resampler.h"


namespace platform {

class SoundNotify;

class SoundBuffer final : public AudioSource {
 public:
  static constexpr uint32_t kMaxNotifications = 32;

  uint32_t AddRef();
  uint32_t Release();

  SoundResult GetCaps(SoundBufferCaps* caps) const;
  SoundResult GetFormat(WaveFormat* format, uint32_t sizeAllocated, uint32_t* sizeWritten) const;
  // Primary buffer only.
  SoundResult SetFormat(const WaveFormat* format);

  SoundResult Play(uint32_t reserved, uint32_t priority, uint32_t flags);
  // Stopping a playing secondary buffer signals its stop notifications once the mixer has let go of it.
  SoundResult Stop();
  SoundResult GetStatus(uint32_t* status) const;
  SoundResult GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor) const;
  SoundResult SetCurrentPosition(uint32_t position);

  // The region may wrap: the second part then starts at the buffer's beginning.
  SoundResult Lock(uint32_t offset, uint32_t bytes, void** part1, uint32_t* bytes1, void** part2,
                   uint32_t* bytes2, uint32_t flags);
  SoundResult Unlock(void* part1, uint32_t bytes1, void* part2, uint32_t bytes2);

  // Sounds play at the level, balance and rate of their data: the engine asks for no controls, so these are
  // always refused with DSERR_CONTROLUNAVAIL.
  SoundResult SetVolume(int32_t volume);
  SoundResult SetPan(int32_t pan);
  SoundResult SetFrequency(uint32_t frequency);

  // The notification interface; needs DSBCAPS_CTRLPOSITIONNOTIFY.
  SoundResult QueryNotify(SoundNotify** notify);

  void MixInto(int32_t* mix, uint32_t frames, uint32_t outputRate) override;

  // Made by the device only.
  static SoundBuffer* CreatePrimary(AudioMixer& mixer, uint32_t flags);
  static SoundBuffer* CreateSecondary(AudioMixer& mixer, uint32_t flags, const WaveFormat& format, uint32_t bytes);
  SoundBuffer* Duplicate();
  bool primary() const { return primary_; }
  // Buffers alive in the process (leak checks).
  static uint32_t LiveCount();
  // Buffers made since the start (checks that a refused load made none).
  static uint64_t CreatedCount();

 private:
  friend class SoundNotify;
  struct SharedData;
  struct NotificationSlot {
    std::atomic<uint32_t> offset{0};
    std::atomic<Event*> event{nullptr};
  };
  using MixFunction = void (*)(const SoundBuffer&, int32_t*, uint32_t, uint64_t&, uint64_t, bool, bool&);

  SoundBuffer(AudioMixer& mixer, bool primary, uint32_t flags, const WaveFormat& format,
              std::shared_ptr<SharedData> data);
  ~SoundBuffer() override;
  SoundResult SetNotificationPositions(uint32_t count, const PositionNotify* positions);
  void SignalStop();
  void SignalPositions(uint64_t fromFrame, uint64_t framesAdvanced, bool toEnd);
  // The resampled path. The play cursor moves with what is heard; the resampler reads a few dozen frames ahead
  // of it. False (nothing done) when the buffer is at the output rate or has no resampler.
  bool MixResampled(int32_t* mix, uint32_t frames, uint32_t outputRate, uint64_t rate, uint64_t& cursor,
                    bool looping, bool& ended);
  template <int Bits, int Channels>
  static void MixFrames(const SoundBuffer& b, int32_t* mix, uint32_t frames, uint64_t& cursor, uint64_t step,
                        bool looping, bool& ended);

  AudioMixer& mixer_;
  const bool primary_;
  const uint32_t flags_;
  WaveFormat format_;  // the primary's may change by SetFormat (control side only)
  std::shared_ptr<SharedData> data_;
  const uint8_t* bytes_ = nullptr;
  uint32_t size_ = 0;
  uint32_t frameCount_ = 0;
  MixFunction mixFrames_ = nullptr;
  // The resampler, made on the control side for buffers not at the output rate.
  Resampler* resampler_ = nullptr;
  // Mixing thread only: the play cursor the resampler's state belongs to, where its input goes on, and how many
  // frames of silence after a sound's end are still to go in to bring out the filter's tail.
  uint64_t resamplerCursor_ = ~0ull;
  uint32_t feedIndex_ = 0;
  uint32_t flushLeft_ = 0;

  std::atomic<uint32_t> references_{1};
  std::atomic<uint32_t> state_{0};     // DSBSTATUS_PLAYING | DSBSTATUS_LOOPING
  std::atomic<uint64_t> cursor_{0};    // frames, 32.32 fixed point
  std::atomic<uint32_t> unlocks_{0};   // orders the writer's data before the mixer's reads
  std::atomic<uint64_t> playPass_{0};  // the mixer's pass counter when Play was called
  std::atomic<uint32_t> notificationCount_{0};
  std::array<NotificationSlot, kMaxNotifications> notifications_{};
  mutable std::mutex controlMutex_;    // serialises notification changes
};

// The notification interface of one buffer; holds a reference to it.
class SoundNotify {
 public:
  explicit SoundNotify(SoundBuffer* buffer);
  uint32_t AddRef();
  uint32_t Release();
  // Only while the buffer is stopped; offsets are byte offsets inside the buffer, or DSBPN_OFFSETSTOP. An event
  // at an offset is signalled when the play cursor reaches that byte; the stop events when the buffer stops.
  SoundResult SetNotificationPositions(uint32_t count, const PositionNotify* positions);

 private:
  ~SoundNotify();
  SoundBuffer* buffer_;
  std::atomic<uint32_t> references_{1};
};

}  // namespace platform
