#pragma once
// EBU R128 measurements of a stereo signal: the loudest 400 ms (momentary maximum), the gated programme
// loudness, the true peak (4x oversampled) and the steady offset.
#include "synth.h"

namespace mkassets {

struct Loudness {
  double momentaryMax = 0;  // LUFS
  double integrated = 0;    // LUFS
  double truePeak = 0;      // dBTP
  double dc = 0;            // dBFS, the larger of the two channels' means
  double seconds = 0;
};

// Samples run from -1 to 1. A silent signal measures minus infinity throughout.
Loudness Measure(const StereoSignal& s, int rate);

// The true peak alone (dBTP), for sums of sounds.
double TruePeak(const StereoSignal& s, int rate);

// Linear gain for a level change in decibels.
double DbToGain(double db);

}  // namespace mkassets
