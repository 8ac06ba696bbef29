#pragma once
// The background tune rendered as one seamless loop: notes that ring past the end carry over into the start.
#include "synth.h"

StereoSignal RenderMusicLoop(int rate);
