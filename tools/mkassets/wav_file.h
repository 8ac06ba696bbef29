#pragma once
// PCM RIFF/WAVE files: a "fmt " chunk (18-byte body) followed by the "data" chunk.
#include <filesystem>

#include "synth.h"

namespace mkassets {

struct PcmFormat {
  int rate = 22050;
  int channels = 2;
  int bits = 16;
};

// Samples run from -1 to 1; a mono file takes the left signal. Eight-bit output is dithered with a fixed seed.
bool WriteWav(const std::filesystem::path& file, const PcmFormat& format, const Signal& left, const Signal& right);

}  // namespace mkassets
