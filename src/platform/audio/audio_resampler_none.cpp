// For builds without speexdsp (the browser's): no filter is ever made, so nothing below is called.
#include "platform/audio/audio_resampler.h"

namespace platform {

Resampler* CreateResampler(uint32_t, uint32_t, uint32_t) { return nullptr; }
void DestroyResampler(Resampler*) {}
uint32_t RestartResampler(Resampler*) { return 0; }
void Resample(Resampler*, uint32_t, const float*, uint32_t& inFrames, float*, uint32_t& outFrames) {
  inFrames = outFrames = 0;
}

}  // namespace platform
