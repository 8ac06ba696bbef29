#include "launcher/launcher_store.h"

#include <cerrno>
#include <cstring>

#include "platform/host/profile.h"

namespace hubbix {

LauncherStore::LauncherStore(std::string optionsFile, std::string setupFile)
    : optionsFile_(std::move(optionsFile)), setupFile_(std::move(setupFile)) {
  Reload();
  if (!setupFile_.empty()) setup_.Load(setupFile_);
}

bool LauncherStore::Reload() {
  if (optionsFile_.empty()) return true;
  IniDocument doc;
  if (!doc.Load(optionsFile_)) return false;
  options_ = SuiteOptions(std::move(doc));
  return true;
}

bool LauncherStore::Change(const std::function<bool(SuiteOptions&, std::string*)>& change, std::string* error) {
  if (!Reload()) {
    if (error) *error = "Cannot read " + optionsFile_ + ": " + std::strerror(errno);
    return false;
  }
  SuiteOptions changed = options_;
  if (!change(changed, error)) return false;
  if (!optionsFile_.empty() && !changed.Document().Save(optionsFile_, error)) return false;
  options_ = std::move(changed);
  return true;
}

bool LauncherStore::FullScreen() const {
  return platform::ProfileInt(setup_.Get("setup", "fullscreen", "0").c_str()) != 0;
}

bool LauncherStore::SetFullScreen(bool on, std::string* error) {
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
