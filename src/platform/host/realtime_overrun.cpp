#include "platform/host/realtime_overrun.h"

#include <sched.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <mutex>

namespace platform::host {

namespace {

// The game has two realtime threads (the ticker and the frame loop); room for a few more that tests start.
constexpr int kMaxRealtimeThreads = 8;
std::atomic<int> g_realtimeThreads[kMaxRealtimeThreads];
std::atomic<bool> g_withdrawn{false};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the signal handler reads these");

#if !defined(__EMSCRIPTEN__)
// Runs in a signal handler: atomics and system calls only.
void WithdrawRealtime(int) {
  const int savedErrno = errno;
  if (!g_withdrawn.exchange(true)) {
    static const char kMessage[] =
        "Zorvel: a realtime thread ran too long without a pause; the game goes on at normal priority.\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  }
  for (auto& slot : g_realtimeThreads) {
    const int tid = slot.load();
    if (tid == 0) continue;
    sched_param param{};
    sched_setscheduler(tid, SCHED_OTHER | SCHED_RESET_ON_FORK, &param);
  }
  errno = savedErrno;
}

void InstallHandlerOnce() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action {};
    action.sa_handler = WithdrawRealtime;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGXCPU, &action, nullptr);
  });
}
#else
void InstallHandlerOnce() {}
#endif

}  // namespace

void NoteRealtimeThread(int threadId) {
  if (threadId == 0) return;
  InstallHandlerOnce();
  for (auto& slot : g_realtimeThreads)
    if (slot.load() == threadId) return;
  for (auto& slot : g_realtimeThreads) {
    int empty = 0;
    if (slot.compare_exchange_strong(empty, threadId)) return;
  }
}

void ForgetRealtimeThread(int threadId) {
  if (threadId == 0) return;
  for (auto& slot : g_realtimeThreads) {
    int expected = threadId;
    slot.compare_exchange_strong(expected, 0);
  }
}

bool RealtimeWithdrawn() { return g_withdrawn.load(); }

}  // namespace platform::host
