#include "platform/host/realtime_overrun.h"

#include <atomic>

#if !defined(__EMSCRIPTEN__)
#include <fcntl.h>
#include <sched.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstddef>
#include <mutex>
#endif

namespace platform::host {

namespace {

std::atomic<bool> g_withdrawn{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler sets it");

#if !defined(__EMSCRIPTEN__)
// What follows runs in a signal handler: system calls, atomics and plain arithmetic only (no allocation, no stdio).

int ParseThreadId(const char* name) {
  int tid = 0;
  for (; *name; ++name) {
    if (*name < '0' || *name > '9') return 0;
    tid = tid * 10 + (*name - '0');
  }
  return tid;
}

void MoveToNormalClassIfRealtime(int tid) {
  const int policy = static_cast<int>(syscall(SYS_sched_getscheduler, tid));
  if (policy < 0) return;
  const int base = policy & ~SCHED_RESET_ON_FORK;
  if (base != SCHED_FIFO && base != SCHED_RR) return;
  sched_param param{};
  syscall(SYS_sched_setscheduler, tid, SCHED_OTHER | SCHED_RESET_ON_FORK, &param);
}

// Every thread of this process, read straight from the kernel's directory entries.
void MoveAllThreadsToNormalClass() {
  const int dir = open("/proc/self/task", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;
  alignas(8) char buffer[4096];
  for (;;) {
    const long got = syscall(SYS_getdents64, dir, buffer, sizeof buffer);
    if (got <= 0) break;
    for (long at = 0; at < got;) {
      // struct linux_dirent64: inode (8), offset (8), record length (2), type (1), name
      unsigned short length = 0;
      __builtin_memcpy(&length, buffer + at + 16, sizeof length);
      const int tid = ParseThreadId(buffer + at + 19);
      if (tid > 0) MoveToNormalClassIfRealtime(tid);
      at += length;
    }
  }
  close(dir);
}

void WithdrawRealtime(int) {
  const int savedErrno = errno;
  if (!g_withdrawn.exchange(true)) {
    static const char kMessage[] =
        "Zorvel: a realtime thread ran too long without a pause; the game goes on at normal priority.\n";
    [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  }
  MoveAllThreadsToNormalClass();
  errno = savedErrno;
}
#endif

}  // namespace

void GuardRealtimeOverrun() {
#if !defined(__EMSCRIPTEN__)
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action {};
    action.sa_handler = WithdrawRealtime;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGXCPU, &action, nullptr);
  });
#endif
}

bool RealtimeWithdrawn() { return g_withdrawn.load(); }

}  // namespace platform::host
