#include "music.h"

#include <algorithm>
#include <cmath>

#include "music_instruments.h"
#include "music_score.h"

namespace mkassets {

namespace {

double MixLevel(Instrument i) {
  switch (i) {
    case Instrument::Lead: return 0.30;
    case Instrument::Bass: return 0.42;
    case Instrument::Stab: return 0.09;
    case Instrument::Pad: return 0.10;
    case Instrument::Bells: return 0.10;
    case Instrument::Kick: return 0.55;
    case Instrument::Snare: return 0.30;
    case Instrument::HatClosed: return 0.10;
    case Instrument::HatOpen: return 0.09;
    case Instrument::Crash: return 0.10;
  }
  return 0;
}

}  // namespace

StereoSignal RenderMusicLoop(int rate) {
  const size_t length = static_cast<size_t>(std::lround(kLoopSeconds * rate));
  StereoSignal mix{Signal(length, 0.0f), Signal(length, 0.0f)};
  uint32_t seed = 1;
  for (const NoteEvent& note : ComposeScore()) {
    const Signal s = RenderNote(note, rate, seed++);
    const size_t start = static_cast<size_t>(std::lround(note.start * rate));
    const double angle = (note.pan + 1) * M_PI / 4, level = MixLevel(note.instrument);
    const double gl = std::cos(angle) * std::sqrt(2.0) * level, gr = std::sin(angle) * std::sqrt(2.0) * level;
    for (size_t i = 0; i < s.size(); ++i) {
      const size_t at = (start + i) % length;  // the loop is a circle
      mix.left[at] += static_cast<float>(s[i] * gl);
      mix.right[at] += static_cast<float>(s[i] * gr);
    }
  }
  // A gentle limiter keeps the peaks round, then bring the level to the target.
  for (Signal* ch : {&mix.left, &mix.right})
    for (float& v : *ch) v = static_cast<float>(std::tanh(v * 1.2) / 1.2);
  const double peak = std::max(Peak(mix.left), Peak(mix.right));
  const double target = std::pow(10.0, -3.0 / 20);  // headroom for the encoder
  Scale(mix.left, target / peak);
  Scale(mix.right, target / peak);
  return mix;
}

}  // namespace mkassets
