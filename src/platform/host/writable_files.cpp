#include "platform/host/writable_files.h"

#include <pwd.h>
#include <stdlib.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

namespace platform {

namespace {

constexpr const char* kSuiteName = "zorvel";

struct Redirect {
  std::string folder;  // canonical folder the game looks in
  std::string name;    // file name, matched without regard to case
  std::string target;  // where the file really lives
};

std::mutex g_redirectsMutex;
std::vector<Redirect> g_redirects;

std::string Canonical(const std::string& folder) {
  char* resolved = ::realpath(folder.empty() ? "." : folder.c_str(), nullptr);
  if (!resolved) return {};
  std::string out(resolved);
  std::free(resolved);
  return out;
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return home;
  if (const passwd* pw = ::getpwuid(::geteuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/') return pw->pw_dir;
  return {};
}

// $variable when it holds an absolute path (a relative one is to be ignored), else HOME/fallback.
std::string XdgFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return std::string(value) + "/" + kSuiteName;
  const std::string home = HomeFolder();
  if (home.empty()) return {};
  return home + "/" + fallback + "/" + kSuiteName;
}

bool MakeFolder(const std::string& folder, std::string* problem) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (ec && problem && problem->empty()) *problem = "Cannot make the folder " + folder + ": " + ec.message();
  return !ec;
}

// Copies an installed default to its writable place unless a file is there already; a copy is made under a
// temporary name first, so a half-copied file never stands in for the player's own.
void Seed(const std::string& from, const std::string& to, std::string* problem) {
  std::error_code ec;
  if (std::filesystem::exists(to, ec) || !std::filesystem::exists(from, ec)) return;
  const std::string temporary = to + ".seed";
  std::filesystem::copy_file(from, temporary, std::filesystem::copy_options::overwrite_existing, ec);
  if (!ec) {
    // Installed defaults are read-only; the player's copy must not be.
    std::filesystem::permissions(temporary,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                     std::filesystem::perms::group_read | std::filesystem::perms::others_read,
                                 ec);
  }
  if (!ec) std::filesystem::rename(temporary, to, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    if (problem && problem->empty()) *problem = "Cannot copy " + from + " to " + to;
  }
}

}  // namespace

bool RunsFromInstalledSuite(const std::string& suiteFolder) {
  const std::string program = Canonical("/proc/self/exe");
  const size_t slash = program.rfind('/');
  if (program.empty() || slash == std::string::npos) return false;
  const std::string shared = Canonical(program.substr(0, slash) + "/../share/" + kSuiteName);
  return !shared.empty() && shared == Canonical(suiteFolder);
}

bool FolderWritable(const std::string& folder) {
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  mode_t bit = S_IWOTH;
  if (st.st_uid == ::geteuid()) {
    bit = S_IWUSR;
  } else if (st.st_gid == ::getegid()) {
    bit = S_IWGRP;
  } else {
    std::vector<gid_t> groups(64);
    const int n = ::getgroups(static_cast<int>(groups.size()), groups.data());
    for (int i = 0; i < n; ++i)
      if (groups[static_cast<size_t>(i)] == st.st_gid) bit = S_IWGRP;
  }
  // The bits say yes; a read-only mount can still say no.
  return (st.st_mode & bit) != 0 && ::access(folder.c_str(), W_OK) == 0;
}

WritableFiles LocateWritableFiles(const std::string& suiteFolder, const std::string& gameFolder,
                                  std::string* problem) {
  WritableFiles files;
  // A suite without its game folder yet (a launcher alone) is judged by the suite folder.
  // An installed suite holds the defaults every new player copies: even an administrator who could write there keeps
  // their own files in their home.
  struct stat st;
  files.inPlace = !RunsFromInstalledSuite(suiteFolder) &&
                  FolderWritable(::stat(gameFolder.c_str(), &st) == 0 ? gameFolder : suiteFolder);
  if (!files.inPlace) {
    const std::string config = XdgFolder("XDG_CONFIG_HOME", ".config");
    const std::string data = XdgFolder("XDG_DATA_HOME", ".local/share");
    if (config.empty() || data.empty()) {
      if (problem) *problem = "Cannot find the home folder for the players' settings and scores";
      files.inPlace = true;
    } else {
      files.options = config + "/options.ini";
      files.setup = config + "/setup.ini";
      files.hiscore = data + "/hiscore.dat";
      files.lastResult = data + "/lastgame.ini";
      if (MakeFolder(config, problem)) {
        Seed(suiteFolder + "/options.ini", files.options, problem);
        Seed(gameFolder + "/setup.ini", files.setup, problem);
      }
      if (MakeFolder(data, problem)) Seed(gameFolder + "/hiscore.dat", files.hiscore, problem);
      return files;
    }
  }
  files.options = suiteFolder + "/options.ini";
  files.setup = gameFolder + "/setup.ini";
  files.hiscore = gameFolder + "/hiscore.dat";
  files.lastResult = gameFolder + "/lastgame.ini";
  return files;
}

void UseWritableFiles(const WritableFiles& files, const std::string& suiteFolder, const std::string& gameFolder) {
  std::lock_guard<std::mutex> lock(g_redirectsMutex);
  g_redirects.clear();
  if (files.inPlace) return;
  const std::string suite = Canonical(suiteFolder), game = Canonical(gameFolder);
  if (!suite.empty()) g_redirects.push_back({suite, "options.ini", files.options});
  if (!game.empty()) {
    g_redirects.push_back({game, "setup.ini", files.setup});
    g_redirects.push_back({game, "hiscore.dat", files.hiscore});
    g_redirects.push_back({game, "lastgame.ini", files.lastResult});
  }
}

std::string RedirectWritablePath(const std::string& path) {
  std::lock_guard<std::mutex> lock(g_redirectsMutex);
  if (g_redirects.empty()) return path;
  const size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  std::string folder;
  bool resolved = false;
  for (const Redirect& r : g_redirects) {
    if (::strcasecmp(r.name.c_str(), name.c_str()) != 0) continue;
    if (!resolved) {
      folder = Canonical(slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash)));
      resolved = true;
    }
    if (folder == r.folder) return r.target;
  }
  return path;
}

}  // namespace platform
