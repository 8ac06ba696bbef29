#include "common/ticker.h"

#include <chrono>
#include <thread>

#include "platform/timer/timer.h"

std::atomic<int32_t> tickCounter{0};

namespace {

constexpr int32_t kTickStep = 10;

std::atomic<int32_t> gameClock{0};
std::atomic<int32_t> clockRunning{1};
std::atomic<int32_t> secondAccumulator{0};
std::atomic<int32_t> lastTick{0};
uint32_t tickerId = 0;
uint32_t fallbackLastMs = 0;
bool fallbackStarted = false;

struct TickerRecord {
  std::atomic<int32_t>* counter;
  int32_t step;
} tickerRecord;

void OnTimer(uint32_t, uint32_t, uintptr_t user, uintptr_t, uintptr_t) {
  auto* record = reinterpret_cast<TickerRecord*>(user);
  record->counter->fetch_add(record->step);
  TickerEvent();
}

}  // namespace

void TickerEvent() {
  int32_t now = tickCounter.load();
  int32_t elapsed = now - lastTick.exchange(now);
  if (secondAccumulator.fetch_add(elapsed) + elapsed >= 999) {
    secondAccumulator.store(0);  // the excess is dropped
    if (clockRunning.load() == 1) {
      // Decrement only while above 0, as one step, so a bonus added meanwhile is never lost.
      int32_t c = gameClock.load();
      while (c > 0 && !gameClock.compare_exchange_weak(c, c - 1)) {
      }
    }
  }
}

int32_t StartTicker() {
  platform::TimerCaps caps;
  if (platform::GetTimerCaps(&caps) != platform::TIMERR_NOERROR) return 1;
  if (caps.wPeriodMin > 10 || caps.wPeriodMax < 10) return 1;
  if (platform::BeginTimerPeriod(10) != platform::TIMERR_NOERROR) return 1;
  tickerRecord.counter = &tickCounter;
  tickerRecord.step = kTickStep;
  tickerId = platform::SetTimerEvent(10, 5, OnTimer, reinterpret_cast<uintptr_t>(&tickerRecord),
                                     platform::TIME_PERIODIC);
  if (!tickerId) platform::EndTimerPeriod(10);
  return 0;
}

int32_t StopTicker() {
  if (tickerId) {
    platform::KillTimerEvent(tickerId);
    platform::EndTimerPeriod(10);
    tickerId = 0;
  }
  return 0;
}

bool TickerRunning() { return tickerId != 0; }

int32_t TickNow() { return tickCounter.load(); }
int32_t TicksSince(int32_t mark) { return tickCounter.load() - mark; }
void SetGameClock(int32_t seconds) { gameClock.store(seconds); }
int32_t GetGameClock() { return gameClock.load(); }
void RunGameClock() { clockRunning.store(1); }
void PauseGameClock() { clockRunning.store(0); }
bool GameClockRunning() { return clockRunning.load() == 1; }

int32_t AddToGameClock(int32_t seconds, int32_t maxSeconds) {
  int32_t c = gameClock.load();
  int32_t raised;
  do {
    raised = c + seconds > maxSeconds ? maxSeconds : c + seconds;
  } while (!gameClock.compare_exchange_weak(c, raised));
  return raised;
}

void WaitForTick() {
  if (tickerId) {
    platform::WaitForTimerEvent();
    return;
  }
  // No timer: step the counter from the system clock, one 10 ms step per 10 ms that passed.
  if (!fallbackStarted) {
    fallbackStarted = true;
    fallbackLastMs = platform::GetTickCount();
  }
  uint32_t now = platform::GetTickCount();
  if (now - fallbackLastMs < static_cast<uint32_t>(kTickStep)) {
    platform::SleepMs(kTickStep - (now - fallbackLastMs));
    now = platform::GetTickCount();
  }
  while (now - fallbackLastMs >= static_cast<uint32_t>(kTickStep)) {
    fallbackLastMs += kTickStep;
    tickCounter.fetch_add(kTickStep);
    TickerEvent();
  }
}

void WaitForTickCount(int32_t target) {
  for (;;) {
    // The event count is read before the counter is tested: the timer adds to the counter first, so an event
    // after this read either shows in the test or ends the wait at once.
    const uint64_t seen = platform::TimerEventCount();
    if (tickCounter.load() >= target) return;
    if (tickerId) {
      platform::WaitForTimerEventAfter(seen);
    } else {
      WaitForTick();
    }
  }
}

void ResetTickerForTest() {
  tickCounter.store(0);
  gameClock.store(0);
  clockRunning.store(1);
  secondAccumulator.store(0);
  lastTick.store(0);
  fallbackStarted = false;
}
