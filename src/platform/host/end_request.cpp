#include "platform/host/end_request.h"

#include <atomic>
#include <signal.h>

namespace platform::host {

namespace {

std::atomic<int> requests{0};
std::atomic<bool> pending{false};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free,
              "the signal handler may only touch lock-free atomics");

void OnEndSignal(int) {
  // A logout may send both signals at once; they are one request to end. The close runs on the main thread.
  requests.fetch_add(1);
  pending.store(true);
}

}  // namespace

void CatchEndRequests() {
  struct sigaction action {};
  action.sa_handler = OnEndSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

bool TakeEndRequest() { return pending.exchange(false); }

bool EndRequested() { return requests.load() > 0; }

}  // namespace platform::host
