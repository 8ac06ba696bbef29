#include "platform/host/system_calls.h"

#include "platform/host/realtime_overrun.h"

#include <glob.h>
#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#if defined(__EMSCRIPTEN__)
#include <emscripten.h>
#else
#include <linux/futex.h>
#include <sys/syscall.h>
#endif

#include <cerrno>
#include <climits>
#include <ctime>

namespace platform::host {

static_assert(sizeof(std::atomic<uint32_t>) == sizeof(uint32_t), "futex words must be plain 32-bit words");

#if defined(__EMSCRIPTEN__)
// Nobody else can change the word, so a wait is a sleep until its deadline, and a wait without one returns at once.
bool WaitOnWord(std::atomic<uint32_t>&, uint32_t, const SteadyTime* deadline) {
  if (!deadline) return true;
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(*deadline - std::chrono::steady_clock::now()).count();
  if (left > 0) emscripten_sleep(static_cast<unsigned>(left));
  return false;
}

void WakeAllOnWord(std::atomic<uint32_t>&) {}

int CurrentThreadId() { return 1; }
#else
namespace {
uint32_t* Word(std::atomic<uint32_t>& a) { return reinterpret_cast<uint32_t*>(&a); }
}  // namespace

bool WaitOnWord(std::atomic<uint32_t>& word, uint32_t expected, const SteadyTime* deadline) {
  timespec relative{};
  timespec* timeout = nullptr;
  if (deadline) {
    auto left = *deadline - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return false;
    auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    relative.tv_sec = static_cast<time_t>(ns / 1000000000);
    relative.tv_nsec = static_cast<long>(ns % 1000000000);
    timeout = &relative;
  }
  long r = syscall(SYS_futex, Word(word), FUTEX_WAIT_PRIVATE, expected, timeout, nullptr, 0);
  return !(r == -1 && errno == ETIMEDOUT);
}

void WakeAllOnWord(std::atomic<uint32_t>& word) {
  syscall(SYS_futex, Word(word), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}

int CurrentThreadId() { return static_cast<int>(syscall(SYS_gettid)); }
#endif

void SleepUntil(SteadyTime when) {
#if !defined(__EMSCRIPTEN__)
  // The steady clock is the monotonic clock; an absolute sleep is not stretched by a signal's interruption.
  const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(when.time_since_epoch()).count();
  if (ns <= 0) return;
  timespec at{};
  at.tv_sec = static_cast<time_t>(ns / 1000000000);
  at.tv_nsec = static_cast<long>(ns % 1000000000);
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &at, nullptr) == EINTR) {
  }
#else
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(when - std::chrono::steady_clock::now()).count();
  if (left > 0) emscripten_sleep(static_cast<unsigned>(left));
#endif
}

bool SetThreadNice(int threadId, int nice) {
  return setpriority(PRIO_PROCESS, static_cast<id_t>(threadId), nice) == 0;
}

bool MakeCallingThreadRealtime() {
  if (RealtimeWithdrawn()) return false;
  // Above every normal thread, below the system's own.
  sched_param param{};
  param.sched_priority = 10;
  if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) != 0) return false;
  GuardRealtimeOverrun();
  return true;
}

bool SetThreadRealtime(int threadId, int priority) {
#if !defined(__EMSCRIPTEN__)
  if (RealtimeWithdrawn()) return false;
  sched_param param{};
  param.sched_priority = priority;
  if (sched_setscheduler(threadId, SCHED_FIFO | SCHED_RESET_ON_FORK, &param) != 0) return false;
  GuardRealtimeOverrun();
  return true;
#else
  (void)threadId, (void)priority;
  return false;
#endif
}

void SetThreadNormalClass(int threadId) {
#if !defined(__EMSCRIPTEN__)
  sched_param param{};
  sched_setscheduler(threadId, SCHED_OTHER | SCHED_RESET_ON_FORK, &param);
#else
  (void)threadId;
#endif
}

void NameCallingThread(const char* name) {
#if !defined(__EMSCRIPTEN__)
  pthread_setname_np(pthread_self(), name);
#else
  (void)name;
#endif
}

bool HasGraphicsCard() {
  glob_t found{};
  const bool any = glob("/dev/dri/renderD*", 0, nullptr, &found) == 0 && found.gl_pathc > 0;
  globfree(&found);
  return any;
}

bool StartDetachedProgram(const std::string& program, const std::vector<std::string>& args, const std::string& workDir) {
  if (::access(program.c_str(), X_OK) != 0) return false;
  std::vector<std::string> argStore = args;
  // Double fork so the launched program is not our child and outlives us without becoming a zombie.
  pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    if (::fork() != 0) ::_exit(0);
    ::setsid();
    if (!workDir.empty() && ::chdir(workDir.c_str()) != 0) ::_exit(127);
    std::vector<char*> argv;
    for (auto& a : argStore) argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return true;
}

}  // namespace platform::host
