#include "music_instruments.h"

#include <cmath>

namespace mkassets {

namespace {

// Gate envelope: attack, decay to sustain while held, then release.
double Adsr(double t, double held, double a, double d, double s, double r) {
  double level;
  if (t < a)
    level = t / a;
  else
    level = s + (1 - s) * std::exp(-(t - a) / d);
  if (t > held) {
    const double atRelease = held < a ? held / a : s + (1 - s) * std::exp(-(held - a) / d);
    level = atRelease * std::exp(-(t - held) / r);
  }
  return level;
}

Signal Lead(const NoteEvent& n, int rate) {
  const double f = MidiToHz(n.midi), tail = 0.25;
  Signal out = MakeSignal(n.duration + tail, rate);
  Oscillator a, b, vib;
  Biquad lp;
  lp.Set(Biquad::Type::LowPass, 3200, 0.7, rate);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double depth = 0.006 * std::min(1.0, std::max(0.0, (t - 0.15) / 0.2));
    const double fm = f * (1 + depth * vib.Sine(5.5, rate));
    // A 30 % pulse averages -0.4; without taking that back the lead would push the whole mix off centre.
    const double v = (a.Square(fm, rate, 0.3) + 0.4) * 0.6 + b.Square(fm * 1.004, rate, 0.5) * 0.4;
    out[i] = static_cast<float>(lp.Process(v) * Adsr(t, n.duration, 0.006, 0.12, 0.7, 0.05));
  }
  return out;
}

Signal Bass(const NoteEvent& n, int rate) {
  const double f = MidiToHz(n.midi), tail = 0.15;
  Signal out = MakeSignal(n.duration + tail, rate);
  Oscillator saw, sub;
  Biquad lp;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double env = Adsr(t, n.duration, 0.004, 0.15, 0.55, 0.04);
    if (i % 16 == 0) lp.Set(Biquad::Type::LowPass, 250 + 1400 * std::exp(-t / 0.08), 1.1, rate);
    const double v = lp.Process(saw.Saw(f, rate)) * 0.7 + sub.Sine(f, rate) * 0.6;
    out[i] = static_cast<float>(v * env);
  }
  return out;
}

Signal Stab(const NoteEvent& n, int rate) {
  const double f = MidiToHz(n.midi), tail = 0.12;
  Signal out = MakeSignal(n.duration + tail, rate);
  Oscillator a, b;
  Biquad lp;
  lp.Set(Biquad::Type::LowPass, 2400, 0.8, rate);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double v = a.Saw(f * 0.997, rate) + b.Saw(f * 1.003, rate);
    out[i] = static_cast<float>(lp.Process(v) * 0.5 * Adsr(t, n.duration, 0.003, 0.07, 0.35, 0.03));
  }
  return out;
}

Signal Pad(const NoteEvent& n, int rate) {
  const double f = MidiToHz(n.midi), tail = 0.2;
  Signal out = MakeSignal(n.duration + tail, rate);
  Oscillator a, b, c;
  Biquad lp;
  lp.Set(Biquad::Type::LowPass, 1300, 0.7, rate);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double v = a.Saw(f * 0.995, rate) + b.Saw(f * 1.005, rate) + c.Triangle(f * 0.5, rate);
    out[i] = static_cast<float>(lp.Process(v) * 0.35 * Adsr(t, n.duration, 0.12, 0.5, 0.8, 0.06));
  }
  return out;
}

Signal Bells(const NoteEvent& n, int rate) {
  // Two-operator FM with a quickly fading index: a soft mallet on a metal bar.
  const double f = MidiToHz(n.midi), length = n.duration + 0.35;
  Signal out = MakeSignal(length, rate);
  Oscillator carrier, modulator;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double index = 2.5 * std::exp(-t / 0.03);
    const double m = modulator.Sine(f * 3.5, rate) * index * f * 3.5;
    const double env = AttackDecay(t, 0.002, 0.18) * (t > length - 0.03 ? (length - t) / 0.03 : 1.0);
    out[i] = static_cast<float>(carrier.Sine(f + m * 0.05, rate) * env);
  }
  return out;
}

Signal Kick(int rate) {
  Signal out = MakeSignal(0.3, rate);
  Oscillator osc;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double f = 48 + 110 * std::exp(-t / 0.035);
    out[i] = static_cast<float>(osc.Sine(f, rate) * AttackDecay(t, 0.001, 0.12) * (t > 0.27 ? (0.3 - t) / 0.03 : 1));
  }
  return out;
}

Signal NoiseHit(int rate, uint32_t seed, double seconds, double decay, Biquad::Type type, double cutoff, double q) {
  Signal out = MakeSignal(seconds, rate);
  Noise noise(seed);
  Biquad filter;
  filter.Set(type, cutoff, q, rate);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double fadeOut = t > seconds - 0.01 ? (seconds - t) / 0.01 : 1.0;
    out[i] = static_cast<float>(filter.Process(noise.Bipolar()) * AttackDecay(t, 0.0008, decay) * fadeOut);
  }
  return out;
}

Signal Snare(int rate, uint32_t seed) {
  Signal out = NoiseHit(rate, seed, 0.22, 0.06, Biquad::Type::HighPass, 1500, 0.7);
  Oscillator body;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    out[i] = static_cast<float>(out[i] * 0.8 + body.Sine(185 - 30 * t, rate) * AttackDecay(t, 0.001, 0.04) * 0.7);
  }
  return out;
}

}  // namespace

double MidiToHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

Signal RenderNote(const NoteEvent& note, int rate, uint32_t seed) {
  Signal s;
  switch (note.instrument) {
    case Instrument::Lead: s = Lead(note, rate); break;
    case Instrument::Bass: s = Bass(note, rate); break;
    case Instrument::Stab: s = Stab(note, rate); break;
    case Instrument::Pad: s = Pad(note, rate); break;
    case Instrument::Bells: s = Bells(note, rate); break;
    case Instrument::Kick: s = Kick(rate); break;
    case Instrument::Snare: s = Snare(rate, seed); break;
    case Instrument::HatClosed: s = NoiseHit(rate, seed, 0.06, 0.012, Biquad::Type::HighPass, 7000, 0.8); break;
    case Instrument::HatOpen: s = NoiseHit(rate, seed, 0.3, 0.09, Biquad::Type::HighPass, 6500, 0.8); break;
    case Instrument::Crash: s = NoiseHit(rate, seed, 1.6, 0.45, Biquad::Type::HighPass, 4500, 0.6); break;
  }
  Scale(s, note.velocity);
  return s;
}

}  // namespace mkassets
