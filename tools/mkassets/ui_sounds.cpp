#include "ui_sounds.h"

#include <array>
#include <cmath>

#include "voice.h"

namespace mkassets {

namespace {

// A struck, inharmonic tone: each partial rings and decays on its own.
Signal Struck(double seconds, int rate, double f0, const std::vector<std::array<double, 3>>& partials,
              double attack = 0.002) {
  Signal out = MakeSignal(seconds, rate);
  for (const auto& [ratio, gain, decay] : partials) {
    const double f = f0 * ratio;
    if (f > rate * 0.45) continue;
    Oscillator osc;
    for (size_t i = 0; i < out.size(); ++i) {
      const double t = static_cast<double>(i) / rate;
      out[i] += static_cast<float>(gain * AttackDecay(t, attack, decay) * osc.Sine(f, rate));
    }
  }
  return out;
}

Signal Click(double seconds, int rate, double highpass, uint32_t seed) {
  Signal out = MakeSignal(seconds, rate);
  Noise noise(seed);
  Biquad hp;
  hp.Set(Biquad::Type::HighPass, highpass, 0.7, rate);
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<float>(hp.Process(noise.Bipolar()) * AttackDecay(static_cast<double>(i) / rate, 0.0003, 0.002));
  return out;
}

// A short synth note with a filter that closes as it decays.
Signal Note(double seconds, int rate, double frequency, bool square, double decay, double cutoff) {
  Signal out = MakeSignal(seconds, rate);
  Oscillator osc;
  Biquad lp;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double env = AttackDecay(t, 0.004, decay);
    if (i % 32 == 0) lp.Set(Biquad::Type::LowPass, 200 + cutoff * env, 0.8, rate);
    const double v = square ? osc.Square(frequency, rate, 0.35) : osc.Saw(frequency, rate);
    out[i] = static_cast<float>(env * lp.Process(v));
  }
  return out;
}

}  // namespace

StereoSignal BellDing(int rate) {
  // Handbell partials: hum, prime, minor third, fifth, octave and the bright upper ones.
  Signal bell = Struck(1.6, rate, 1046.5,
                       {{0.5, 0.25, 0.9}, {1.0, 1.0, 0.7}, {1.19, 0.35, 0.45}, {1.5, 0.25, 0.35},
                        {2.0, 0.45, 0.3}, {2.52, 0.2, 0.18}, {3.0, 0.18, 0.12}, {4.07, 0.1, 0.07}});
  MixInto(bell, Click(0.01, rate, 3000, 11), 0, 0.3);
  StereoSignal out{MakeSignal(1.6, rate), MakeSignal(1.6, rate)};
  PanInto(out, bell, 0, 0.0);
  return out;
}

StereoSignal HammerKnock(int rate) {
  const double seconds = 0.35;
  Signal out = MakeSignal(seconds, rate);
  Oscillator thump;
  Noise noise(23);
  Biquad wood1, wood2;
  wood1.Set(Biquad::Type::BandPass, 420, 6, rate);
  wood2.Set(Biquad::Type::BandPass, 1150, 8, rate);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double n = noise.Bipolar() * std::exp(-t / 0.004);
    const double body = wood1.Process(n) * 6 + wood2.Process(n) * 4;
    const double low = thump.Sine(150 * std::exp(-t / 0.05) + 70, rate) * AttackDecay(t, 0.001, 0.045);
    out[i] = static_cast<float>(body * std::exp(-t / 0.08) + low * 0.8);
  }
  MixInto(out, Struck(seconds, rate, 1830, {{1.0, 0.08, 0.05}, {2.7, 0.05, 0.03}}), 0);
  return Centred(out);
}

StereoSignal NegativeTones(int rate) {
  Signal out = MakeSignal(0.5, rate);
  MixInto(out, Note(0.2, rate, 392.0, true, 0.12, 2200), 0);
  MixInto(out, Note(0.3, rate, 311.1, true, 0.16, 1800), static_cast<size_t>(0.18 * rate));
  return Centred(out);
}

