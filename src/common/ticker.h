#pragma once
// The 10 ms ticker: program time in milliseconds (tickCounter) and the game clock in seconds, counted down once a
// second by the timer thread while it runs.
#include <atomic>
#include <cstdint>

extern std::atomic<int32_t> tickCounter;

int32_t StartTicker();  // 0 on success, 1 when no usable timer (the fallback clock then drives time)
int32_t StopTicker();
int32_t TickNow();
int32_t TicksSince(int32_t mark);
void SetGameClock(int32_t seconds);
int32_t GetGameClock();
void RunGameClock();
void PauseGameClock();
bool GameClockRunning();
// The time bonus: clock := min(clock + seconds, maxSeconds) as one atomic step against the timer thread.
int32_t AddToGameClock(int32_t seconds, int32_t maxSeconds);
// Waits for the ticker to advance at least one step. Without a running timer it advances the counter itself from
// the system clock, so timed behaviour still proceeds.
void WaitForTick();
// Waits until tickCounter reaches the target. A tick that fires between the test and the wait is not missed.
void WaitForTickCount(int32_t target);
bool TickerRunning();

// The timer event itself, exposed so tests can drive it directly.
void TickerEvent();
// Back to the start state (counter 0, clock running, nothing accumulated); tests only.
void ResetTickerForTest();
