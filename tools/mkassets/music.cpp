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
  // A gentle limiter keeps the peaks round.
  for (Signal* ch : {&mix.left, &mix.right})
    for (float& v : *ch) v = static_cast<float>(std::tanh(v * 1.2) / 1.2);
  for (Signal* ch : {&mix.left, &mix.right}) RemoveOffsetOfLoop(*ch, rate);
  return mix;
}

void RemoveOffsetOfLoop(Signal& loop, int rate) {
  // The loop is a circle, so the high-pass runs round it twice and keeps the second turn: its state at the top
  // is then what the end of the loop leaves, and the join stays smooth.
  Biquad highPass;
  highPass.Set(Biquad::Type::HighPass, 20, 0.7, rate);
  for (float v : loop) highPass.Process(v);
  double sum = 0;
  for (float& v : loop) {
    v = static_cast<float>(highPass.Process(v));
    sum += v;
  }
  const float mean = static_cast<float>(sum / static_cast<double>(loop.size()));
  for (float& v : loop) v -= mean;
}

}  // namespace mkassets
