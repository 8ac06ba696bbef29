// The events and threads the sound engine waits on.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/timer/event.h"
#include "platform/timer/thread.h"

using namespace platform;

namespace {

TEST(AudioEvents, AutoResetManualResetAndWaitingOnMany) {
  Event* autoReset = CreateEvent(false, false);
  Event* manual = CreateEvent(true, true);
  EXPECT_EQ(WaitForEvent(autoReset, 0), WAIT_TIMEOUT);
  SetEvent(autoReset);
  SetEvent(autoReset);  // two signals before a wait are one
  EXPECT_EQ(WaitForEvent(autoReset, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForEvent(autoReset, 0), WAIT_TIMEOUT);
  EXPECT_EQ(WaitForEvent(manual, 0), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForEvent(manual, 0), WAIT_OBJECT_0) << "manual reset stays signalled";
  ResetEvent(manual);
  EXPECT_EQ(WaitForEvent(manual, 0), WAIT_TIMEOUT);

  Event* set[3] = {CreateEvent(false, false), CreateEvent(false, false), CreateEvent(false, false)};
  SetEvent(set[2]);
  SetEvent(set[1]);
  EXPECT_EQ(WaitForAnyEvent(3, set, 0), WAIT_OBJECT_0 + 1) << "the lowest signalled index";
  EXPECT_EQ(WaitForAnyEvent(3, set, 0), WAIT_OBJECT_0 + 2);
  EXPECT_EQ(WaitForAnyEvent(3, set, 0), WAIT_TIMEOUT);
  Event* withNull[2] = {set[0], nullptr};
  EXPECT_EQ(WaitForAnyEvent(2, withNull, 0), WAIT_FAILED);
  EXPECT_EQ(WaitForAnyEvent(65, set, 0), WAIT_FAILED);

  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_EQ(WaitForAnyEvent(3, set, 30), WAIT_TIMEOUT);
  EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(30));

  // A signal from another thread wakes a sleeping waiter.
  Thread* signaller = CreateThread([&] {
    SetEvent(set[0]);
    return 0u;
  });
  ASSERT_NE(signaller, nullptr);
  EXPECT_EQ(WaitForAnyEvent(3, set, INFINITE), WAIT_OBJECT_0);
  EXPECT_EQ(WaitForThread(signaller, 2000), WAIT_OBJECT_0);
  CloseThread(signaller);
  for (Event* e : set) CloseEvent(e);
  CloseEvent(autoReset);
  CloseEvent(manual);
}

TEST(AudioEvents, MixerSignalsCountAsWorkUntilTheWokenThreadWaitsAgain) {
  Event* work = CreateEvent(false, false);
  Event* done = CreateEvent(false, false);
  std::atomic<int> handled{0};
  std::atomic<bool> quit{false};
  Thread* worker = CreateThread([&] {
    while (WaitForEvent(work, INFINITE) == WAIT_OBJECT_0 && !quit.load()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the work takes a while
      handled.fetch_add(1);
    }
    return 0u;
  });
  ASSERT_TRUE(WaitUntilMixerSignalsHandled(100));
  SetEventFromMixer(work);
  EXPECT_TRUE(WaitUntilMixerSignalsHandled(2000));
  EXPECT_EQ(handled.load(), 1) << "the wait ends only after the work, when the worker waits again";
  SetEventFromMixer(done);  // nobody waits on it: the wait gives up
  EXPECT_FALSE(WaitUntilMixerSignalsHandled(30));
  ResetEvent(done);
  EXPECT_TRUE(WaitUntilMixerSignalsHandled(100)) << "a reset takes the signal back";
  CloseEvent(done);
  quit.store(true);
  SetEvent(work);
  EXPECT_EQ(WaitForThread(worker, 2000), WAIT_OBJECT_0);
  CloseThread(worker);
  CloseEvent(work);
}

TEST(AudioThreads, PriorityAndHandles) {
  std::atomic<bool> go{false};
  Thread* t = CreateThread([&] {
    while (!go.load()) std::this_thread::yield();
    return 0u;
  });
  ASSERT_NE(t, nullptr);
  EXPECT_TRUE(SetThreadPriority(t, THREAD_PRIORITY_LOWEST));
  EXPECT_EQ(GetThreadPriority(t), THREAD_PRIORITY_LOWEST);
  EXPECT_FALSE(SetThreadPriority(t, 2)) << "raising above normal is refused";
  EXPECT_FALSE(IsCurrentThread(t));
  EXPECT_EQ(WaitForThread(t, 10), WAIT_TIMEOUT);
  go.store(true);
  EXPECT_EQ(WaitForThread(t, 2000), WAIT_OBJECT_0);
  CloseThread(t);
  // A running thread whose handle is closed finishes by itself.
  std::atomic<bool> finished{false};
  Thread* detached = CreateThread([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    finished.store(true);
    return 0u;
  });
  CloseThread(detached);
  for (int i = 0; i < 2000 && !finished.load(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(finished.load());
}

}  // namespace
