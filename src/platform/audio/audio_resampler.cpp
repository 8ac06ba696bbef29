#include "platform/audio/audio_resampler.h"

#include <speex/speex_resampler.h>

namespace platform {
namespace {
// Quality 4 keeps mirror images far under hearing at a sixth of the cost of the top settings.
constexpr int kQuality = 4;
SpeexResamplerState* State(Resampler* resampler) { return reinterpret_cast<SpeexResamplerState*>(resampler); }
}  // namespace

Resampler* CreateResampler(uint32_t channels, uint32_t inputRate, uint32_t outputRate) {
  int error = 0;
  return reinterpret_cast<Resampler*>(speex_resampler_init(channels, inputRate, outputRate, kQuality, &error));
}

void DestroyResampler(Resampler* resampler) {
  if (resampler) speex_resampler_destroy(State(resampler));
}

uint32_t RestartResampler(Resampler* resampler) {
  speex_resampler_reset_mem(State(resampler));
  speex_resampler_skip_zeros(State(resampler));
  return static_cast<uint32_t>(speex_resampler_get_input_latency(State(resampler)));
}

void Resample(Resampler* resampler, uint32_t channels, const float* in, uint32_t& inFrames, float* out,
              uint32_t& outFrames) {
  spx_uint32_t taken = inFrames, made = outFrames;
  if (channels == 2) {
    speex_resampler_process_interleaved_float(State(resampler), in, &taken, out, &made);
  } else {
    speex_resampler_process_float(State(resampler), 0, in, &taken, out, &made);
  }
  inFrames = taken;
  outFrames = made;
}

}  // namespace platform
