// The parts of the music player every build shares: pausing, resuming, and mixing the decoded frames into the
// output. Decoding is the build's own: the MP3 decoder here, the browser's in the browser build.
#include <algorithm>

#include "platform/music/audio_music.h"
#include "platform/timer/event.h"

namespace platform {

void MusicPlayer::Pause() {
  uint32_t playing = kPlaying;
  state_.compare_exchange_strong(playing, kPaused);
}

void MusicPlayer::Resume() {
  uint32_t paused = kPaused;
  state_.compare_exchange_strong(paused, kPlaying);
}

MusicPlayer::PlayStart MusicPlayer::BeginPlay(uint32_t& state) {
  state = state_.load(std::memory_order_acquire);
  if (state == kPlaying) return PlayStart::kGoingOn;
  if (state == kPaused) {
    Resume();
    return PlayStart::kGoingOn;
  }
  if (useOutput_ && !outputAcquired_) {
    if (!mixer_.AcquireOutput()) return PlayStart::kFailed;
    outputAcquired_ = true;
  }
  return PlayStart::kStart;
}

void MusicPlayer::MixInto(int32_t* mix, uint32_t frames, uint32_t outputRate) {
  uint32_t state = state_.load(std::memory_order_acquire);
  if (state != kPlaying) return;
  const bool finished = finished_.load(std::memory_order_acquire);
  const uint64_t r = read_.load(std::memory_order_relaxed);
  const uint64_t available = written_.load(std::memory_order_acquire) - r;
  const uint64_t step = (static_cast<uint64_t>(rate_) << 32) / outputRate;
  const int16_t* ring = whole_ ? whole_->data() : ring_.get();
  bool ended = false;
  uint64_t phase = phase_;
  // Ring positions without a division per frame: i stays below available, which is at most the capacity.
  const uint64_t base = r % capacity_;
  auto wrap = [this](uint64_t position) { return position >= capacity_ ? position - capacity_ : position; };
  for (uint32_t k = 0; k < frames; ++k) {
    const uint64_t i = phase >> 32;
    if (i + 1 >= available) {
      if (!finished) break;  // the decoder is behind: wait for it rather than skip
      if (i >= available) {
        ended = true;
        break;
      }
    }
    const uint64_t a = wrap(base + i);
    const uint64_t b = i + 1 < available ? wrap(a + 1) : a;
    const int32_t frac = static_cast<int32_t>((phase >> 16) & 0xFFFF);
    const int32_t l0 = ring[a * 2], r0 = ring[a * 2 + 1], l1 = ring[b * 2], r1 = ring[b * 2 + 1];
    // The file is mastered to sit under the effects; it plays at its own level.
    mix[2 * k] += l0 + static_cast<int32_t>((static_cast<int64_t>(l1 - l0) * frac) >> 16);
    mix[2 * k + 1] += r0 + static_cast<int32_t>((static_cast<int64_t>(r1 - r0) * frac) >> 16);
    phase += step;
  }
  const uint64_t consumed = std::min<uint64_t>(phase >> 32, available);
  phase_ = phase - (consumed << 32);
  read_.store(r + consumed, std::memory_order_release);
  if (ended) {
    if (state_.compare_exchange_strong(state, kEnded, std::memory_order_acq_rel)) SetEventFromMixer(wake_);
  } else if (consumed > 0 && !finished && available - consumed < capacity_ * 3 / 4) {
    SetEventFromMixer(wake_);
  }
}

}  // namespace platform
