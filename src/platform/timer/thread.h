#pragma once
// Threads for the sound engine: started with a body, given a relative priority, waited for, and their
// handle closed (a thread whose handle is closed runs on to its end by itself).
#include <cstdint>
#include <functional>

namespace platform {

class Thread;

constexpr int THREAD_PRIORITY_LOWEST = -2;
constexpr int THREAD_PRIORITY_NORMAL = 0;

// Raises the calling thread above normal threads for steady timing. `realtime` is for threads that always wait
// soon (the ticker); the frame loop has its own call below. When the system refuses, says so once on standard
// error and returns false; the thread runs on at normal priority.
bool RaiseTimingThreadPriority(bool realtime);

// The frame loop's priority. Realtime, just below the ticker, starts every frame on its tick however busy the
// machine is; but a realtime thread that computes on would hold a core and be stopped by the kernel. So the loop is
// realtime only while it keeps waiting: when it has not waited for the ticker for kFrameLoopRealtimeMs, the ticker
// hands it back to a higher share of the processor, and it takes realtime again at its next wait. Where the system
// refuses realtime the loop keeps the higher share, and says so once on standard error. Programs it starts run at
// normal priority. True when realtime was granted.
constexpr int kFrameLoopRealtimeMs = 50;
bool RaiseFrameLoopPriority();
// Called by every thread before it blocks on the ticker or sleeps; the frame loop notes the time and, when it was
// handed back, asks for realtime again.
void NoteTimerWait();
// Called by the ticker after each of its events: hands back a frame loop that has not waited for too long.
void CheckFrameLoop();
// Whether the frame loop holds realtime now (tests and measurements).
bool FrameLoopIsRealtime();

// Null when no thread can be started.
Thread* CreateThread(std::function<void()> body);
// Lower priorities make the thread nicer to the rest of the process; raising above normal is refused.
bool SetThreadPriority(Thread* thread, int priority);
int GetThreadPriority(Thread* thread);
// WAIT_OBJECT_0 once the thread has ended, WAIT_TIMEOUT, WAIT_FAILED for a null thread (values of event.h).
uint32_t WaitForThread(Thread* thread, uint32_t timeoutMs);
bool IsCurrentThread(const Thread* thread);
// Releases the handle: joins an ended thread, lets a running one finish on its own.
void CloseThread(Thread* thread);

}  // namespace platform
