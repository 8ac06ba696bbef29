// Background music in the browser build: the browser decodes the MP3 file (the decoder of the other builds is not
// built for the web) into 16-bit frames held whole, and the shared mixing path plays them under the effects. The
// end of the music is told each time the clock moves, as there is no decoder thread to tell it.
//
// Decoding runs beside the game instead of holding up its start: a player opens at once and plays silence, not
// moving on, until its frames are there, then starts from the beginning. The file may also be one the page
// fetches on its own after the game's package (the package is smaller and the game shows sooner without it).
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
// Starts decoding the bytes given, or, with none, the file of that name the page fetches itself. Returns the
// decode's number, or -1 when there is nothing to decode.
EM_JS(int, zorvel_music_begin, (const uint8_t* bytes, int size, const char* name), {
  const file = UTF8ToString(name).split('/').pop();
  let source;
  if (size > 0) source = Promise.resolve(HEAPU8.slice(bytes, bytes + size).buffer);
  else if (Module.zorvelFetchMusic && Module.zorvelFetchMusic.knows(file)) source = Module.zorvelFetchMusic(file);
  else return -1;
  if (typeof OfflineAudioContext === 'undefined') return -1;
  const decodes = Module.zorvelMusicDecodes = Module.zorvelMusicDecodes || [];
  const decode = {done: false, pointer: 0, frames: 0, rate: 0};
  decodes.push(decode);
  source.then((buffer) => new OfflineAudioContext(2, 1, 44100).decodeAudioData(buffer)).then((audio) => {
    const frames = audio.length;
    const pointer = frames > 0 ? _malloc(frames * 4) : 0;
    if (pointer) {
      // Decoded at 44.1 kHz, two channels.
      const left = audio.getChannelData(0);
      const right = audio.numberOfChannels > 1 ? audio.getChannelData(1) : left;
      const out = HEAP16.subarray(pointer >> 1, (pointer >> 1) + frames * 2);
      const sample = (v) => Math.max(-32768, Math.min(32767, Math.round(v * 32767)));
      for (let i = 0; i < frames; ++i) {
        out[2 * i] = sample(left[i]);
        out[2 * i + 1] = sample(right[i]);
      }
      Object.assign(decode, {pointer: pointer, frames: frames, rate: audio.sampleRate});
    }
    decode.done = true;
  }).catch((error) => {
    console.warn('Zorvel: the music could not be decoded', error);
    decode.done = true;
  });
  return decodes.length - 1;
});

// 0 while the decode runs; then 1 with the malloc'ed frames in *pointer (null when it failed), their count and
// rate in info.
EM_JS(int, zorvel_music_take, (int id, int16_t** pointer, int* info), {
  const decode = Module.zorvelMusicDecodes[id];
  if (!decode.done) return 0;
  HEAP32[pointer >> 2] = decode.pointer;
  HEAP32[info >> 2] = decode.frames;
  HEAP32[(info >> 2) + 1] = decode.rate;
  decode.pointer = 0;
  return 1;
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
  const int decode = zorvel_music_begin(bytes.data(), static_cast<int>(bytes.size()), hostPath.c_str());
  if (decode < 0) return nullptr;
  std::unique_ptr<MusicPlayer> player(new MusicPlayer(mixer, useOutput));
  player->pendingDecode_ = decode;
  // Until the frames are there: an empty ring the mixer waits on (not finished, nothing written).
  player->rate_ = 44100;
  player->capacity_ = 1;
  player->wake_ = CreateEvent(false, false);
  if (!player->wake_) return nullptr;
  static bool listening = false;
  if (!listening) {
    listening = true;
    // The mixer signals the end from the mixing pass; the end callback runs afterwards, outside it.
    AddVirtualClockListener([](uint32_t) {
      for (MusicPlayer* p : std::vector<MusicPlayer*>(LivePlayers())) {
        p->TakeDecodedFrames();
        p->DeliverEnd();
      }
    });
  }
  LivePlayers().push_back(player.get());
  return player;
}

void MusicPlayer::TakeDecodedFrames() {
  int16_t* decoded = nullptr;
  int info[2] = {0, 0};
  if (pendingDecode_ < 0 || !zorvel_music_take(pendingDecode_, &decoded, info)) return;
  pendingDecode_ = -1;
  if (!decoded) return;  // it did not decode: the music stays silent
  const uint64_t frames = static_cast<uint64_t>(info[0]);
  if (info[1] > 0) {
    ring_.reset(new int16_t[frames * 2]);
    std::memcpy(ring_.get(), decoded, frames * 4);
    rate_ = static_cast<uint32_t>(info[1]);
    capacity_ = frames;
    written_.store(frames);
    finished_.store(true);
  }
  std::free(decoded);
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
