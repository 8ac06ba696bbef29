#pragma once
// The system may cap how long a realtime thread runs without sleeping: RealtimeKit grants realtime only under such a
// cap, and SDL sets one (100 ms soft, 200 ms hard) whenever it grants realtime. Past the soft cap the kernel sends
// SIGXCPU, whose default action ends the program; past the hard cap it kills it outright. A slow machine, a big
// window or a busy desktop can make one frame that long, and a quiz that dies over it loses the player's game.
//
// So once any thread of this process takes a realtime class, the first SIGXCPU moves every realtime thread of the
// process (ours and those a library made) back to the normal class for good: after it the kernel's soft cap lies
// above the hard one, so a second overrun would be a kill. From then on realtime requests are refused, and the game
// runs on at its normal (raised) share.

namespace platform::host {

// Called whenever a thread of this process takes a realtime class; installs the SIGXCPU handler the first time.
void GuardRealtimeOverrun();
// Whether an overrun withdrew realtime from this process.
bool RealtimeWithdrawn();

}  // namespace platform::host
