#pragma once
// The background tune rendered as one seamless loop: notes that ring past the end carry over into the start.
#include "synth.h"

namespace mkassets {

StereoSignal RenderMusicLoop(int rate);
// Takes out the steady offset and the slow drift below hearing, treating the signal as one turn of a loop.
void RemoveOffsetOfLoop(Signal& loop, int rate);

}  // namespace mkassets
