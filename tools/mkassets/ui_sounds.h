#pragma once
// The game's interface sounds, each synthesised at the given sample rate before levelling.
#include "synth.h"

namespace mkassets {

StereoSignal BellDing(int rate);          // a bright bell struck once: right answer
StereoSignal HammerKnock(int rate);       // a wooden mallet knock
StereoSignal NegativeTones(int rate);     // two falling buzzy notes
StereoSignal PositiveTones(int rate);     // two rising bright notes
StereoSignal NeutralBlip(int rate);       // one soft blip
StereoSignal DropGlide(int rate);         // a falling whistle: a wrong answer drops the ladder
StereoSignal RisingChime(int rate);       // an upward arpeggio of chimes: the score rises
StereoSignal WrongBuzzer(int rate);       // a low buzzer
StereoSignal CheckTick(int rate);         // a short tick
StereoSignal SparkleBling(int rate);      // a glittering run upwards: time bonus
StereoSignal CrowdCheer(int rate);        // a crowd cheering and clapping

}  // namespace mkassets
