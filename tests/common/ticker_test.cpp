#include "common/ticker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {
void Events(int n) {
  for (int i = 0; i < n; ++i) {
    tickCounter.fetch_add(10);
    TickerEvent();
  }
}
}  // namespace

TEST(Ticker, CountsTheGameClockDownOncePerSecondWhileRunning) {
  ResetTickerForTest();
  SetGameClock(180);
  const int32_t mark = TickNow();
  Events(99);
  EXPECT_EQ(180, GetGameClock()) << "990 ms are not yet a second";
  Events(1);
  EXPECT_EQ(179, GetGameClock());
  EXPECT_EQ(1000, TicksSince(mark));

  PauseGameClock();
  Events(300);
  EXPECT_EQ(179, GetGameClock()) << "paused for three seconds";
  RunGameClock();
  Events(100);
  EXPECT_EQ(178, GetGameClock()) << "the next decrement comes within a second of running again";

  SetGameClock(1);
  Events(200);
  EXPECT_EQ(0, GetGameClock()) << "stops at 0";
}

TEST(Ticker, TimeBonusIsCappedAndNeverLosesADecrement) {
  ResetTickerForTest();
  SetGameClock(170);
  EXPECT_EQ(180, AddToGameClock(20, 180));
  SetGameClock(100);
  EXPECT_EQ(120, AddToGameClock(20, 180));

  // The timer thread counts down while the main thread adds bonuses: every second and every bonus must count.
  SetGameClock(100000);
  RunGameClock();
  std::atomic<bool> go{false};
  std::thread timer([&] {
    while (!go) {
    }
    Events(100 * 500);  // 500 seconds
  });
  go = true;
  for (int i = 0; i < 500; ++i) AddToGameClock(1, 1000000);
  timer.join();
  EXPECT_EQ(100000 - 500 + 500, GetGameClock());
}

TEST(Ticker, RealTickerAdvancesInStepsOfTen) {
  ResetTickerForTest();
  ASSERT_EQ(0, StartTicker());
  ASSERT_TRUE(TickerRunning());
  const int32_t mark = TickNow();
  while (TicksSince(mark) < 50) WaitForTick();
  EXPECT_EQ(0, TickNow() % 10);
  StopTicker();
  EXPECT_FALSE(TickerRunning());
  // Without a timer the fallback clock still moves time on.
  const int32_t before = TickNow();
  WaitForTick();
  WaitForTick();
  EXPECT_GE(TickNow(), before + 10);
}
