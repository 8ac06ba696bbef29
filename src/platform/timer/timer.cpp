#include "platform/timer/timer.h"


#include <atomic>
#include <cassert>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/host/system_calls.h"
#include "platform/timer/thread.h"

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;

// How long after a timer's deadline a waiter wakes to find the event fired: above the timer thread's usual wake-up
// delay on a busy machine, so the waiter seldom has to be woken again.
constexpr auto kAfterTimerStep = std::chrono::microseconds(300);

struct TimerState {
  std::mutex mutex;
  std::condition_variable fired;
  std::atomic<uint64_t> eventCount{0};
  bool virtualMode = false;
  bool modeChosen = false;
  Clock::time_point processStart = Clock::now();
  // Real time.
  struct RealTimer {
    std::thread thread;
    std::atomic<bool> stop{false};
    std::mutex wakeMutex;
    std::condition_variable wake;
    std::atomic<int64_t> nextDue{0};  // steady clock, nanoseconds
  };
  std::map<uint32_t, std::unique_ptr<RealTimer>> realTimers;
  // Virtual time.
  struct VirtualTimer {
    uint32_t period;
    uint64_t nextDue;
    TimerCallback callback;
    uintptr_t user;
  };
  std::map<uint32_t, VirtualTimer> virtualTimers;
  uint64_t virtualNow = 0;
  std::vector<std::function<void(uint32_t)>> listeners;
  std::function<void(uint64_t)> pacer;
  uint32_t nextId = 1;
  bool started = false;
  uint64_t startMs = 0;  // process milliseconds at the first timer start
  // Real time: the first timer's events times its period, so that stamps are whole ticker steps as in virtual time
  // and a recorded game replays in the same frames.
  uint32_t firstTimerId = 0;
  uint32_t firstTimerPeriod = 0;
  std::atomic<uint64_t> firstTimerEvents{0};
};

TimerState& State() {
  static TimerState state;
  return state;
}

void ChooseModeFromEnvironment(TimerState& s) {
  if (s.modeChosen) return;
  s.modeChosen = true;
  const char* clock = std::getenv("ZORVEL_CLOCK");
  s.virtualMode = clock && std::strcmp(clock, "virtual") == 0;
}

uint64_t RealMs(const TimerState& s) {
  return static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - s.processStart).count());
}

uint64_t NowMs(TimerState& s) { return s.virtualMode ? s.virtualNow : RealMs(s); }

void NotifyListeners(TimerState& s) {
  for (auto& listener : s.listeners) listener(static_cast<uint32_t>(s.virtualNow));
}

// Advances virtual time to `target`, firing every timer event due on the way, in due order.
void AdvanceVirtualTo(TimerState& s, uint64_t target) {
  for (;;) {
    uint32_t dueId = 0;
    uint64_t due = UINT64_MAX;
    for (auto& [id, t] : s.virtualTimers) {
      if (t.nextDue < due) due = t.nextDue, dueId = id;
    }
    if (dueId == 0 || due > target) break;
    if (s.pacer) s.pacer(due);
    s.virtualNow = due;
    auto& t = s.virtualTimers[dueId];
    t.nextDue += t.period;
    TimerCallback cb = t.callback;
    uintptr_t user = t.user;
    cb(dueId, 0, user, 0, 0);
    s.eventCount.fetch_add(1);
    NotifyListeners(s);
  }
  if (s.virtualNow < target) {
    if (s.pacer) s.pacer(target);
    s.virtualNow = target;
    NotifyListeners(s);
  }
}

}  // namespace

void UseVirtualTime(bool on) {
  TimerState& s = State();
  assert(s.realTimers.empty() && s.virtualTimers.empty());
  s.modeChosen = true;
  s.virtualMode = on;
}

bool IsVirtualTime() {
  TimerState& s = State();
  ChooseModeFromEnvironment(s);
  return s.virtualMode;
}

uint32_t GetTimerCaps(TimerCaps* caps) {
  if (!caps) return TIMERR_NOCANDO;
  caps->wPeriodMin = 1;
  caps->wPeriodMax = 1000000;
  return TIMERR_NOERROR;
}

// Linux timers need no resolution request; the calls are accepted so the game's start-up reads as written.
uint32_t BeginTimerPeriod(uint32_t ms) { return ms >= 1 ? TIMERR_NOERROR : TIMERR_NOCANDO; }
uint32_t EndTimerPeriod(uint32_t ms) { return ms >= 1 ? TIMERR_NOERROR : TIMERR_NOCANDO; }

