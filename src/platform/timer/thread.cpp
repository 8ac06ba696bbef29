#include "platform/timer/thread.h"

#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>

#include "platform/backend.h"
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
  if (backend::RaiseThreadPriority(realtime)) return true;
  static std::atomic<bool> told{false};
  if (!told.exchange(true))
    std::fprintf(stderr, "Zorvel: the system keeps the game at normal priority; under load frames may come late.\n");
  return false;
}

}  // namespace platform
