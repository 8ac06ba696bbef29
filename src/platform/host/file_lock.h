#pragma once
// One program at a time in a read-change-write of a shared file (the hall of fame, the launcher's options): two
// games of one suite, or two launchers, would otherwise each write what they read and lose the other's change.
#include <string>

namespace platform {

// Holds an exclusive lock on "<file>.lock" beside `hostPath` for its lifetime. Every program that changes the
// file takes the same lock, then reads the file again, changes it and replaces it before letting go.
class ScopedFileLock {
 public:
  // Waits up to `waitMs` for another holder to let go. A lock that cannot be had (a read-only folder, a holder that
  // never lets go) leaves Held() false: the caller goes on without it, as nothing it could write would be safer.
  explicit ScopedFileLock(const std::string& hostPath, int waitMs = 10000);
  ~ScopedFileLock();
  ScopedFileLock(const ScopedFileLock&) = delete;
  ScopedFileLock& operator=(const ScopedFileLock&) = delete;

  bool Held() const { return fd_ >= 0; }
  // The lock file for a file: beside the file itself, or beside the target of a symbolic link.
  static std::string LockPathFor(const std::string& hostPath);

 private:
  int fd_ = -1;
};

}  // namespace platform
