// The browser build's sound output. The sound engine starts its chain thread and the music its decoder thread,
// and the browser build has no threads: until those have a single-threaded path there is nothing to play, so the
// output reports no device and the game runs silent, as it does on a machine without a sound card.
#include "platform/audio_output.h"

namespace platform::audio_output {

bool Open(uint32_t, uint32_t, uint32_t, PullFunction, void*) { return false; }
void Close() {}
const char* DriverName() { return "none (browser)"; }

}  // namespace platform::audio_output