StereoSignal PositiveTones(int rate) {
  Signal out = MakeSignal(0.42, rate);
  MixInto(out, Struck(0.2, rate, 784.0, {{1, 1, 0.09}, {2, 0.3, 0.05}, {3, 0.1, 0.03}}), 0);
  MixInto(out, Struck(0.3, rate, 1174.7, {{1, 1, 0.12}, {2, 0.3, 0.06}, {3, 0.1, 0.04}}),
          static_cast<size_t>(0.11 * rate));
  return Centred(out);
}

StereoSignal NeutralBlip(int rate) {
  Signal out = MakeSignal(0.18, rate);
  Oscillator osc;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    out[i] = static_cast<float>(osc.Sine(660 - 80 * t / 0.18, rate) * AttackDecay(t, 0.003, 0.05));
  }
  return Centred(out);
}

StereoSignal DropGlide(int rate) {
  const double seconds = 0.85;
  Signal out = MakeSignal(seconds, rate);
  Oscillator osc, octave, wobble;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double sweep = std::min(t / 0.7, 1.0);
    const double f = 1400 * std::pow(140.0 / 1400.0, sweep) * (1 + 0.02 * wobble.Sine(9, rate));
    const double env =
        std::min(1.0, t / 0.01) * (t < 0.7 ? 1.0 - 0.35 * sweep : 0.65 * std::exp(-(t - 0.7) / 0.04));
    out[i] = static_cast<float>(env * (osc.Sine(f, rate) * 0.85 + octave.Sine(2 * f, rate) * 0.15));
  }
  return Centred(out);
}

StereoSignal RisingChime(int rate) {
  const double seconds = 1.0;
  StereoSignal out{MakeSignal(seconds, rate), MakeSignal(seconds, rate)};
  const double notes[] = {1046.5, 1318.5, 1568.0, 2093.0};
  for (int k = 0; k < 4; ++k) {
    const Signal chime = Struck(seconds - 0.07 * k, rate, notes[k], {{1, 1, 0.35}, {2.0, 0.25, 0.15}, {3.01, 0.1, 0.08}});
    PanInto(out, chime, static_cast<size_t>(0.07 * k * rate), -0.3 + 0.2 * k, 0.7);
  }
  return out;
}

StereoSignal WrongBuzzer(int rate) {
  const double seconds = 0.6;
  Signal out = MakeSignal(seconds, rate);
  Oscillator a, b, c;
  Biquad lp;
  lp.Set(Biquad::Type::LowPass, 1400, 0.9, rate);
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double env = std::min(1.0, t / 0.01) * (t < 0.5 ? 1.0 : std::exp(-(t - 0.5) / 0.03));
    const double v = a.Saw(110, rate) + b.Saw(116.5, rate) + 0.6 * c.Square(55, rate);
    out[i] = static_cast<float>(env * lp.Process(v));
  }
  return Centred(out);
}

StereoSignal CheckTick(int rate) {
  // A small wooden block struck once: a pitched body rings for a few tens of milliseconds, so the tick carries
  // over the music at a modest peak. It lands just after the bell's strike instead of on top of it.
  const double seconds = 0.22, at = 0.06;
  Signal out = MakeSignal(seconds, rate);
  Signal block = Struck(seconds - at, rate, 1480, {{1, 1.0, 0.045}, {2.31, 0.45, 0.02}, {3.9, 0.2, 0.01}}, 0.0008);
  MixInto(block, Click(0.01, rate, 2500, 31), 0, 0.5);
  MixInto(out, block, static_cast<size_t>(at * rate));
  return Centred(out);
}

