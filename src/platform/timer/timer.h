#pragma once
// The periodic timer behind the ticker, and the process clock. Two modes, chosen once at start:
//  - real time: each periodic timer runs on its own thread against absolute deadlines, catching up when late;
//  - virtual time: no thread; a wait for the next timer event advances the clock and fires the event itself,
//    so scripted runs go as fast as the machine allows and repeat exactly.
#include <cstdint>
#include <functional>

namespace platform {

constexpr uint32_t TIMERR_NOERROR = 0;
constexpr uint32_t TIMERR_NOCANDO = 97;
constexpr uint32_t TIME_PERIODIC = 1;

struct TimerCaps {
  uint32_t wPeriodMin = 0;
  uint32_t wPeriodMax = 0;
};

using TimerCallback = void (*)(uint32_t timerId, uint32_t message, uintptr_t user, uintptr_t reserved1,
                               uintptr_t reserved2);

// Selects virtual time; must be called before any timer exists. Also read from ZORVEL_CLOCK=virtual at start.
void UseVirtualTime(bool on);
bool IsVirtualTime();

uint32_t GetTimerCaps(TimerCaps* caps);
uint32_t BeginTimerPeriod(uint32_t ms);
uint32_t EndTimerPeriod(uint32_t ms);
// Returns the new timer's id, or 0 when it cannot be created. Only TIME_PERIODIC is supported.
uint32_t SetTimerEvent(uint32_t periodMs, uint32_t resolutionMs, TimerCallback callback, uintptr_t user,
                       uint32_t flags);
uint32_t KillTimerEvent(uint32_t timerId);

// Blocks until the next event of any running timer has fired (real time; gives up after 100 ms when no timer
// runs), or advances the virtual clock to the next due event and fires it (virtual time; 10 ms when none runs).
void WaitForTimerEvent();
// The same, but returns at once when an event has fired since the count `seen` was read: read the count, test
// what the event would change, then wait, and no event between the test and the wait is missed.
void WaitForTimerEventAfter(uint64_t seen);
// Number of timer events fired so far, in either mode.
uint64_t TimerEventCount();

// Milliseconds since the process started (virtual milliseconds in virtual time).
uint32_t GetTickCount();
// Milliseconds since the first timer was started, in whole steps of that timer (in real time its events times
// its period); scripts, recordings and traces are stamped with it.
uint32_t TimerElapsedMs();
// Real time: sleeps. Virtual time: advances the clock (firing due timer events) by that much.
void SleepMs(uint32_t ms);

// Keeps virtual time in step with a real clock: before the virtual clock moves to a millisecond, `waitUntil` is
// called with it and returns once real time has reached it. This is the clock of a host without threads (the
// browser): timer events fire on the waiting thread, exactly as in virtual time, but no faster than real time.
void PaceVirtualTime(std::function<void(uint64_t dueMs)> waitUntil);

// Called on the waiting thread each time the virtual clock moves, with the new virtual time; the null audio
// sink uses it to consume samples in step with the game.
void AddVirtualClockListener(std::function<void(uint32_t nowMs)> listener);

}  // namespace platform
