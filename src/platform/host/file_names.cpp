#include "platform/host/file_names.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/host/writable_files.h"

namespace platform {

namespace {

bool Exists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

// Finds `name` in `dir` ignoring case; returns the name as stored, or empty.
std::string MatchInDirectory(const std::string& dir, const std::string& name) {
  DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return {};
  std::string found;
  while (dirent* entry = ::readdir(d)) {
    if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(d);
  return found;
}

}  // namespace

std::string HostPath(std::string_view gameName) {
  std::string path(gameName);
  for (char& c : path)
    if (c == '\\') c = '/';
  // The files a player's game writes may live elsewhere than the game folder (an installed, read-only suite).
  if (std::string moved = RedirectWritablePath(path); moved != path) return moved;
  if (path.empty() || Exists(path)) return path;

  // Walk the components, matching each one without regard to case.
  std::string built = path[0] == '/' ? "/" : "";
  size_t pos = path[0] == '/' ? 1 : 0;
  while (pos <= path.size()) {
    size_t slash = path.find('/', pos);
    std::string part = path.substr(pos, slash == std::string::npos ? std::string::npos : slash - pos);
    pos = slash == std::string::npos ? path.size() + 1 : slash + 1;
    if (part.empty()) continue;
    std::string candidate = built + part;
    if (part != "." && part != ".." && !Exists(candidate)) {
      std::string match = MatchInDirectory(built.empty() ? "." : built, part);
      if (match.empty()) return path;  // nothing better: let the caller's open fail on the literal path
      candidate = built + match;
    }
    built = candidate;
    if (slash != std::string::npos) built += '/';
  }
  return built;
}

int OpenRegularFileForReading(const std::string& hostPath) {
  int fd;
  do {
    fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = error;
    return -1;
  }
  // A regular file never blocks anyway; clearing the flag keeps reads plain for every reader.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

std::FILE* OpenRegularFile(const std::string& hostPath) {
  const int fd = OpenRegularFileForReading(hostPath);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, "rb");
  if (!file) ::close(fd);
  return file;
}

bool ReadRegularFile(const std::string& hostPath, std::string* content, size_t limit) {
  content->clear();
  const int fd = OpenRegularFileForReading(hostPath);
  if (fd < 0) return false;
  char chunk[65536];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || content->size() + static_cast<size_t>(n) > limit) {
      const bool ok = n == 0;
      ::close(fd);
      if (!ok && n > 0) errno = EFBIG;
      if (!ok) content->clear();
      return ok;
    }
    content->append(chunk, static_cast<size_t>(n));
  }
}

std::FILE* OpenFile(std::string_view gameName, const char* mode) {
  if (!mode || mode[0] != 'r' || std::string_view(mode).find('+') != std::string_view::npos) {
    errno = EINVAL;
    return nullptr;
  }
  return OpenRegularFile(HostPath(gameName));
}

bool FileExists(std::string_view gameName) { return Exists(HostPath(gameName)); }

bool IsRegularFile(std::string_view gameName) {
  struct stat st;
  return ::stat(HostPath(gameName).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string HostProgramPath(std::string_view gameName) {
  std::string path = HostPath(gameName);
  if (Exists(path)) return path;
  const std::string suffix = ".exe";
  if (path.size() > suffix.size() && ::strcasecmp(path.c_str() + path.size() - suffix.size(), ".exe") == 0) {
    std::string bare = HostPath(std::string(gameName.substr(0, gameName.size() - suffix.size())));
    if (Exists(bare)) return bare;
  }
  return path;
}

}  // namespace platform