StereoSignal SparkleBling(int rate) {
  const double seconds = 1.2;
  StereoSignal out{MakeSignal(seconds, rate), MakeSignal(seconds, rate)};
  // A pentatonic run up two octaves, then loose glints.
  const double scale[] = {1568.0, 1760.0, 2093.0, 2349.3, 2637.0, 3136.0, 3520.0, 4186.0};
  for (int k = 0; k < 8; ++k) {
    const Signal ping = Struck(0.6, rate, scale[k], {{1, 1, 0.18}, {2.76, 0.15, 0.05}});
    PanInto(out, ping, static_cast<size_t>(0.045 * k * rate), k % 2 == 0 ? -0.5 : 0.5, 0.55);
  }
  Noise where(47);
  for (int k = 0; k < 10; ++k) {
    const double at = 0.38 + where.Uniform() * 0.5;
    const Signal glint = Struck(0.3, rate, scale[4 + static_cast<int>(where.Uniform() * 4)] * 1.0,
                                {{1, 1, 0.06}, {2.0, 0.3, 0.03}});
    PanInto(out, glint, static_cast<size_t>(at * rate), where.Bipolar(), 0.3 * (1 - (at - 0.38)));
  }
  return out;
}

StereoSignal CrowdCheer(int rate) {
  const double seconds = 2.8;
  StereoSignal out{MakeSignal(seconds, rate), MakeSignal(seconds, rate)};
  Noise rnd(2024);
  // Many voices shouting "yay" and "woo", each with its own pitch, vowel and timing.
  for (int v = 0; v < 36; ++v) {
    const double start = rnd.Uniform() * 0.35;
    const double length = 1.0 + rnd.Uniform() * 1.2;
    const double base = 170 + rnd.Uniform() * 260;
    const bool woo = rnd.Uniform() < 0.4;
    const double peak = base * (1.25 + rnd.Uniform() * 0.3);
    VoiceShape shape;
    shape.pitch = [=](double t) { return Curve({{0, base}, {0.25, peak}, {length, peak * 0.8}}, t); };
    shape.f1 = [=](double t) { return woo ? Curve({{0, 350}, {0.3, 500}}, t) : Curve({{0, 700}, {0.5, 600}}, t); };
    shape.f2 = [=](double t) { return woo ? Curve({{0, 800}, {0.3, 950}}, t) : Curve({{0, 1300}, {0.5, 1900}}, t); };
    shape.f3 = [](double) { return 2700.0; };
    shape.level = [=](double t) { return std::min(1.0, t / 0.08) * std::exp(-std::max(0.0, t - 0.3) / (length * 0.6)); };
    shape.openness = [](double) { return 1.0; };
    shape.breath = 0.3;
    shape.vibratoHz = 5 + rnd.Uniform() * 2;
    shape.vibratoDepth = 0.03;
    const Signal voice = Voice(length, rate, shape, 100 + static_cast<uint32_t>(v));
    PanInto(out, voice, static_cast<size_t>(start * rate), rnd.Bipolar() * 0.8, 0.25);
  }
  // The roar of the crowd under the voices.
  Signal roar = MakeSignal(seconds, rate);
  Biquad band;
  band.Set(Biquad::Type::BandPass, 1100, 0.6, rate);
  for (size_t i = 0; i < roar.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    roar[i] = static_cast<float>(band.Process(rnd.Bipolar()) *
                                 Curve({{0, 0}, {0.2, 1}, {1.4, 0.8}, {seconds, 0}}, t));
  }
  PanInto(out, roar, 0, 0, 0.5);
  // Claps: short bright bursts at random moments.
  for (int c = 0; c < 160; ++c) {
    const double at = 0.15 + rnd.Uniform() * 2.2;
    Signal clap = MakeSignal(0.03, rate);
    Biquad bp;
    bp.Set(Biquad::Type::BandPass, 1200 + rnd.Uniform() * 900, 1.5, rate);
    for (size_t i = 0; i < clap.size(); ++i)
      clap[i] = static_cast<float>(bp.Process(rnd.Bipolar()) * std::exp(-static_cast<double>(i) / rate / 0.006));
    PanInto(out, clap, static_cast<size_t>(at * rate), rnd.Bipolar() * 0.9, 0.9 * Curve({{0, 1}, {2.4, 0.4}}, at));
  }
  return out;
}

}  // namespace mkassets
