#include "platform/timer/timer.h"

#include <sched.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/timer/thread.h"

using namespace platform;

namespace {
std::atomic<int> g_events{0};
std::vector<uint32_t> g_stamps;
void Count(uint32_t, uint32_t, uintptr_t user, uintptr_t, uintptr_t) {
  g_events.fetch_add(1);
  if (user) g_stamps.push_back(GetTickCount());
}
}  // namespace

TEST(Timer, PacedVirtualTimeWaitsForTheRealClockBeforeEachStep) {
  UseVirtualTime(true);
  g_events = 0;
  g_stamps.clear();
  const uint64_t start = GetTickCount();
  std::vector<uint64_t> asked;
  std::vector<int> firedBeforeAsking;
  PaceVirtualTime([&](uint64_t due) {
    asked.push_back(due);
    firedBeforeAsking.push_back(g_events.load());
  });
  const uint32_t id = SetTimerEvent(10, 5, Count, 0, TIME_PERIODIC);
  ASSERT_NE(0u, id);
  for (int i = 0; i < 3; ++i) WaitForTimerEvent();
  // Each step is waited for before its event fires, never after: an event must not come early.
  EXPECT_EQ((std::vector<uint64_t>{start + 10, start + 20, start + 30}), asked);
  EXPECT_EQ((std::vector<int>{0, 1, 2}), firedBeforeAsking);
  // A sleep that ends between events waits for its own end too.
  SleepMs(15);
  EXPECT_EQ((std::vector<uint64_t>{start + 10, start + 20, start + 30, start + 40, start + 45}), asked);
  EXPECT_EQ(4, g_events.load());
  PaceVirtualTime(nullptr);
  EXPECT_EQ(TIMERR_NOERROR, KillTimerEvent(id));
  UseVirtualTime(false);
}

TEST(Timer, VirtualTimeFiresEventsWhenWaitedForAndRepeatsExactly) {
  UseVirtualTime(true);
  TimerCaps caps;
  ASSERT_EQ(TIMERR_NOERROR, GetTimerCaps(&caps));
  EXPECT_LE(caps.wPeriodMin, 10u);
  EXPECT_GE(caps.wPeriodMax, 10u);
  g_events = 0;
  g_stamps.clear();
  const uint32_t start = GetTickCount();
  uint32_t id = SetTimerEvent(10, 5, Count, 1, TIME_PERIODIC);
  ASSERT_NE(0u, id);
  EXPECT_EQ(0, g_events.load()) << "nothing fires until someone waits";
  for (int i = 0; i < 100; ++i) WaitForTimerEvent();
  EXPECT_EQ(100, g_events.load());
  EXPECT_EQ(start + 1000, GetTickCount());
  for (size_t i = 0; i < g_stamps.size(); ++i) EXPECT_EQ(start + 10 * (i + 1), g_stamps[i]);

  // Sleeping advances the clock and fires what falls due on the way.
  // Listeners stay for the process: what this one writes must outlive the test (a local would be written after the
  // test returned, over whatever stack the next virtual step uses).
  static uint32_t listened;
  listened = 0;
  AddVirtualClockListener([](uint32_t now) { listened = now; });
  SleepMs(55);
  EXPECT_EQ(105, g_events.load());
  EXPECT_EQ(start + 1055, GetTickCount());
  EXPECT_EQ(GetTickCount(), listened);
  EXPECT_EQ(TIMERR_NOERROR, KillTimerEvent(id));
  EXPECT_EQ(TIMERR_NOCANDO, KillTimerEvent(id));
  WaitForTimerEvent();  // no timer: the clock still moves on by one step
  EXPECT_EQ(start + 1065, GetTickCount());
  EXPECT_EQ(105, g_events.load());
  EXPECT_EQ(0u, SetTimerEvent(0, 5, Count, 0, TIME_PERIODIC));
  UseVirtualTime(false);
}

