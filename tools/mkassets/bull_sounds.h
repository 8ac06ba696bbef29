#pragma once
// The bull's voice, one sound for each of its reactions.
#include "synth.h"

namespace mkassets {

StereoSignal HappySnort(int rate);            // right answer
StereoSignal BigHappyBellow(int rate);        // right answer on the top step
StereoSignal DisappointedGrunt(int rate);     // wrong answer
StereoSignal AngrySnortAndBellow(int rate);   // wrong answer after two right ones
StereoSignal PuzzledHum(int rate);            // pass: "hmm?"
StereoSignal LongSadMoo(int rate);            // game over

}  // namespace mkassets
