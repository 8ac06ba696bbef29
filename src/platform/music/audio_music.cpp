#include "platform/music/audio_music.h"

#include <mpg123.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>
#include <vector>

#include "platform/host/file_names.h"
#include "platform/timer/event.h"
#include "platform/timer/thread.h"
#include "platform/timer/timer.h"

namespace platform {

namespace {

bool LibraryReady() {
  static const bool ready = mpg123_init() == MPG123_OK;
  return ready;
}

// How much is decoded before playing starts: enough to cover any thread start-up.
constexpr uint32_t kLeadMs = 250;

// A decoder for the file, giving 16-bit stereo at the file's own rate; null when the file does not open as MP3.
mpg123_handle* OpenDecoder(const std::string& hostPath, uint32_t* rate) {
  int error = 0;
  mpg123_handle* h = mpg123_new(nullptr, &error);
  if (!h) return nullptr;
  // Gapless: the encoder's delay and padding, as its tag records them, are not played, so a restart joins the
  // loop where the music was composed to join.
  mpg123_param(h, MPG123_FLAGS, MPG123_FORCE_STEREO | MPG123_QUIET | MPG123_GAPLESS, 0.0);
  long r = 0;
  int channels = 0, encoding = 0;
  // Opened through the file's own descriptor, so that only a regular file is read and a FIFO cannot hold the game;
  // the decoder opens the same file again by its /proc name and keeps that descriptor itself.
  const int fd = OpenRegularFileForReading(hostPath);
  if (fd < 0) {
    mpg123_delete(h);
    return nullptr;
  }
  const std::string sameFile = "/proc/self/fd/" + std::to_string(fd);
  const int opened = mpg123_open(h, sameFile.c_str());
  ::close(fd);
  if (opened != MPG123_OK || mpg123_getformat(h, &r, &channels, &encoding) != MPG123_OK ||
      r <= 0) {
    mpg123_delete(h);
    return nullptr;
  }
  mpg123_format_none(h);
  if (mpg123_format(h, r, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK) {
    mpg123_delete(h);
    return nullptr;
  }
  *rate = static_cast<uint32_t>(r);
  return h;
}

// In virtual time a replay plays the music's loop several times a second of its own, and the game opens the file
// afresh for every pass: there the file is decoded once, whole, and every later opening plays the same samples
// from memory. In real time decoding a second ahead costs a fraction of a percent of a core, where the whole loop
// would hold about 11 MB.
struct WholeMusic {
  std::string path;
  off_t size = 0;
  time_t modified = 0;
  uint32_t rate = 0;
  std::shared_ptr<const std::vector<int16_t>> samples;  // stereo frames
};

std::shared_ptr<const std::vector<int16_t>> DecodeWhole(const std::string& hostPath, uint32_t* rate) {
  static std::mutex mutex;
  static WholeMusic kept;
  struct stat info {};
  if (stat(hostPath.c_str(), &info) != 0) return nullptr;
  std::lock_guard<std::mutex> lock(mutex);
  if (kept.samples && kept.path == hostPath && kept.size == info.st_size && kept.modified == info.st_mtime) {
    *rate = kept.rate;
    return kept.samples;
  }
  mpg123_handle* h = OpenDecoder(hostPath, rate);
  if (!h) return nullptr;
  auto samples = std::make_shared<std::vector<int16_t>>();
  const off_t length = mpg123_length(h);  // an estimate until the whole file has been read
  if (length > 0) samples->reserve(static_cast<size_t>(length) * 2 + *rate * 2);
  constexpr size_t kChunkFrames = 16384;
  int emptyReads = 0;
  for (;;) {
    const size_t at = samples->size();
    samples->resize(at + kChunkFrames * 2);
    size_t done = 0;
    const int result = mpg123_read(h, reinterpret_cast<unsigned char*>(samples->data() + at), kChunkFrames * 4, &done);
    samples->resize(at + done / 4 * 2);
    // The end of the file, or a broken frame, ends the music, as it does while streaming.
    if (result != MPG123_OK && result != MPG123_NEW_FORMAT) break;
    if (done == 0 && ++emptyReads > 64) break;
  }
  mpg123_delete(h);
  if (samples->empty()) return nullptr;  // a file that yields no sound at all is no music
  samples->shrink_to_fit();
  kept = WholeMusic{hostPath, info.st_size, info.st_mtime, *rate, samples};
  return samples;
}

}  // namespace

MusicPlayer::MusicPlayer(AudioMixer& mixer, bool useOutput) : mixer_(mixer), useOutput_(useOutput) {}

std::unique_ptr<MusicPlayer> MusicPlayer::Open(const std::string& hostPath, AudioMixer& mixer, bool useOutput) {
  if (!LibraryReady()) return nullptr;
  std::unique_ptr<MusicPlayer> player(new MusicPlayer(mixer, useOutput));
  player->wake_ = CreateEvent(false, false);
  if (!player->wake_) return nullptr;
  if (IsVirtualTime()) {
    player->whole_ = DecodeWhole(hostPath, &player->rate_);
    if (!player->whole_) return nullptr;
    player->capacity_ = player->whole_->size() / 2;
    player->written_.store(player->capacity_);
    player->finished_.store(true);
    return player;
  }
  player->handle_ = OpenDecoder(hostPath, &player->rate_);
  if (!player->handle_) return nullptr;
  player->capacity_ = player->rate_;  // one second ahead
  player->ring_.reset(new int16_t[player->capacity_ * 2]);
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
      // The end's signal is handled now, also when the end came before this thread first waited (a whole decoded
      // file played through at once): whoever waits for the mixer's signals to be handled goes on.
      ResetEvent(wake_);
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
    if (handle_) {  // a whole decoded file is simply read from its start again
      mpg123_seek(handle_, 0, SEEK_SET);
      written_.store(0);
      finished_.store(false);
    }
    read_.store(0);
    phase_ = 0;
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
