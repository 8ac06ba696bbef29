#include "launcher/launcher_store.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

#include "platform/host/file_lock.h"
#include "platform/host/profile.h"

namespace hubbix {

LauncherStore::LauncherStore(std::string optionsFile, std::string setupFile, const BitmapFont* font)
    : optionsFile_(std::move(optionsFile)), setupFile_(std::move(setupFile)), font_(font), options_({}, font) {
  Reload();
  if (!setupFile_.empty()) setup_.Load(setupFile_);
}

std::pair<int64_t, int64_t> LauncherStore::Stamp() const {
  std::error_code e;
  const auto time = std::filesystem::last_write_time(optionsFile_, e);
  if (e) return {-1, -1};
  const auto size = std::filesystem::file_size(optionsFile_, e);
  return {static_cast<int64_t>(time.time_since_epoch().count()), e ? -1 : static_cast<int64_t>(size)};
}

bool LauncherStore::Reload() {
  if (optionsFile_.empty()) return true;
  const auto stamp = Stamp();
  IniDocument doc;
  if (!doc.Load(optionsFile_)) return false;
  options_ = SuiteOptions(std::move(doc), font_);
  stamp_ = stamp;
  return true;
}

bool LauncherStore::ReloadIfChanged() {
  if (optionsFile_.empty() || Stamp() == stamp_) return false;
  return Reload();
}

bool LauncherStore::Change(const std::function<bool(SuiteOptions&, std::string*)>& change, std::string* error) {
  // A window and a command (or two windows) changing the options at once: each change holds the file's lock from
  // its read to its write, so none is lost.
  std::optional<platform::ScopedFileLock> lock;
  if (!optionsFile_.empty()) lock.emplace(optionsFile_);
  if (!Reload()) {
    if (error) *error = "Cannot read " + optionsFile_ + ": " + std::strerror(errno);
    return false;
  }
  SuiteOptions changed = options_;
  if (!change(changed, error)) return false;
  if (!optionsFile_.empty() && !changed.Document().Save(optionsFile_, error)) return false;
  options_ = std::move(changed);
  stamp_ = Stamp();
  return true;
}

bool LauncherStore::FullScreen() const {
  return platform::ProfileInt(setup_.Get("setup", "fullscreen", "0").c_str()) != 0;
}

bool LauncherStore::SetFullScreen(bool on, std::string* error) {
  std::optional<platform::ScopedFileLock> lock;
  if (!setupFile_.empty()) lock.emplace(setupFile_);
  IniDocument fresh = setup_;
  if (!setupFile_.empty() && !fresh.Load(setupFile_)) {
    if (error) *error = "Cannot read " + setupFile_ + ": " + std::strerror(errno);
    return false;
  }
  fresh.Set("setup", "fullscreen", on ? "1" : "0");
  if (!setupFile_.empty() && !fresh.Save(setupFile_, error)) return false;
  setup_ = std::move(fresh);
  return true;
}

}  // namespace hubbix
