#include "platform/timer/event.h"

#if defined(__EMSCRIPTEN__)
#include <emscripten.h>
#else
#include <linux/futex.h>
#include <sys/syscall.h>
#endif
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <ctime>

namespace platform {

namespace {

enum : uint32_t { kClear = 0, kSignalled = 1, kSignalledByMixer = 2 };

static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t), "futex words must be plain 32-bit words");

using Clock = std::chrono::steady_clock;

#if !defined(__EMSCRIPTEN__)
uint32_t* Word(std::atomic<uint32_t>& a) { return reinterpret_cast<uint32_t*>(&a); }
#endif

#if defined(__EMSCRIPTEN__)
// The browser build has one thread: nobody else can change the word, so a wait is a sleep until its deadline,
// and a wait without one returns at once, as a futex may (every caller looks at its word again).
bool FutexWait(std::atomic<uint32_t>&, uint32_t, const Clock::time_point* deadline) {
  if (!deadline) return true;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - Clock::now()).count();
  if (left > 0) emscripten_sleep(static_cast<unsigned>(left));
  return false;
}

void FutexWakeAll(std::atomic<uint32_t>&) {}
#else
// Returns false when the wait timed out.
bool FutexWait(std::atomic<uint32_t>& word, uint32_t expected, const Clock::time_point* deadline) {
  timespec relative{};
  timespec* timeout = nullptr;
  if (deadline) {
    auto left = *deadline - Clock::now();
    if (left <= Clock::duration::zero()) return false;
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    relative.tv_sec = static_cast<time_t>(ns / 1000000000);
    relative.tv_nsec = static_cast<long>(ns % 1000000000);
    timeout = &relative;
  }
  long r = syscall(SYS_futex, Word(word), FUTEX_WAIT_PRIVATE, expected, timeout, nullptr, 0);
  return !(r == -1 && errno == ETIMEDOUT);
}

void FutexWakeAll(std::atomic<uint32_t>& word) {
  syscall(SYS_futex, Word(word), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}
#endif

// One sequence word for all waiters: a signal bumps it and wakes whoever sleeps; each waiter then looks at its own
// events again. Few threads wait at once here, so a shared word costs nothing and keeps the signal path tiny.
std::atomic<uint32_t> g_signalSequence{0};
std::atomic<uint32_t> g_sleepers{0};
// Mixer signals not yet handled; a futex word so that the sink can sleep on it.
std::atomic<uint32_t> g_unhandledMixerSignals{0};
thread_local uint32_t t_consumedMixerSignals = 0;

void WakeWaiters() {
  g_signalSequence.fetch_add(1);
  if (g_sleepers.load() > 0) FutexWakeAll(g_signalSequence);
}

void MixerSignalsHandled(uint32_t n) {
  if (n == 0) return;
  g_unhandledMixerSignals.fetch_sub(n);
  FutexWakeAll(g_unhandledMixerSignals);
}

}  // namespace

class Event {
 public:
  explicit Event(bool manual, bool signalled) : manualReset(manual), state(signalled ? kSignalled : kClear) {}
  const bool manualReset;
  std::atomic<uint32_t> state;
  std::atomic<int> references{1};
  std::atomic<bool> handleOpen{true};
};

namespace {

bool TryConsume(Event* e) {
  uint32_t s = e->state.load();
  while (s != kClear) {
    if (e->manualReset) return true;
    if (e->state.compare_exchange_weak(s, kClear)) {
      if (s == kSignalledByMixer) ++t_consumedMixerSignals;
      return true;
    }
  }
  return false;
}

void ClearState(Event* e) {
  if (e->state.exchange(kClear) == kSignalledByMixer) MixerSignalsHandled(1);
}

}  // namespace

Event* CreateEvent(bool manualReset, bool initiallySignalled) { return new Event(manualReset, initiallySignalled); }

void CloseEvent(Event* event) {
  if (!event) return;
  event->handleOpen.store(false);
  ReleaseEvent(event);
}

void RetainEvent(Event* event) {
  if (event) event->references.fetch_add(1);
}

void ReleaseEvent(Event* event) {
  if (!event) return;
  if (event->references.fetch_sub(1) == 1) {
    ClearState(event);
    delete event;
  }
}

bool SetEvent(Event* event) {
  if (!event || !event->handleOpen.load()) return false;
  uint32_t expected = kClear;
  if (event->state.compare_exchange_strong(expected, kSignalled)) WakeWaiters();
  return true;
}

bool SetEventFromMixer(Event* event) {
  // A closed handle is not signalled: nobody can be waiting on it.
  if (!event || !event->handleOpen.load()) return false;
  // Count first, so a fast consumer can never take the count below the signals still pending.
  g_unhandledMixerSignals.fetch_add(1);
  uint32_t s = event->state.load();
  for (;;) {
    if (s == kSignalledByMixer) {
      MixerSignalsHandled(1);  // already pending: one signal of an auto-reset event
      return true;
    }
    if (event->state.compare_exchange_weak(s, kSignalledByMixer)) break;
  }
  if (s == kClear) WakeWaiters();
  return true;
}

bool ResetEvent(Event* event) {
  if (!event) return false;
  ClearState(event);
  return true;
}

uint32_t WaitForEvent(Event* event, uint32_t timeoutMs) { return WaitForAnyEvent(1, &event, timeoutMs); }

uint32_t WaitForAnyEvent(uint32_t count, Event* const* events, uint32_t timeoutMs) {
  FinishMixerSignalWork();  // whatever this thread did since its last wait is done
  if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !events) return WAIT_FAILED;
  for (uint32_t i = 0; i < count; ++i) {
    if (!events[i]) return WAIT_FAILED;
  }
  Clock::time_point deadline{};
  const bool timed = timeoutMs != INFINITE;
  if (timed) deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    uint32_t sequence = g_signalSequence.load();
    for (uint32_t i = 0; i < count; ++i) {
      if (TryConsume(events[i])) return WAIT_OBJECT_0 + i;
    }
    if (timed && Clock::now() >= deadline) return WAIT_TIMEOUT;
    g_sleepers.fetch_add(1);
    if (g_signalSequence.load() == sequence) FutexWait(g_signalSequence, sequence, timed ? &deadline : nullptr);
    g_sleepers.fetch_sub(1);
  }
}

void FinishMixerSignalWork() {
  uint32_t n = t_consumedMixerSignals;
  t_consumedMixerSignals = 0;
  MixerSignalsHandled(n);
}

bool WaitUntilMixerSignalsHandled(uint32_t timeoutMs) {
  FinishMixerSignalWork();
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    uint32_t pending = g_unhandledMixerSignals.load();
    if (pending == 0) return true;
    if (!FutexWait(g_unhandledMixerSignals, pending, &deadline) && Clock::now() >= deadline) return false;
  }
}

}  // namespace platform
