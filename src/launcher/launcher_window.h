#pragma once
// The launcher's window: opened in the form the game's display setting asks for, paced by the same 10 ms ticker
// as the game, with the game's music and a click for every button. It runs the pages until the player plays or
// quits, then closes before the game starts, so the two never stand on the screen together.
#include <string>
#include <vector>

#include "launcher/launcher_pages.h"
#include "launcher/launcher_store.h"

namespace hubbix {

struct LauncherStart {
  std::string gameFolder;  // art, font, sounds and music are read from here
  Page firstPage = Page::Players;
  std::vector<FameRow> fame;
  int fameHighlight = -1;
  std::string hallOfFame;  // hiscore.dat: the players' records live beside it
};

// Returns what the player chose; Command::None with `error` set when the window or its art could not be made.
Command RunLauncherWindow(LauncherStore& store, const LauncherStart& start, std::string* error);

}  // namespace hubbix
