// The browser build's sound output: WebAudio. There is no audio thread to pull the mix; instead, each time the
// clock moves (virtual time, paced by the browser's clock) the frames due by then are mixed and queued on the
// page's audio context, back to back, a little ahead of what it is playing.
#include <emscripten.h>

#include <cstdint>
#include <vector>

#include "platform/audio/audio_output.h"
#include "platform/timer/timer.h"

// clang-format off
EM_JS(int, zorvel_audio_open, (), {
  const Context = window.AudioContext || window.webkitAudioContext;
  if (!Context) return 0;
  // One audio context for the page, kept from one opening to the next (the launcher's, then the game's, game
  // after game): a browser lets a context play only once it was started within the player's gesture, which a
  // context made later need not get. pieces and heard (pieces with sound in them) let a test see that the game is
  // heard.
  let audio = Module.zorvelAudio;
  if (!audio) {
    const context = new Context();
    audio = Module.zorvelAudio = {context: context, output: null, playhead: 0, pieces: 0, heard: 0};
    // Browsers start sound only within what they count as the player's gesture: the end of a touch or a click,
    // or a key, not the start of a touch. Resuming inside the first one is what makes the first tap heard.
    const start = () => { if (context.state === 'suspended') context.resume(); };
    ['pointerup', 'touchend', 'click', 'keydown'].forEach((t) => window.addEventListener(t, start, true));
    start();
  }
  // Each opening plays through a gain of its own, the page's mute button: closing cuts what it had queued.
  audio.output = audio.context.createGain();
  audio.output.connect(audio.context.destination);
  audio.playhead = 0;
  Module.zorvelMute = (muted) => { if (Module.zorvelAudio.output) Module.zorvelAudio.output.gain.value = muted ? 0 : 1; };
  Module.zorvelMute(!!Module.zorvelMuted);
  return 1;
});

EM_JS(void, zorvel_audio_queue, (const int16_t* samples, int frames, int rate), {
  const audio = Module.zorvelAudio;
  // Not open, or not allowed to play yet: this part is not heard.
  if (!audio || !audio.output || audio.context.state !== 'running') return;
  const context = audio.context;
  const buffer = context.createBuffer(2, frames, rate);
  const left = buffer.getChannelData(0), right = buffer.getChannelData(1);
  const first = samples >> 1;
  let peak = 0;
  for (let i = 0; i < frames; ++i) {
    left[i] = HEAP16[first + 2 * i] / 32768;
    right[i] = HEAP16[first + 2 * i + 1] / 32768;
    peak = Math.max(peak, Math.abs(left[i]), Math.abs(right[i]));
  }
  audio.pieces++;
  if (peak > 0.01) audio.heard++;
  // Back to back; after a gap (or when far ahead, as in a sped-up test) start again a little ahead of now.
  const now = context.currentTime;
  if (audio.playhead < now + 0.005 || audio.playhead > now + 0.5) audio.playhead = now + 0.02;
  if (peak === 0) {  // silence needs no buffer: keep its place
    audio.playhead += frames / rate;
    return;
  }
  const source = context.createBufferSource();
  source.buffer = buffer;
  source.connect(audio.output);
  source.start(audio.playhead);
  audio.playhead += frames / rate;
});

EM_JS(void, zorvel_audio_close, (), {
  const audio = Module.zorvelAudio;
  if (!audio || !audio.output) return;
  audio.output.disconnect();
  audio.output = null;
});
// clang-format on

namespace platform::audio_output {

namespace {

// About 46 ms at 44.1 kHz: few enough pieces for the page, short enough to keep the sound close to the picture.
constexpr uint32_t kPieceFrames = 2048;
// The sound is mixed this far ahead of the game's clock: the page wakes only every 100 ms or so while the picture
// stands still (web/main.cpp), and the sound must not run dry in between.
constexpr uint32_t kLeadMs = 140;

struct WebOutput {
  bool open = false;
  bool listening = false;
  uint32_t rate = 0;
  PullFunction pull = nullptr;
  void* user = nullptr;
  uint32_t openedAtMs = 0;
  uint64_t framesPulled = 0;
  std::vector<int16_t> piece;
};

WebOutput& Output() {
  static WebOutput output;
  return output;
}

void OnClock(uint32_t nowMs) {
  WebOutput& o = Output();
  if (!o.open) return;
  const uint64_t due = static_cast<uint64_t>(nowMs - o.openedAtMs + kLeadMs) * o.rate / 1000;
  while (due >= o.framesPulled + kPieceFrames) {
    o.pull(o.user, o.piece.data(), kPieceFrames);
    zorvel_audio_queue(o.piece.data(), static_cast<int>(kPieceFrames), static_cast<int>(o.rate));
    o.framesPulled += kPieceFrames;
  }
}

}  // namespace

bool Open(uint32_t rate, uint32_t channels, uint32_t bufferFrames, PullFunction pull, void* user) {
  WebOutput& o = Output();
  if (o.open || !pull || rate == 0 || channels != 2 || bufferFrames == 0 || !IsVirtualTime()) return false;
  if (!zorvel_audio_open()) return false;
  o.rate = rate;
  o.pull = pull;
  o.user = user;
  o.piece.assign(static_cast<size_t>(kPieceFrames) * 2, 0);
  o.framesPulled = 0;
  o.openedAtMs = GetTickCount();
  o.open = true;
  if (!o.listening) {
    o.listening = true;
    AddVirtualClockListener(&OnClock);
  }
  return true;
}

void Close() {
  WebOutput& o = Output();
  if (!o.open) return;
  o.open = false;
  o.pull = nullptr;
  o.user = nullptr;
  zorvel_audio_close();
}

const char* DriverName() { return "webaudio"; }

}  // namespace platform::audio_output
