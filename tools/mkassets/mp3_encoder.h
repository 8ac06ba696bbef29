#pragma once
// MP3 encoding with LAME. The first frame carries a LAME tag with the encoder delay and padding, so decoders that
// honour it give back exactly the samples that went in: the loop keeps its length and joins without a gap.
#include <cstdint>
#include <vector>

#include "synth.h"

namespace mkassets {

std::vector<uint8_t> EncodeMp3(const StereoSignal& music, int rate, int kbps);

}  // namespace mkassets
