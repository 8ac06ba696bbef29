#pragma once
// What the launcher's pages read and change: the suite's options (players, music, effects) and the game's display
// setting. Each change reads the file again, applies itself and writes the file at once, so a change made
// meanwhile by another program (a second launcher, a script) is kept rather than overwritten.
#include <cstdint>
#include <functional>
#include <string>

#include "launcher/ini_document.h"
#include "launcher/suite_options.h"

class BitmapFont;

namespace hubbix {

class LauncherStore {
 public:
  // Empty paths keep everything in memory (tests, and a suite whose files cannot be found). `font`, the game's
  // font, decides the letters a name may hold (owned by the caller; null: plain ASCII only).
  LauncherStore(std::string optionsFile, std::string setupFile, const BitmapFont* font = nullptr);
  const BitmapFont* Font() const { return font_; }

  // The options as last read or written.
  const SuiteOptions& Options() const { return options_; }
  bool FullScreen() const;
  // Rereads the options file; false (and the last good copy kept) when it exists but cannot be read.
  bool Reload();
  // Rereads it only when its time or size changed since it was last read or written here: another launcher or a
  // script changed it while the pages were open. True when it was read again.
  bool ReloadIfChanged();
  // Applies a change to freshly read options and writes them. On any failure nothing is kept and error says why.
  bool Change(const std::function<bool(SuiteOptions&, std::string*)>& change, std::string* error);
  bool SetFullScreen(bool on, std::string* error);

 private:
  // What the file looked like when last read or written: its modification time and size.
  std::pair<int64_t, int64_t> Stamp() const;

  std::string optionsFile_, setupFile_;
  const BitmapFont* font_ = nullptr;
  std::pair<int64_t, int64_t> stamp_{-1, -1};
  SuiteOptions options_;
  IniDocument setup_;
};

}  // namespace hubbix
