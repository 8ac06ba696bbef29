#include "platform/timer/event.h"

#include <atomic>
#include <chrono>

#include "platform/host/system_calls.h"

namespace platform {

namespace {

enum : uint32_t { kClear = 0, kSignalled = 1, kSignalledByMixer = 2 };

using Clock = std::chrono::steady_clock;
using host::WaitOnWord;
using host::WakeAllOnWord;

// One sequence word for all waiters: a signal bumps it and wakes whoever sleeps; each waiter then looks at its own
// events again. Few threads wait at once here, so a shared word costs nothing and keeps the signal path tiny.
std::atomic<uint32_t> g_signalSequence{0};
std::atomic<uint32_t> g_sleepers{0};
// Mixer signals not yet handled; a futex word so that the sink can sleep on it.
std::atomic<uint32_t> g_unhandledMixerSignals{0};
thread_local uint32_t t_consumedMixerSignals = 0;

void WakeWaiters() {
  g_signalSequence.fetch_add(1);
  if (g_sleepers.load() > 0) WakeAllOnWord(g_signalSequence);
}

void MixerSignalsHandled(uint32_t n) {
  if (n == 0) return;
  g_unhandledMixerSignals.fetch_sub(n);
  WakeAllOnWord(g_unhandledMixerSignals);
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
    if (g_signalSequence.load() == sequence) WaitOnWord(g_signalSequence, sequence, timed ? &deadline : nullptr);
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
    if (!WaitOnWord(g_unhandledMixerSignals, pending, &deadline) && Clock::now() >= deadline) return false;
  }
}

}  // namespace platform
