#pragma once
// The background tune rendered as one seamless loop: notes that ring past the end carry over into the start.
#include "synth.h"

namespace mkassets {

StereoSignal RenderMusicLoop(int rate);

}  // namespace mkassets
