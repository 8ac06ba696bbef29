#include "platform/host/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace platform {

std::string ScopedFileLock::LockPathFor(const std::string& hostPath) {
  // A linked file is replaced in its target's folder, so every program must meet at the target's lock.
  if (char* resolved = ::realpath(hostPath.c_str(), nullptr)) {
    std::string target(resolved);
    std::free(resolved);
    return target + ".lock";
  }
  return hostPath + ".lock";
}

ScopedFileLock::ScopedFileLock(const std::string& hostPath, int waitMs) {
  const std::string lockPath = LockPathFor(hostPath);
  int fd;
  do {
    fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return;
  // Polled rather than blocking, so a holder that hangs cannot hang this program with it.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      fd_ = fd;
      return;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) break;
    if (std::chrono::steady_clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ::close(fd);
}

ScopedFileLock::~ScopedFileLock() {
  if (fd_ < 0) return;
  ::flock(fd_, LOCK_UN);
  ::close(fd_);
}

}  // namespace platform
