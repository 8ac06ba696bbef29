#include "voice.h"

#include <cmath>

namespace mkassets {

Signal Voice(double seconds, int rate, const VoiceShape& shape, uint32_t seed) {
  Signal out = MakeSignal(seconds, rate);
  Noise noise(seed);
  Oscillator glottis, vibrato, wobble;
  Biquad formant[3], nasal, breathFilter;
  breathFilter.Set(Biquad::Type::HighPass, 500, 0.7, rate);
  double subPhase = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    if (i % 32 == 0) {
      const double open = shape.openness(t);
      formant[0].Set(Biquad::Type::BandPass, shape.f1(t), 5, rate);
      formant[1].Set(Biquad::Type::BandPass, shape.f2(t), 8, rate);
      formant[2].Set(Biquad::Type::BandPass, shape.f3(t), 10, rate);
      nasal.Set(Biquad::Type::LowPass, Lerp(350, 1400, open), 0.9, rate);
    }
    const double open = shape.openness(t);
    const double f0 =
        shape.pitch(t) * (1 + shape.vibratoDepth * vibrato.Sine(shape.vibratoHz, rate) +
                          0.004 * wobble.Sine(2.3, rate));
    // Negative saw approximates the glottal pulse; a subharmonic lurch makes the growl.
    double source = -glottis.Saw(f0, rate);
    subPhase += f0 / (2.0 * rate);
    subPhase -= std::floor(subPhase);
    source *= 1 - shape.roughness * 0.6 * (subPhase < 0.5 ? 1 : 0);
    source += shape.breath * breathFilter.Process(noise.Bipolar());
    const double mouth = formant[0].Process(source) * 1.0 + formant[1].Process(source) * 0.55 +
                         formant[2].Process(source) * 0.28;
    const double hum = nasal.Process(source) * 0.35;
    out[i] = static_cast<float>(shape.level(t) * (mouth * open + hum * (1.2 - open)));
  }
  return out;
}

Signal Snort(double seconds, int rate, double centreHz, double flutterHz, uint32_t seed) {
  Signal out = MakeSignal(seconds, rate);
  Noise noise(seed);
  Biquad band, low;
  band.Set(Biquad::Type::BandPass, centreHz, 1.3, rate);
  low.Set(Biquad::Type::LowPass, 260, 0.8, rate);
  Oscillator flutter;
  for (size_t i = 0; i < out.size(); ++i) {
    const double t = static_cast<double>(i) / rate;
    const double env = AttackDecay(t, 0.008, seconds / 3.5);
    const double f = 0.55 + 0.45 * flutter.Sine(flutterHz * (1 - 0.3 * t / seconds), rate);
    const double n = noise.Bipolar();
    out[i] = static_cast<float>(env * (band.Process(n) * 1.6 * f * f + low.Process(n) * 1.2 * f));
  }
  return out;
}

}  // namespace mkassets
