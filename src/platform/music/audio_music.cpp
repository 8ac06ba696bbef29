#include "platform/music/audio_music.h"

#include <mpg123.h>

#include <algorithm>
#include <mutex>

#include "platform/timer/event.h"
#include "platform/timer/thread.h"

namespace platform {

namespace {

bool LibraryReady() {
  static const bool ready = mpg123_init() == MPG123_OK;
  return ready;
}

// How much is decoded before playing starts: enough to cover any thread start-up.
constexpr uint32_t kLeadMs = 250;

}  // namespace

MusicPlayer::MusicPlayer(AudioMixer& mixer, bool useOutput) : mixer_(mixer), useOutput_(useOutput) {}

std::unique_ptr<MusicPlayer> MusicPlayer::Open(const std::string& hostPath, AudioMixer& mixer, bool useOutput) {
  if (!LibraryReady()) return nullptr;
  std::unique_ptr<MusicPlayer> player(new MusicPlayer(mixer, useOutput));
  int error = 0;
  mpg123_handle* h = mpg123_new(nullptr, &error);
  if (!h) return nullptr;
  player->handle_ = h;
  // Gapless: the encoder's delay and padding, as its tag records them, are not played, so a restart joins the
  // loop where the music was composed to join.
  mpg123_param(h, MPG123_FLAGS, MPG123_FORCE_STEREO | MPG123_QUIET | MPG123_GAPLESS, 0.0);
  if (mpg123_open(h, hostPath.c_str()) != MPG123_OK) return nullptr;
  long rate = 0;
  int channels = 0, encoding = 0;
  if (mpg123_getformat(h, &rate, &channels, &encoding) != MPG123_OK || rate <= 0) return nullptr;
  mpg123_format_none(h);
  if (mpg123_format(h, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK) return nullptr;
  player->rate_ = static_cast<uint32_t>(rate);
  player->capacity_ = player->rate_;  // one second ahead
  player->ring_.reset(new int16_t[player->capacity_ * 2]);
  player->wake_ = CreateEvent(false, false);
  if (!player->wake_) return nullptr;
  // A file that yields no sound at all is no music.
  if (!player->Decode(player->rate_ * kLeadMs / 1000) && player->written_.load() == 0) return nullptr;
  if (player->written_.load() == 0) return nullptr;
  return player;
}

MusicPlayer::~MusicPlayer() {
  StopDecoder();
  mixer_.RemoveSource(this);
  if (outputAcquired_) mixer_.ReleaseOutput();
  CloseEvent(wake_);
  if (handle_) mpg123_delete(handle_);
}

void MusicPlayer::StopDecoder() {
  if (!decoder_) return;
  quit_.store(true);
  SetEvent(wake_);
  WaitForThread(decoder_, INFINITE);
  CloseThread(decoder_);
  decoder_ = nullptr;
  quit_.store(false);
}

bool MusicPlayer::Decode(uint64_t target) {
  target = std::min(target, capacity_);
  int emptyReads = 0;
  for (;;) {
    const uint64_t w = written_.load(std::memory_order_relaxed);
    const uint64_t r = read_.load(std::memory_order_acquire);
    const uint64_t held = w - r;
    if (held >= target) return true;
    const uint64_t start = w % capacity_;
    const uint64_t space = std::min(capacity_ - held, capacity_ - start);
    size_t done = 0;
    int result = mpg123_read(handle_, reinterpret_cast<unsigned char*>(ring_.get() + start * 2),
                             static_cast<size_t>(space * 4), &done);
    written_.store(w + done / 4, std::memory_order_release);
    if (result == MPG123_DONE) return false;
    if (result != MPG123_OK && result != MPG123_NEW_FORMAT) return false;  // a broken frame ends the music
    if (done == 0 && ++emptyReads > 64) return false;
  }
}

void MusicPlayer::DecoderLoop() {
  while (!quit_.load()) {
    if (!finished_.load() && !Decode(capacity_)) finished_.store(true, std::memory_order_release);
    if (state_.load(std::memory_order_acquire) == kEnded) {
      if (onEnd_) onEnd_();
      return;
    }
    WaitForEvent(wake_, INFINITE);
  }
}

bool MusicPlayer::Play(std::function<void()> onEnd) {
  uint32_t state = kStopped;
  const PlayStart start = BeginPlay(state);
  if (start != PlayStart::kStart) return start == PlayStart::kGoingOn;
  // The decoder of an earlier play has ended, or ends as soon as it sees the stop.
  StopDecoder();
  if (state == kEnded) {
    mpg123_seek(handle_, 0, SEEK_SET);
    written_.store(0);
    read_.store(0);
    phase_ = 0;
    finished_.store(false);
  }
  onEnd_ = std::move(onEnd);
  if (!finished_.load() && !Decode(rate_ * kLeadMs / 1000)) finished_.store(true, std::memory_order_release);
  if (!mixer_.AddSource(this)) return false;
  state_.store(kPlaying, std::memory_order_release);
  decoder_ = CreateThread([this] {
    DecoderLoop();
    return 0u;
  });
  return decoder_ != nullptr;
}

}  // namespace platform
