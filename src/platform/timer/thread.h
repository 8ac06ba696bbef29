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
// soon (the ticker): a realtime thread that computes on, like a frame loop on a machine too slow for its frames,
// would starve the rest of the system and be stopped by the kernel, so the frame loop takes only a higher share.
// When the system refuses, says so once on standard error and returns false; the thread runs on at normal
// priority.
bool RaiseTimingThreadPriority(bool realtime);

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
