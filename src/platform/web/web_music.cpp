// Background music in the browser build: the browser decodes the MP3 file (the decoder of the other builds is not
// built for the web) into 16-bit frames held whole, and the shared mixing path plays them under the effects. The
// end of the music is told each time the clock moves, as there is no decoder thread to tell it.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/music/audio_music.h"
#include "platform/timer/event.h"
#include "platform/timer/timer.h"

// clang-format off
// Decodes at 44.1 kHz, two channels; returns malloc'ed frames (info: frame count, rate) or 0.
EM_ASYNC_JS(int16_t*, zorvel_music_decode, (const uint8_t* bytes, int size, int* info), {
  try {
    if (typeof OfflineAudioContext === 'undefined') return 0;
    const context = new OfflineAudioContext(2, 1, 44100);
    const audio = await context.decodeAudioData(HEAPU8.slice(bytes, bytes + size).buffer);
    const frames = audio.length;
    const pointer = _malloc(frames * 4);
    if (!pointer || frames === 0) return 0;
    const left = audio.getChannelData(0);
    const right = audio.numberOfChannels > 1 ? audio.getChannelData(1) : left;
    const out = HEAP16.subarray(pointer >> 1, (pointer >> 1) + frames * 2);
    const sample = (v) => Math.max(-32768, Math.min(32767, Math.round(v * 32767)));
    for (let i = 0; i < frames; ++i) {
      out[2 * i] = sample(left[i]);
      out[2 * i + 1] = sample(right[i]);
    }
    HEAP32[info >> 2] = frames;
    HEAP32[(info >> 2) + 1] = audio.sampleRate;
    return pointer;
  } catch (error) {
    console.warn('Zorvel: the music could not be decoded', error);
    return 0;
  }
});
// clang-format on

namespace platform {

namespace {

std::vector<MusicPlayer*>& LivePlayers() {
  static std::vector<MusicPlayer*> players;
  return players;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  std::vector<uint8_t> bytes;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return bytes;
  uint8_t chunk[65536];
  for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;) bytes.insert(bytes.end(), chunk, chunk + n);
  std::fclose(f);
  return bytes;
}

}  // namespace

MusicPlayer::MusicPlayer(AudioMixer& mixer, bool useOutput) : mixer_(mixer), useOutput_(useOutput) {}

std::unique_ptr<MusicPlayer> MusicPlayer::Open(const std::string& hostPath, AudioMixer& mixer, bool useOutput) {
  const std::vector<uint8_t> bytes = ReadWholeFile(hostPath);
  if (bytes.empty()) return nullptr;
  int info[2] = {0, 0};
  int16_t* decoded = zorvel_music_decode(bytes.data(), static_cast<int>(bytes.size()), info);
  if (!decoded) return nullptr;
  std::unique_ptr<MusicPlayer> player(new MusicPlayer(mixer, useOutput));
  const uint64_t frames = static_cast<uint64_t>(info[0]);
  player->rate_ = static_cast<uint32_t>(info[1]);
  player->capacity_ = frames;
  player->ring_.reset(new int16_t[frames * 2]);
  std::memcpy(player->ring_.get(), decoded, frames * 4);
  std::free(decoded);
  player->written_.store(frames);
  player->finished_.store(true);
  player->wake_ = CreateEvent(false, false);
  if (!player->wake_ || player->rate_ == 0) return nullptr;
  static bool listening = false;
  if (!listening) {
    listening = true;
    // The mixer signals the end from the mixing pass; the end callback runs afterwards, outside it.
    AddVirtualClockListener([](uint32_t) {
      for (MusicPlayer* p : std::vector<MusicPlayer*>(LivePlayers())) p->DeliverEnd();
    });
  }
  LivePlayers().push_back(player.get());
  return player;
}

MusicPlayer::~MusicPlayer() {
  auto& live = LivePlayers();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());
  mixer_.RemoveSource(this);
  if (outputAcquired_) mixer_.ReleaseOutput();
  CloseEvent(wake_);
}

void MusicPlayer::DeliverEnd() {
  if (WaitForEvent(wake_, 0) != WAIT_OBJECT_0 || state_.load() != kEnded) return;
  if (onEnd_) onEnd_();
}

bool MusicPlayer::Play(std::function<void()> onEnd) {
  uint32_t state = kStopped;
  const PlayStart start = BeginPlay(state);
  if (start != PlayStart::kStart) return start == PlayStart::kGoingOn;
  if (state == kEnded) {
    read_.store(0);
    phase_ = 0;
    ResetEvent(wake_);
  }
  onEnd_ = std::move(onEnd);
  if (!mixer_.AddSource(this)) return false;
  state_.store(kPlaying, std::memory_order_release);
  return true;
}

}  // namespace platform
