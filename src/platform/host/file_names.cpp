#include "platform/host/file_names.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

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

std::FILE* OpenFile(std::string_view gameName, const char* mode) {
  return std::fopen(HostPath(gameName).c_str(), mode);
}

bool FileExists(std::string_view gameName) { return Exists(HostPath(gameName)); }

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
