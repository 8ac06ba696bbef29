#pragma once
// Background music from an MP3 file, decoded ahead on its own thread into a ring that the mixer reads; nothing
// is decoded on the mixing path. In virtual time the file is decoded once, whole, and kept for every later
// opening. When the last decoded frame has been mixed, the end callback runs once on the decoder thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/audio_mixer.h"

struct mpg123_handle_struct;

namespace platform {

class Event;
class Thread;

class MusicPlayer final : public AudioSource {
 public:
  // Null when the file is missing or holds no audio that decodes. With `useOutput`, the first Play opens the
  // mixer's output device (and fails without one); otherwise whoever owns the mixer pulls it.
  static std::unique_ptr<MusicPlayer> Open(const std::string& hostPath, AudioMixer& mixer, bool useOutput);
  ~MusicPlayer() override;

  // From the current position; once the music has ended, from the start again. A playing player goes on; a
  // paused one resumes. False when there is no output.
  bool Play(std::function<void()> onEnd);
  void Pause();
  void Resume();
  bool IsPlaying() const { return state_.load() == kPlaying; }
  bool IsPaused() const { return state_.load() == kPaused; }
  bool HasEnded() const { return state_.load() == kEnded; }
  uint32_t sampleRate() const { return rate_; }

  void MixInto(int32_t* mix, uint32_t frames, uint32_t outputRate) override;
  // Builds without a decoder thread: runs the end callback once the mixer has signalled the end.
  void DeliverEnd();
  // The browser build: takes the frames its decode made, once they are there.
  void TakeDecodedFrames();

 private:
  enum : uint32_t { kStopped, kPlaying, kPaused, kEnded };
  MusicPlayer(AudioMixer& mixer, bool useOutput);
  // How every build's Play begins: a playing player goes on and a paused one resumes (kGoingOn); otherwise the
  // device output is taken when this player owns it (kFailed when it cannot be) and `state` says what to start
  // from (kStart).
  enum class PlayStart { kGoingOn, kFailed, kStart };
  PlayStart BeginPlay(uint32_t& state);
  // Decodes until the ring holds `target` frames or is full; false once the file is exhausted.
  bool Decode(uint64_t target);
  void DecoderLoop();
  void StopDecoder();

  AudioMixer& mixer_;
  const bool useOutput_;
  bool outputAcquired_ = false;
  mpg123_handle_struct* handle_ = nullptr;
  uint32_t rate_ = 0;
  uint64_t capacity_ = 0;  // frames
  std::unique_ptr<int16_t[]> ring_;
  std::shared_ptr<const std::vector<int16_t>> whole_;  // instead of the ring: the whole file, decoded once
  std::atomic<uint64_t> written_{0};
  std::atomic<uint64_t> read_{0};
  std::atomic<bool> finished_{false};  // decoding reached the end of the file
  std::atomic<uint32_t> state_{kStopped};
  std::atomic<bool> quit_{false};
  uint64_t phase_ = 0;  // mixer's fractional read position, 32.32
  Event* wake_ = nullptr;
  Thread* decoder_ = nullptr;
  int pendingDecode_ = -1;  // the browser build's decode still running, or -1
  std::function<void()> onEnd_;
};

}  // namespace platform
