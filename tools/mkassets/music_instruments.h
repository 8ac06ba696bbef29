#pragma once
// The band that plays the background tune: each instrument renders one note, release tail included.
#include <cstdint>

#include "music_score.h"
#include "synth.h"

namespace mkassets {

double MidiToHz(int midi);
Signal RenderNote(const NoteEvent& note, int rate, uint32_t seed);

}  // namespace mkassets
