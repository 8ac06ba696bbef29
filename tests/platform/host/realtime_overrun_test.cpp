#include "platform/host/realtime_overrun.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "platform/host/system_calls.h"

namespace platform::host {
namespace {

// Whether this process may take a realtime class at all (root or a realtime allowance); probed on a scratch thread
// so that the guard never hears of it.
bool SystemGrantsRealtime() {
  bool granted = false;
  std::thread probe([&] {
    sched_param param{};
    param.sched_priority = 1;
    granted = pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) == 0;
  });
  probe.join();
  return granted;
}

// A thread's class without the "programs started do not inherit it" flag.
int SchedulingClass(int tid) { return sched_getscheduler(tid) & ~SCHED_RESET_ON_FORK; }

// In a child process: a 20 ms soft cap (as SDL sets 100 ms), a realtime thread that never sleeps, and a second
// realtime thread made by "a library" (not through our calls) that sleeps. Without the guard the child dies of
// SIGXCPU; with it both threads are moved back to the normal class and later requests are refused.
void SpinPastTheCap() {
  // Only lowered, so that no right to raise a limit is needed: a hard cap the system set below 2 s stays.
  rlimit cap{};
  if (getrlimit(RLIMIT_RTTIME, &cap) != 0) std::_Exit(2);
  if (cap.rlim_max == RLIM_INFINITY || cap.rlim_max > 2000000) cap.rlim_max = 2000000;
  cap.rlim_cur = std::min<rlim_t>(20000, cap.rlim_max / 2);
  if (setrlimit(RLIMIT_RTTIME, &cap) != 0) std::_Exit(2);
  std::atomic<int> libraryThread{0};
  std::atomic<bool> done{false};
  std::thread library([&] {
    sched_param param{};
    param.sched_priority = 2;
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) != 0) std::_Exit(5);
    libraryThread.store(CurrentThreadId());
    while (!done.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  while (libraryThread.load() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  int result = 3;
  std::thread spinner([&] {
    if (!MakeCallingThreadRealtime()) return;
    const auto start = std::chrono::steady_clock::now();
    while (SchedulingClass(0) != SCHED_OTHER && std::chrono::steady_clock::now() - start < std::chrono::seconds(1)) {
    }
    const bool movedBack = SchedulingClass(0) == SCHED_OTHER && SchedulingClass(libraryThread.load()) == SCHED_OTHER;
    const bool refusedAfter = !MakeCallingThreadRealtime() && !SetThreadRealtime(CurrentThreadId(), 5);
    result = movedBack && RealtimeWithdrawn() && refusedAfter ? 0 : 4;
  });
  spinner.join();
  done.store(true);
  library.join();
  std::_Exit(result);
}

TEST(RealtimeOverrun, AThreadThatRunsPastTheSystemsCapIsMovedBackInsteadOfEndingTheGame) {
  if (!SystemGrantsRealtime()) GTEST_SKIP() << "this system grants no realtime class";
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(SpinPastTheCap(), ::testing::ExitedWithCode(0), "ran too long without a pause");
  EXPECT_FALSE(RealtimeWithdrawn()) << "the overrun was the child's";
}

}  // namespace
}  // namespace platform::host
