#include "platform/host/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/host/file_names.h"

namespace platform {

namespace {

bool WriteAll(int fd, const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t written = ::write(fd, bytes, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

std::function<void()>& Keeper() {
  static std::function<void()> keeper;
  return keeper;
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool ReplaceFileContent(std::string_view gameName, const void* data, size_t size) {
  const std::string path = HostPath(gameName);
  // A file the player made read-only stays as it is, even for a user whom the folder would let replace it.
  struct stat existing;
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && (!S_ISREG(existing.st_mode) || (existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                 ::access(path.c_str(), W_OK) != 0)) {
    return false;
  }
  // A name of its own for every save: whatever an interrupted save or anything else left behind cannot block it.
  std::string temporary = path + ".tmp.XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return false;
  const mode_t mode = exists ? (existing.st_mode & 0777) : 0644;
  bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, data, size) && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  // Make the rename itself durable; the new content is already in place if this fails.
  int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    ::fsync(folder);
    ::close(folder);
  }
  if (Keeper()) Keeper()();
  return true;
}

void SetReplacedFileKeeper(std::function<void()> keep) { Keeper() = std::move(keep); }

}  // namespace platform