uint32_t SetTimerEvent(uint32_t periodMs, uint32_t /*resolutionMs*/, TimerCallback callback, uintptr_t user,
                       uint32_t flags) {
  assert(flags == TIME_PERIODIC);
  if (flags != TIME_PERIODIC || periodMs == 0 || !callback) return 0;
  TimerState& s = State();
  ChooseModeFromEnvironment(s);
  std::lock_guard<std::mutex> lock(s.mutex);
  uint32_t id = s.nextId++;
  if (!s.started) {
    s.started = true;
    s.startMs = NowMs(s);
    s.firstTimerId = id;
    s.firstTimerPeriod = periodMs;
  }
  if (s.virtualMode) {
    s.virtualTimers[id] = {periodMs, s.virtualNow + periodMs, callback, user};
    return id;
  }
  auto timer = std::make_unique<TimerState::RealTimer>();
  TimerState::RealTimer* t = timer.get();
  t->thread = std::thread([&s, t, id, periodMs, callback, user] {
    // Run above normal threads when the system allows it, so ticks stay steady under load; pacing is right
    // either way.
#if !defined(__EMSCRIPTEN__)  // the browser build runs in virtual time, paced by the browser's clock
    RaiseTimingThreadPriority(true);
    host::NameCallingThread("zorvel-ticker");
#endif
    const auto period = std::chrono::milliseconds(periodMs);
    auto deadline = Clock::now() + period;
    t->nextDue.store(deadline.time_since_epoch().count());
    std::unique_lock<std::mutex> wakeLock(t->wakeMutex);
    while (!t->stop.load()) {
      // Sleep on a condition variable so KillTimerEvent can end the wait at once. (Yielding through the last
      // fraction of a millisecond was tried: it cost 3 % of a core for no measurable gain in the 99th percentile.)
      if (t->wake.wait_until(wakeLock, deadline, [t] { return t->stop.load(); })) break;
      // Catch up: a late thread fires every event it missed, each against its own deadline.
      while (!t->stop.load() && Clock::now() >= deadline) {
        callback(id, 0, user, 0, 0);
        if (id == s.firstTimerId) s.firstTimerEvents.fetch_add(1);
        s.eventCount.fetch_add(1);
        {
          std::lock_guard<std::mutex> notifyLock(s.mutex);
        }
        s.fired.notify_all();
        CheckFrameLoop();
        deadline += period;
        t->nextDue.store(deadline.time_since_epoch().count());
      }
    }
  });
  s.realTimers[id] = std::move(timer);
  return id;
}

uint32_t KillTimerEvent(uint32_t timerId) {
  TimerState& s = State();
  std::unique_ptr<TimerState::RealTimer> timer;
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.virtualMode) return s.virtualTimers.erase(timerId) ? TIMERR_NOERROR : TIMERR_NOCANDO;
    auto it = s.realTimers.find(timerId);
    if (it == s.realTimers.end()) return TIMERR_NOCANDO;
    timer = std::move(it->second);
    s.realTimers.erase(it);
  }
  {
    std::lock_guard<std::mutex> wakeLock(timer->wakeMutex);
    timer->stop.store(true);
  }
  timer->wake.notify_all();
  if (timer->thread.joinable()) timer->thread.join();
  return TIMERR_NOERROR;
}

void WaitForTimerEvent() { WaitForTimerEventAfter(TimerEventCount()); }

void WaitForTimerEventAfter(uint64_t seen) {
  TimerState& s = State();
  ChooseModeFromEnvironment(s);
  if (s.eventCount.load() != seen) return;
  if (s.virtualMode) {
    uint64_t due = UINT64_MAX;
    for (auto& [id, t] : s.virtualTimers) due = std::min(due, t.nextDue);
    AdvanceVirtualTo(s, due == UINT64_MAX ? s.virtualNow + 10 : due);
    return;
  }
  NoteTimerWait();
  // With one timer running, sleep on this thread's own clock until just past its next deadline: the timer's thread
  // fires first and has nobody to wake, and this thread wakes where it slept. Being woken by the timer's thread
  // instead costs a wake-up across processors every step. A late timer is still waited for below.
  Clock::time_point due{};
  {
    std::lock_guard<std::mutex> lock(s.mutex);
    if (s.realTimers.size() == 1) due = Clock::time_point(Clock::duration(s.realTimers.begin()->second->nextDue.load()));
  }
  if (due != Clock::time_point{}) {
    host::SleepUntil(due + kAfterTimerStep);
    if (s.eventCount.load() != seen) return;
  }
  // One absolute deadline, so spurious wake-ups do not stretch the wait.
  const auto deadline = Clock::now() + std::chrono::milliseconds(100);
  std::unique_lock<std::mutex> lock(s.mutex);
  s.fired.wait_until(lock, deadline, [&] { return s.eventCount.load() != seen; });
}

uint64_t TimerEventCount() { return State().eventCount.load(); }

uint32_t GetTickCount() {
  TimerState& s = State();
  ChooseModeFromEnvironment(s);
  return static_cast<uint32_t>(NowMs(s));
}

uint32_t TimerElapsedMs() {
  TimerState& s = State();
  ChooseModeFromEnvironment(s);
  if (!s.started) return 0;
  if (!s.virtualMode) return static_cast<uint32_t>(s.firstTimerEvents.load() * s.firstTimerPeriod);
  return static_cast<uint32_t>(NowMs(s) - s.startMs);
}

void SleepMs(uint32_t ms) {
  TimerState& s = State();
  ChooseModeFromEnvironment(s);
  if (s.virtualMode) {
    AdvanceVirtualTo(s, s.virtualNow + ms);
    return;
  }
  NoteTimerWait();
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void PaceVirtualTime(std::function<void(uint64_t dueMs)> waitUntil) { State().pacer = std::move(waitUntil); }

void AddVirtualClockListener(std::function<void(uint32_t nowMs)> listener) {
  State().listeners.push_back(std::move(listener));
}

}  // namespace platform
