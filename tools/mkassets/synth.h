#pragma once
// Small signal-processing kit for synthesising the game's sounds: oscillators, filters, envelopes, a seeded noise
// source and the finishing steps (level, fades).
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mkassets {

using Signal = std::vector<float>;

// Seeded noise: the same sound every build.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed) {}
  double Uniform();  // 0 .. 1
  double Bipolar();  // -1 .. 1
 private:
  uint32_t state_;
};

// RBJ biquad sections.
class Biquad {
 public:
  enum class Type { LowPass, HighPass, BandPass };
  void Set(Type type, double frequency, double q, double rate);
  double Process(double x);

 private:
  double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
};

// A phase accumulator with band-limited waveforms; the frequency may change every sample.
class Oscillator {
 public:
  double Sine(double frequency, double rate);
  double Saw(double frequency, double rate);
  double Square(double frequency, double rate, double duty = 0.5);
  double Triangle(double frequency, double rate);
  void Reset(double phase = 0) { phase_ = phase; }

 private:
  double Advance(double frequency, double rate);
  double phase_ = 0;
  double triangleState_ = 0;
};

double Lerp(double a, double b, double t);
// Piecewise-linear curve through (time, value) points, held flat outside them.
double Curve(const std::vector<std::pair<double, double>>& points, double t);
// Envelope rising over attack seconds, then decaying exponentially with the given time constant.
double AttackDecay(double t, double attack, double decay);

Signal MakeSignal(double seconds, int rate);
// Adds src into dst starting at sample offset, scaled by gain.
void MixInto(Signal& dst, const Signal& src, size_t offset, double gain = 1.0);
double Peak(const Signal& s);
void Scale(Signal& s, double gain);
// Short fades so that a sound never starts or stops with a step.
void FadeEdges(Signal& s, int rate, double inSeconds, double outSeconds);

struct StereoSignal {
  Signal left, right;
};
StereoSignal Centred(const Signal& mono);
// Places a mono sound in the stereo field: -1 left .. 1 right, equal power.
void PanInto(StereoSignal& dst, const Signal& src, size_t offset, double pan, double gain = 1.0);

}  // namespace mkassets
