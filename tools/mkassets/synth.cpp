#include "synth.h"

#include <algorithm>
#include <cmath>

namespace mkassets {

double Noise::Uniform() {
  state_ = state_ * 1664525u + 1013904223u;
  return (state_ >> 8) / static_cast<double>(1u << 24);
}

double Noise::Bipolar() { return Uniform() * 2.0 - 1.0; }

void Biquad::Set(Type type, double frequency, double q, double rate) {
  const double w = 2 * M_PI * std::min(frequency, rate * 0.49) / rate;
  const double cw = std::cos(w), alpha = std::sin(w) / (2 * q);
  double b0 = 0, b1 = 0, b2 = 0;
  switch (type) {
    case Type::LowPass: b0 = (1 - cw) / 2; b1 = 1 - cw; b2 = (1 - cw) / 2; break;
    case Type::HighPass: b0 = (1 + cw) / 2; b1 = -(1 + cw); b2 = (1 + cw) / 2; break;
    case Type::BandPass: b0 = alpha; b1 = 0; b2 = -alpha; break;
  }
  const double a0 = 1 + alpha;
  b0_ = b0 / a0;
  b1_ = b1 / a0;
  b2_ = b2 / a0;
  a1_ = -2 * cw / a0;
  a2_ = (1 - alpha) / a0;
}

double Biquad::Process(double x) {
  const double y = b0_ * x + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
  x2_ = x1_;
  x1_ = x;
  y2_ = y1_;
  y1_ = y;
  return y;
}

namespace {
// Softens the jump of a saw or square at its discontinuity (polynomial band-limited step).
double PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return t + t - t * t - 1;
  }
  if (t > 1 - dt) {
    t = (t - 1) / dt;
    return t * t + t + t + 1;
  }
  return 0;
}
}  // namespace

double Oscillator::Advance(double frequency, double rate) {
  const double dt = frequency / rate;
  phase_ += dt;
  phase_ -= std::floor(phase_);
  return dt;
}

double Oscillator::Sine(double frequency, double rate) {
  Advance(frequency, rate);
  return std::sin(2 * M_PI * phase_);
}

double Oscillator::Saw(double frequency, double rate) {
  const double dt = Advance(frequency, rate);
  return 2 * phase_ - 1 - PolyBlep(phase_, dt);
}

double Oscillator::Square(double frequency, double rate, double duty) {
  const double dt = Advance(frequency, rate);
  double v = phase_ < duty ? 1 : -1;
  v += PolyBlep(phase_, dt);
  double shifted = phase_ + 1 - duty;
  shifted -= std::floor(shifted);
  v -= PolyBlep(shifted, dt);
  return v;
}

double Oscillator::Triangle(double frequency, double rate) {
  // A leaky integral of the band-limited square.
  const double sq = Square(frequency, rate);
  const double dt = frequency / rate;
  triangleState_ = triangleState_ * (1 - 0.002) + 4 * dt * sq;
  return triangleState_;
}

double Lerp(double a, double b, double t) { return a + (b - a) * t; }

double Curve(const std::vector<std::pair<double, double>>& points, double t) {
  if (t <= points.front().first) return points.front().second;
  for (size_t i = 1; i < points.size(); ++i)
    if (t <= points[i].first) {
      const auto& [t0, v0] = points[i - 1];
      const auto& [t1, v1] = points[i];
      return Lerp(v0, v1, (t - t0) / (t1 - t0));
    }
  return points.back().second;
}

double AttackDecay(double t, double attack, double decay) {
  if (t < 0) return 0;
  if (t < attack) return t / attack;
  return std::exp(-(t - attack) / decay);
}

Signal MakeSignal(double seconds, int rate) { return Signal(static_cast<size_t>(std::lround(seconds * rate)), 0.0f); }

void MixInto(Signal& dst, const Signal& src, size_t offset, double gain) {
  for (size_t i = 0; i < src.size() && offset + i < dst.size(); ++i)
    dst[offset + i] += static_cast<float>(src[i] * gain);
}

double Peak(const Signal& s) {
  double p = 0;
  for (float v : s) p = std::max(p, static_cast<double>(std::fabs(v)));
  return p;
}

void Scale(Signal& s, double gain) {
  for (float& v : s) v = static_cast<float>(v * gain);
}

void FadeEdges(Signal& s, int rate, double inSeconds, double outSeconds) {
  const size_t in = std::min(s.size(), static_cast<size_t>(inSeconds * rate));
  const size_t out = std::min(s.size(), static_cast<size_t>(outSeconds * rate));
  for (size_t i = 0; i < in; ++i) s[i] *= static_cast<float>(0.5 - 0.5 * std::cos(M_PI * i / in));
  for (size_t i = 0; i < out; ++i)
    s[s.size() - 1 - i] *= static_cast<float>(0.5 - 0.5 * std::cos(M_PI * i / out));
}

StereoSignal Centred(const Signal& mono) { return StereoSignal{mono, mono}; }

void PanInto(StereoSignal& dst, const Signal& src, size_t offset, double pan, double gain) {
  const double angle = (pan + 1) * M_PI / 4;
  MixInto(dst.left, src, offset, gain * std::cos(angle) * std::sqrt(2.0));
  MixInto(dst.right, src, offset, gain * std::sin(angle) * std::sqrt(2.0));
}

}  // namespace mkassets
