#pragma once
// The replay trace: one line per event worth checking, stamped with the ticker's milliseconds. Written to the
// file named by ZORVEL_TRACE; nothing is done when it is unset.
#include <cstdint>
#include <string>

namespace platform {

bool TraceEnabled();
// Frame hashes go into the trace too, unless ZORVEL_TRACE_FRAMES=0 (hashing every frame is most of a traced
// game's cost, and tests of the rules do not look at pictures).
bool TraceFramesEnabled();
void TraceLine(const std::string& text);
// Writes "frame <hash>" when the presented picture differs from the last one traced.
void TraceFrameHash(uint64_t hash);
// Closes the trace file (also done at exit); tests use it to reopen with another file name.
void CloseTrace();

// Frame log for measurements: the monotonic start and end of each frame are kept in memory and written, one frame
// per line ("start end", microseconds), to the file named by ZORVEL_FRAME_LOG when the program ends.
void LogFrameStart();
void LogFrameEnd();
// The first presented picture: its wall-clock time in microseconds goes to the file named by ZORVEL_STARTUP_LOG.
void LogPresent();

// A fast hash of a block of bytes, stable across runs and machines.
uint64_t HashBytes(const void* data, size_t size, uint64_t seed = 1469598103934665603ull);

}  // namespace platform
