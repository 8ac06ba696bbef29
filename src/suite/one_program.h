#pragma once
// The launcher and the game as one program, for a host that runs only one (the browser): the launcher's window
// until the player plays, then the game in the same process, then the launcher again: on the hall of fame with
// the game just played marked when the game's "Menu" asked for it, on its first page when the game was ended
// otherwise.
#include <functional>
#include <string>

#include "platform/host/writable_files.h"

namespace suite {

struct OneProgram {
  std::string suiteFolder;  // handed to the game as the launcher's folder
  std::string gameFolder;   // the game's working folder: art, sounds, questions
  platform::WritableFiles files;
  // The game first, as the selected player, then the launcher.
  bool playFirst = false;
  // The launcher's Quit: true opens the launcher again (on its first page), false ends the program. Unset: ends.
  std::function<bool()> quit;
};

// Returns the exit code: 0 after Quit, 1 when the launcher's window could not be made (the reason on standard
// error).
int RunLauncherAndGame(const OneProgram& program);

}  // namespace suite
