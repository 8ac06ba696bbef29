#pragma once
// Where the files the game and the launcher write live: the launcher's options, the game's display settings and
// the hall of fame.
//
// A suite folder the player can write to keeps them in place, beside the game, as it always has (the portable
// layout). An installed suite is read-only: its files are then kept in the player's XDG folders, options and
// settings under $XDG_CONFIG_HOME/zorvel, the hall of fame under $XDG_DATA_HOME/zorvel, and the installed files
// serve as the defaults copied there on first use.
#include <string>

namespace platform {

struct WritableFiles {
  bool inPlace = true;
  std::string options;  // the launcher's options.ini
  std::string setup;    // the game's setup.ini
  std::string hiscore;  // the game's hiscore.dat
  std::string lastResult;  // the game's lastgame.ini, beside the hall of fame: the launcher highlights it
};

// Decides where the files live for a suite folder and its game folder (suiteFolder/Zorvel): in place while the
// game folder (or, while it is missing, the suite folder) can be written, in the XDG folders when it is read-only
// or when the suite is the installed one of the running program (RunsFromInstalledSuite).
// Then makes the XDG
// folders and copies each installed default that is not there yet. `problem`, when given, receives what could not
// be done (the paths are returned all the same, so a read still falls back to the defaults).
WritableFiles LocateWritableFiles(const std::string& suiteFolder, const std::string& gameFolder,
                                  std::string* problem = nullptr);

// The game's side: from now on the names the game uses for those files ("..\options.ini", ".\setup.ini",
// "hiscore.dat", "lastgame.ini") open the located files. Nothing changes for an in-place suite.
void UseWritableFiles(const WritableFiles& files, const std::string& suiteFolder, const std::string& gameFolder);

// The redirected host path for `path` (already translated to the host's slashes), or `path` itself.
std::string RedirectWritablePath(const std::string& path);

// True when `suiteFolder` is share/zorvel beside the bin folder the running program lives in: an installed suite,
// whoever runs it and whatever its permissions.
bool RunsFromInstalledSuite(const std::string& suiteFolder);

// True when the current user may change `folder` by its permission bits (an administrator is not treated as able
// to write everywhere, so a folder installed read-only counts as read-only for everyone).
bool FolderWritable(const std::string& folder);

}  // namespace platform