TEST(Timer, RealTimeKeepsTheAverageRateAgainstAbsoluteDeadlines) {
  UseVirtualTime(false);
  g_events = 0;
  const auto start = std::chrono::steady_clock::now();
  uint32_t id = SetTimerEvent(10, 5, Count, 0, TIME_PERIODIC);
  ASSERT_NE(0u, id);
  // A waiter stalled for 105 ms is not owed fewer events: late events are caught up.
  std::this_thread::sleep_for(std::chrono::milliseconds(105));
  const uint64_t before = TimerEventCount();
  WaitForTimerEvent();
  EXPECT_GT(TimerEventCount(), before);
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  KillTimerEvent(id);
  const double elapsedMs =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  const int expected = static_cast<int>(elapsedMs / 10);
  EXPECT_GE(g_events.load(), expected - 3);
  EXPECT_LE(g_events.load(), expected + 1);
  const int after = g_events.load();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  EXPECT_EQ(after, g_events.load()) << "a killed timer stays quiet";
}

TEST(Timer, AnEventBetweenTheTestAndTheWaitEndsTheWaitAtOnce) {
  // The waiter read the count, tested its condition, and the event fired before it began to wait: it must not
  // sleep until the following event.
  UseVirtualTime(false);
  uint32_t id = SetTimerEvent(500, 5, Count, 0, TIME_PERIODIC);
  ASSERT_NE(0u, id);
  const uint64_t seen = TimerEventCount();
  while (TimerEventCount() == seen) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  const auto t0 = std::chrono::steady_clock::now();
  WaitForTimerEventAfter(seen);
  const double waitedMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  EXPECT_LT(waitedMs, 250.0) << "the next event is 500 ms away";
  KillTimerEvent(id);

  UseVirtualTime(true);
  id = SetTimerEvent(10, 5, Count, 0, TIME_PERIODIC);
  const uint64_t stale = TimerEventCount();
  WaitForTimerEvent();
  const uint32_t now = GetTickCount();
  WaitForTimerEventAfter(stale);
  EXPECT_EQ(now, GetTickCount()) << "virtual time does not move for an event already seen";
  WaitForTimerEventAfter(TimerEventCount());
  EXPECT_EQ(now + 10, GetTickCount());
  KillTimerEvent(id);
  UseVirtualTime(false);
}

TEST(Timer, TheFrameLoopIsRealtimeOnlyWhileItKeepsWaiting) {
  UseVirtualTime(false);
  const uint32_t id = SetTimerEvent(10, 5, Count, 0, TIME_PERIODIC);
  ASSERT_NE(0u, id);
  auto spin = [](int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
    }
  };
  bool granted = false;
  int policyWaiting = -1, policyComputing = -1, policyBack = -1;
  bool realtimeWaiting = false, realtimeComputing = true, realtimeBack = false;
  // A thread of its own: the frame loop's marks stay with it.
  std::thread loop([&] {
    granted = RaiseFrameLoopPriority();
    if (!granted) return;
    for (int i = 0; i < 20; ++i) {  // a loop that waits every tick keeps realtime
      spin(2);
      WaitForTimerEvent();
    }
    realtimeWaiting = FrameLoopIsRealtime();
    policyWaiting = sched_getscheduler(0);
    spin(3 * kFrameLoopRealtimeMs);  // computes on without waiting: handed back
    realtimeComputing = FrameLoopIsRealtime();
    policyComputing = sched_getscheduler(0);
    WaitForTimerEvent();  // and takes realtime again at its next wait
    realtimeBack = FrameLoopIsRealtime();
    policyBack = sched_getscheduler(0);
    spin(3 * kFrameLoopRealtimeMs);  // leave the process as it was found
  });
  loop.join();
  KillTimerEvent(id);
  if (!granted) GTEST_SKIP() << "this system refuses realtime priority";
  EXPECT_TRUE(realtimeWaiting);
  EXPECT_EQ(SCHED_FIFO | SCHED_RESET_ON_FORK, policyWaiting) << "a program started from the loop is not realtime";
  EXPECT_FALSE(realtimeComputing);
  EXPECT_EQ(SCHED_OTHER | SCHED_RESET_ON_FORK, policyComputing);
  EXPECT_TRUE(realtimeBack);
  EXPECT_EQ(SCHED_FIFO | SCHED_RESET_ON_FORK, policyBack);
}
