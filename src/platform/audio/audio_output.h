#pragma once
// What each backend provides for sound: one output device that pulls mixed 16-bit interleaved samples from a
// callback. The SDL backend opens the machine's audio device; the headless one a null sink driven by the clock.
#include <cstdint>

namespace platform::audio_output {

// Called on the output's own thread (or, in virtual time, on the thread that advances the clock) whenever the
// device wants `frames` more frames; must fill all of them.
using PullFunction = void (*)(void* user, int16_t* samples, uint32_t frames);

// False when there is no device to open (the game then runs silent). One output at a time.
bool Open(uint32_t rate, uint32_t channels, uint32_t bufferFrames, PullFunction pull, void* user);
void Close();
const char* DriverName();

}  // namespace platform::audio_output
