#pragma once
// The band-limited filter that brings an effect recorded at another rate to the device's rate. Chosen at link
// time: the native builds use speexdsp's; a build without it links audio_resampler_none.cpp, whose filter is never
// made, and the buffers fall back to interpolating between neighbouring frames.
#include <cstdint>

namespace platform {

struct Resampler;

// Null when the filter cannot be had (out of memory, or none in this build).
Resampler* CreateResampler(uint32_t channels, uint32_t inputRate, uint32_t outputRate);
void DestroyResampler(Resampler* resampler);
// Forgets the input heard so far and lines the next output up with the next input; returns how many frames of
// input the filter holds back (fed as silence after the data's end to bring out the tail).
uint32_t RestartResampler(Resampler* resampler);
// Interleaved float frames in and out; on return the counts say how many were taken and made.
void Resample(Resampler* resampler, uint32_t channels, const float* in, uint32_t& inFrames, float* out,
              uint32_t& outFrames);

}  // namespace platform
