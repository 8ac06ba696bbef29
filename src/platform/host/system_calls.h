#pragma once
// The calls that tie the game to Linux (futex, thread ids, nice values, scheduling classes, fork and exec, render
// nodes), each behind one small function so that the rest of the platform layer is plain C++. The browser build has
// one thread; there each call does the one-thread thing.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::host {

using SteadyTime = std::chrono::steady_clock::time_point;

// Sleeps while `word` still holds `expected`, until another thread wakes the word or `deadline` (when given) passes.
// May return early for no reason, so callers look at their word again. Returns false when the deadline passed.
bool WaitOnWord(std::atomic<uint32_t>& word, uint32_t expected, const SteadyTime* deadline);
void WakeAllOnWord(std::atomic<uint32_t>& word);

// Sleeps until the steady clock reaches `when` (at once when it has passed).
void SleepUntil(SteadyTime when);

// The kernel's id of the calling thread (0 is never one).
int CurrentThreadId();

// Sets a thread's nice value (-20 highest .. 19 lowest). False when the system refuses, as it does for a raise
// without the right to it.
bool SetThreadNice(int threadId, int nice);

// Moves the calling thread into the first-in-first-out realtime class at a modest priority. False when refused, and
// always once an overrun withdrew realtime (realtime_overrun.h).
bool MakeCallingThreadRealtime();

// Moves a thread of this process into the first-in-first-out realtime class at `priority`, which programs it starts
// do not inherit. False when refused, as above.
bool SetThreadRealtime(int threadId, int priority);
// Moves a thread back into the normal class; its nice value stays. Programs it starts still do not inherit it.
void SetThreadNormalClass(int threadId);

// Names the calling thread so that measurements (top, perf, /proc) can tell it from the others.
void NameCallingThread(const char* name);

// Whether the machine can draw with a graphics card (it has a render node). Without one an accelerated renderer is
// software OpenGL: tens of megabytes of libraries and threads of its own to do what a software renderer does directly.
bool HasGraphicsCard();

// Starts `program` (a host path) with `args` (args[0] is the program itself) in `workDir`, detached from this process
// so that it outlives us. False when the program is not there to run or no process could be made.
bool StartDetachedProgram(const std::string& program, const std::vector<std::string>& args, const std::string& workDir);

}  // namespace platform::host
