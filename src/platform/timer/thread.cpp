#include "platform/timer/thread.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "platform/backend/backend.h"
#include "platform/host/realtime_overrun.h"
#include "platform/host/system_calls.h"
#include "platform/timer/event.h"

namespace platform {

namespace {

using host::CurrentThreadId;

// Nice increments for the priorities below normal (Linux threads have their own nice value).
int NiceFor(int priority) { return priority <= THREAD_PRIORITY_LOWEST ? 10 : priority < 0 ? 5 : 0; }

struct ThreadState {
  std::function<void()> body;
  Event* ended = CreateEvent(true, false);
  std::atomic<bool> finished{false};
  std::atomic<int> tid{0};
  std::atomic<int> priority{THREAD_PRIORITY_NORMAL};
  ~ThreadState() { CloseEvent(ended); }
};

void ApplyPriority(ThreadState& s) {
  int tid = s.tid.load();
  if (tid != 0) host::SetThreadNice(tid, NiceFor(s.priority.load()));
}

}  // namespace

class Thread {
 public:
  std::shared_ptr<ThreadState> state;
  std::thread thread;
};

Thread* CreateThread(std::function<void()> body) {
#if defined(__EMSCRIPTEN__)
  // The browser build has no threads (so it needs no special server headers); callers take the no-thread path.
  (void)body;
  return nullptr;
#endif
  auto state = std::make_shared<ThreadState>();
  if (!state->ended) return nullptr;
  state->body = std::move(body);
  auto* t = new Thread;
  t->state = state;
  try {
    t->thread = std::thread([state] {
      state->tid.store(CurrentThreadId());
      if (state->priority.load() != THREAD_PRIORITY_NORMAL) ApplyPriority(*state);
      state->body();
      state->body = nullptr;
      FinishMixerSignalWork();
      state->finished.store(true);
      SetEvent(state->ended);
    });
  } catch (...) {
    delete t;
    return nullptr;
  }
  return t;
}

bool SetThreadPriority(Thread* thread, int priority) {
  if (!thread || priority > THREAD_PRIORITY_NORMAL) return false;
  thread->state->priority.store(priority);
  ApplyPriority(*thread->state);
  return true;
}

int GetThreadPriority(Thread* thread) { return thread ? thread->state->priority.load() : THREAD_PRIORITY_NORMAL; }

uint32_t WaitForThread(Thread* thread, uint32_t timeoutMs) {
  if (!thread) return WAIT_FAILED;
  if (thread->state->finished.load()) return WAIT_OBJECT_0;
  return WaitForEvent(thread->state->ended, timeoutMs);
}

bool IsCurrentThread(const Thread* thread) {
  return thread && thread->state->tid.load() == CurrentThreadId();
}

void CloseThread(Thread* thread) {
  if (!thread) return;
  if (thread->thread.joinable()) {
    if (thread->state->finished.load() && !IsCurrentThread(thread)) {
      thread->thread.join();
    } else {
      thread->thread.detach();
    }
  }
  delete thread;
}

bool RaiseTimingThreadPriority(bool realtime) {
  realtime = realtime && !host::RealtimeWithdrawn();
  if (backend::RaiseThreadPriority(realtime)) {
    // The backend may have gone through a library of its own, which sets the system's cap on realtime time.
    if (realtime) host::GuardRealtimeOverrun();
    return true;
  }
  static std::atomic<bool> told{false};
  if (!told.exchange(true))
    std::fprintf(stderr, "Zorvel: the system keeps the game at normal priority; under load frames may come late.\n");
  return false;
}

namespace {

// Below the ticker (10 in either backend's own request, above it where SDL asks), so that a frame never delays
// a tick.
constexpr int kFrameLoopRealtimePriority = 9;

struct FrameLoop {
  std::atomic<int> tid{0};
  std::atomic<bool> realtime{false};
  std::atomic<bool> handedBack{false};
  std::atomic<int64_t> lastWait{0};  // steady clock, nanoseconds
};

FrameLoop& TheFrameLoop() {
  static FrameLoop loop;
  return loop;
}

int64_t SteadyNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

thread_local bool t_isFrameLoop = false;

// Realtime that programs started from this thread do not inherit.
bool TakeRealtime(int tid) { return host::SetThreadRealtime(tid, kFrameLoopRealtimePriority); }

// The normal class keeps the thread's nice value, its higher share.
void HandBack(int tid) { host::SetThreadNormalClass(tid); }

}  // namespace

bool RaiseFrameLoopPriority() {
  FrameLoop& f = TheFrameLoop();
  const int tid = CurrentThreadId();
  // The higher share first: it is what the loop keeps whenever it is handed back.
  const bool share = backend::RaiseThreadPriority(false);
  t_isFrameLoop = true;
  f.tid.store(tid);
  f.lastWait.store(SteadyNow());
  if (TakeRealtime(tid)) {
    f.realtime.store(true);
    return true;
  }
  static std::atomic<bool> told{false};
  if (!told.exchange(true))
    std::fprintf(stderr, "Zorvel: the system keeps the frame loop %s; under load frames may come late.\n",
                 share ? "from realtime priority" : "at normal priority");
  return false;
}

void NoteTimerWait() {
  if (!t_isFrameLoop) return;
  FrameLoop& f = TheFrameLoop();
  f.lastWait.store(SteadyNow(), std::memory_order_relaxed);
  // The ticker demoted the thread before it set the flag: a grant here cannot be undone by a late hand-back.
  if (f.handedBack.exchange(false) && TakeRealtime(f.tid.load())) f.realtime.store(true);
}

void CheckFrameLoop() {
  FrameLoop& f = TheFrameLoop();
  if (!f.realtime.load(std::memory_order_relaxed)) return;
  if (SteadyNow() - f.lastWait.load(std::memory_order_relaxed) < kFrameLoopRealtimeMs * 1000000LL) return;
  if (!f.realtime.exchange(false)) return;  // another timer's thread handed it back
  HandBack(f.tid.load());
  f.handedBack.store(true);
}

bool FrameLoopIsRealtime() { return TheFrameLoop().realtime.load() && !host::RealtimeWithdrawn(); }

}  // namespace platform
