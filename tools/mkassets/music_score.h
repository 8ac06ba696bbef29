#pragma once
// The background tune: a cheerful 32-bar piece in C major at 120 beats a minute, written as note events.
#include <vector>

namespace mkassets {

enum class Instrument { Lead, Bass, Stab, Pad, Bells, Kick, Snare, HatClosed, HatOpen, Crash };

struct NoteEvent {
  Instrument instrument;
  double start;     // seconds from the top of the loop
  double duration;  // seconds the note is held
  int midi;         // pitch; drums ignore it
  double velocity;  // 0 .. 1
  double pan;       // -1 left .. 1 right
};

inline constexpr double kBeatsPerMinute = 120;
inline constexpr int kBars = 32;
inline constexpr double kBarSeconds = 4 * 60.0 / kBeatsPerMinute;
inline constexpr double kLoopSeconds = kBars * kBarSeconds;

std::vector<NoteEvent> ComposeScore();

}  // namespace mkassets
