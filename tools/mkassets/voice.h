#pragma once
// Animal voice synthesis: a glottal buzz shaped by moving formants (moos, bellows, grunts, hums) and a fluttering
// breath noise (snorts).
#include <functional>

#include "synth.h"

namespace mkassets {

using TimeCurve = std::function<double(double t)>;

struct VoiceShape {
  TimeCurve pitch;                // Hz
  TimeCurve f1, f2, f3;           // formant centres, Hz
  TimeCurve level;                // 0 .. 1
  TimeCurve openness;             // 0 closed mouth (hum through the nose) .. 1 open
  double breath = 0.08;           // share of noise in the source
  double roughness = 0;           // 0 smooth .. 1 growling
  double vibratoHz = 5, vibratoDepth = 0.015;
};

Signal Voice(double seconds, int rate, const VoiceShape& shape, uint32_t seed);

// A burst of air through the nostrils: fast attack, fluttering, fading over the given time.
Signal Snort(double seconds, int rate, double centreHz, double flutterHz, uint32_t seed);

}  // namespace mkassets
