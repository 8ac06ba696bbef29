#include "platform/host/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
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

bool ReplaceHostFile(const std::string& hostPath, const void* data, size_t size, std::string* error) {
  auto fail = [&](const std::string& what) {
    if (error) *error = what;
    return false;
  };
  std::string path = hostPath;
  // A link stays a link: its target is what gets replaced, in the target's folder where the rename can land.
  struct stat link;
  if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return fail(hostPath + " is a link to nothing");
    path = resolved;
    std::free(resolved);
  }
  // A file the player made read-only stays as it is, even for a user whom the folder would let replace it.
  struct stat existing;
  const bool exists = ::stat(path.c_str(), &existing) == 0;
  if (exists && !S_ISREG(existing.st_mode)) return fail(hostPath + " is not a plain file");
  if (exists && ((existing.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0))
    return fail(hostPath + " is write-protected");
  // A name of its own for every save: whatever an interrupted save or anything else left behind cannot block it.
  std::string temporary = path + ".tmp.XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return fail("Cannot create a file beside " + hostPath + ": " + std::strerror(errno));
  const mode_t mode = exists ? (existing.st_mode & 07777) : 0644;
  bool ok = ::fchmod(fd, mode) == 0;
  // An administrator changing a player's file must not take it from them.
  if (ok && exists && ::geteuid() == 0 && (existing.st_uid != 0 || existing.st_gid != 0))
    ok = ::fchown(fd, existing.st_uid, existing.st_gid) == 0 && ::fchmod(fd, mode) == 0;
  ok = ok && WriteAll(fd, data, size) && ::fsync(fd) == 0;
  const int writeError = errno;
  ok = (::close(fd) == 0) && ok;
  if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(ok ? errno : writeError);
    ::unlink(temporary.c_str());
    return fail("Cannot save " + hostPath + ": " + reason);
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

bool ReplaceFileContent(std::string_view gameName, const void* data, size_t size) {
  return ReplaceHostFile(HostPath(gameName), data, size);
}

void RemoveStaleTemporaries(std::string_view gameName) {
  std::string path = HostPath(gameName);
  if (char* resolved = ::realpath(path.c_str(), nullptr)) {
    path = resolved;
    std::free(resolved);
  }
  const std::string folder = FolderOf(path);
  const std::string prefix = path.substr(path.rfind('/') + 1) + ".tmp.";
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string name = entry->d_name;
    // mkstemp's six characters after the prefix, and nothing else.
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    struct stat st;
    const std::string full = folder + "/" + name;
    if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(full.c_str());
  }
  ::closedir(dir);
}

std::string KeepFileAside(std::string_view gameName, const std::string& why) {
  const std::string path = HostPath(gameName);
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  char stamp[32] = "undated";
  if (::localtime_r(&now, &local)) std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  const std::string base = path + "." + why + "-" + stamp;
  for (int n = 0; n < 100; ++n) {
    const std::string aside = n == 0 ? base : base + "-" + std::to_string(n);
    // link then unlink: unlike rename, link never replaces a file kept aside before.
    if (::link(path.c_str(), aside.c_str()) == 0) {
      if (::unlink(path.c_str()) == 0) return aside;
      ::unlink(aside.c_str());
      return {};
    }
    if (errno == EEXIST) continue;
    // A file system without hard links: rename, having made sure nothing is there to be replaced.
    if ((errno == EPERM || errno == EOPNOTSUPP) && ::access(aside.c_str(), F_OK) != 0 &&
        std::rename(path.c_str(), aside.c_str()) == 0)
      return aside;
    break;
  }
  return {};
}

void SetReplacedFileKeeper(std::function<void()> keep) { Keeper() = std::move(keep); }

}  // namespace platform
