// The SDL audio output: one device in 16-bit stereo at the mixer's rate with a buffer of at most 512 frames; SDL's
// audio thread pulls the mixer directly. Without a usable audio driver, Open fails and the game runs silent.
// SDL_AUDIODRIVER=disk with SDL_DISKAUDIOFILE writes the device's samples to a file instead, in real time.
#include <SDL.h>

#include <algorithm>
#include <cstring>

#include "platform/audio/audio_output.h"

namespace platform::audio_output {

namespace {

constexpr uint32_t kMaxBufferFrames = 512;

struct SdlOutput {
  SDL_AudioDeviceID device = 0;
  PullFunction pull = nullptr;
  void* user = nullptr;
  uint32_t channels = 2;
};

SdlOutput& Output() {
  static SdlOutput output;
  return output;
}

void SDLCALL FillStream(void* userdata, Uint8* stream, int len) {
  auto* out = static_cast<SdlOutput*>(userdata);
  const uint32_t frames = static_cast<uint32_t>(len) / (sizeof(int16_t) * out->channels);
  out->pull(out->user, reinterpret_cast<int16_t*>(stream), frames);
}

}  // namespace

bool Open(uint32_t rate, uint32_t channels, uint32_t bufferFrames, PullFunction pull, void* user) {
  SdlOutput& o = Output();
  if (o.device || !pull || channels == 0 || channels > 2) return false;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  o.pull = pull;
  o.user = user;
  o.channels = channels;
  SDL_AudioSpec want;
  SDL_zero(want);
  want.freq = static_cast<int>(rate);
  want.format = AUDIO_S16SYS;
  want.channels = static_cast<Uint8>(channels);
  want.samples = static_cast<Uint16>(std::min(bufferFrames, kMaxBufferFrames));
  want.callback = FillStream;
  want.userdata = &o;
  SDL_AudioSpec have;
  // No changes allowed: SDL converts if the hardware differs, and the buffer stays as small as asked.
  o.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (o.device == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  SDL_PauseAudioDevice(o.device, 0);
  return true;
}

void Close() {
  SdlOutput& o = Output();
  if (!o.device) return;
  SDL_CloseAudioDevice(o.device);  // waits for the callback to return
  o.device = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

const char* DriverName() {
  const char* name = SDL_GetCurrentAudioDriver();
  return name ? name : "none";
}

}  // namespace platform::audio_output
