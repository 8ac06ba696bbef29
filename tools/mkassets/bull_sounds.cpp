#include "bull_sounds.h"

#include <algorithm>
#include <cmath>

#include "voice.h"

namespace mkassets {

namespace {

TimeCurve Points(std::vector<std::pair<double, double>> points) {
  return [points = std::move(points)](double t) { return Curve(points, t); };
}

TimeCurve Constant(double v) {
  return [v](double) { return v; };
}

// Rounds a snort's spiky flutter so that its body, not its few sharpest grains, carries it.
Signal Rounded(Signal s, double drive) {
  const double peak = Peak(s);
  if (peak <= 0) return s;
  for (float& v : s) v = static_cast<float>(std::tanh(drive * v / peak) / std::tanh(drive));
  return s;
}

}  // namespace

StereoSignal HappySnort(int rate) {
  // The bull answers a beat after the chimes strike, so it is heard as a reply rather than lost under them.
  const double reply = 0.12;
  Signal out = MakeSignal(0.75 + reply, rate);
  const size_t at = static_cast<size_t>(reply * rate);
  MixInto(out, Rounded(Snort(0.16, rate, 1300, 38, 1), 3.0), at, 0.8);
  MixInto(out, Rounded(Snort(0.22, rate, 1100, 32, 2), 3.0), at + static_cast<size_t>(0.2 * rate), 0.9);
  // A short contented "hmf" after the snorts.
  VoiceShape hmf;
  hmf.pitch = Points({{0, 170}, {0.25, 150}});
  hmf.f1 = Constant(320);
  hmf.f2 = Constant(950);
  hmf.f3 = Constant(2300);
  hmf.level = Points({{0, 0}, {0.03, 0.8}, {0.2, 0.5}, {0.3, 0}});
  hmf.openness = Constant(0.15);
  const Signal voice = Voice(0.3, rate, hmf, 3);
  MixInto(out, voice, at + static_cast<size_t>(0.42 * rate), 0.9 / std::max(Peak(voice), 1e-9));
  return Centred(out);
}

StereoSignal BigHappyBellow(int rate) {
  const double seconds = 1.7;
  VoiceShape s;
  s.pitch = Points({{0, 120}, {0.35, 175}, {0.9, 215}, {1.4, 190}, {seconds, 170}});
  s.f1 = Points({{0, 300}, {0.3, 650}, {1.3, 700}, {seconds, 450}});
  s.f2 = Points({{0, 900}, {0.3, 1150}, {1.3, 1200}, {seconds, 900}});
  s.f3 = Constant(2500);
  s.level = Points({{0, 0}, {0.12, 0.7}, {0.4, 1}, {1.3, 0.9}, {seconds, 0}});
  s.openness = Points({{0, 0.1}, {0.3, 1}, {1.4, 1}, {seconds, 0.4}});
  s.roughness = 0.15;
  s.breath = 0.12;
  s.vibratoDepth = 0.025;
  Signal out = Voice(seconds, rate, s, 4);
  return Centred(out);
}

StereoSignal DisappointedGrunt(int rate) {
  const double seconds = 0.9;
  VoiceShape s;
  s.pitch = Points({{0, 125}, {0.15, 118}, {0.6, 80}, {seconds, 72}});
  s.f1 = Points({{0, 280}, {0.15, 480}, {0.6, 450}, {seconds, 300}});
  s.f2 = Points({{0, 900}, {0.15, 1000}, {seconds, 850}});
  s.f3 = Constant(2300);
  s.level = Points({{0, 0}, {0.05, 0.8}, {0.2, 1}, {0.6, 0.6}, {seconds, 0}});
  s.openness = Points({{0, 0}, {0.15, 0.7}, {0.6, 0.5}, {seconds, 0}});
  s.breath = 0.2;
  s.roughness = 0.1;
  Signal out = Voice(seconds, rate, s, 5);
  // A weary breath out at the end.
  MixInto(out, Snort(0.25, rate, 700, 12, 6), static_cast<size_t>(0.62 * rate), 0.35);
  return Centred(out);
}

StereoSignal AngrySnortAndBellow(int rate) {
  const double seconds = 1.9;
  Signal out = MakeSignal(seconds, rate);
  MixInto(out, Rounded(Snort(0.3, rate, 1000, 45, 7), 3.0), 0, 0.5);
  VoiceShape s;
  s.pitch = Points({{0, 95}, {0.3, 140}, {0.9, 130}, {1.5, 85}});
  s.f1 = Points({{0, 400}, {0.2, 700}, {1.0, 650}, {1.5, 450}});
  s.f2 = Points({{0, 1000}, {0.2, 1250}, {1.5, 950}});
  s.f3 = Constant(2600);
  s.level = Points({{0, 0}, {0.08, 1}, {1.1, 0.9}, {1.55, 0}});
  s.openness = Points({{0, 0.3}, {0.2, 1}, {1.2, 0.9}, {1.55, 0.3}});
  s.roughness = 0.7;
  s.breath = 0.18;
  s.vibratoHz = 7;
  s.vibratoDepth = 0.03;
  Signal bellow = Voice(1.55, rate, s, 8);
  // Push the bellow into a rasp.
  for (float& v : bellow) v = static_cast<float>(std::tanh(v * 3.0) / 2.0);
  MixInto(out, bellow, static_cast<size_t>(0.32 * rate));
  return Centred(out);
}

StereoSignal PuzzledHum(int rate) {
  const double seconds = 1.0;
  VoiceShape s;
  // A level "hmm" that lifts at the end like a question.
  s.pitch = Points({{0, 140}, {0.5, 135}, {0.85, 215}, {seconds, 225}});
  s.f1 = Constant(260);
  s.f2 = Constant(1000);
  s.f3 = Constant(2300);
  s.level = Points({{0, 0}, {0.06, 0.9}, {0.45, 0.8}, {0.55, 0.6}, {0.62, 0.85}, {0.9, 0.8}, {seconds, 0}});
  s.openness = Points({{0, 0}, {0.6, 0.05}, {0.8, 0.35}, {seconds, 0.3}});
  s.breath = 0.05;
  Signal out = Voice(seconds, rate, s, 9);
  return Centred(out);
}

StereoSignal LongSadMoo(int rate) {
  const double seconds = 2.8;
  VoiceShape s;
  // "Mmm-ooo-ooh", sinking in pitch as it fades.
  s.pitch = Points({{0, 150}, {0.4, 165}, {1.2, 140}, {2.2, 105}, {seconds, 90}});
  s.f1 = Points({{0, 260}, {0.35, 330}, {0.9, 480}, {1.8, 420}, {seconds, 320}});
  s.f2 = Points({{0, 900}, {0.35, 800}, {0.9, 850}, {seconds, 760}});
  s.f3 = Constant(2300);
  s.level = Points({{0, 0}, {0.2, 0.8}, {0.6, 1}, {1.9, 0.85}, {seconds, 0}});
  s.openness = Points({{0, 0}, {0.3, 0.1}, {0.7, 0.9}, {2.0, 0.8}, {seconds, 0.3}});
  s.breath = 0.1;
  s.roughness = 0.05;
  s.vibratoHz = 4.5;
  s.vibratoDepth = 0.03;
  Signal out = Voice(seconds, rate, s, 10);
  return Centred(out);
}

}  // namespace mkassets
