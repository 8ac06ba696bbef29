#pragma once
// The launcher's window: opened in the form the game's display setting asks for, paced by the same 10 ms ticker
// as the game, with the game's music and a click for every button. It runs the pages until the player plays or
// quits, then closes before the game starts, so the two never stand on the screen together.
#include <string>
#include <vector>

#include "launcher/launcher_pages.h"
#include "launcher/launcher_store.h"
#include "platform/host/writable_files.h"

namespace hubbix {

struct LauncherStart {
  std::string gameFolder;  // art, font, sounds and music are read from here
  Page firstPage = Page::Players;
  std::vector<FameRow> fame;
  int fameHighlight = -1;
  std::string hallOfFame;  // hiscore.dat: the players' records live beside it
};

// What the window opens on: the hall of fame read from the suite's files, with the last game's entry marked, and
// that page first when the player comes back from a game through its "Menu".
LauncherStart StartFromFiles(const std::string& gameFolder, const platform::WritableFiles& files, bool afterGame);

// Returns what the player chose; Command::None with `error` set when the window or its art could not be made.
Command RunLauncherWindow(LauncherStore& store, const LauncherStart& start, std::string* error);

}  // namespace hubbix
