#pragma once
// Zorvel's hall of fame as the launcher shows it: all twenty places from hiscore.dat, each with the player's name
// (the first field of the line the game stored), and the place of the last game's result when its record still
// matches the table.
#include <string>
#include <vector>

#include "launcher/launcher_pages.h"

namespace hubbix {

// A missing, short or foreign table reads as places nobody has taken; `highlight` gets -1 unless the record at
// `lastResultFile` names one of them.
std::vector<FameRow> ReadFameRows(const std::string& hiscoreFile, const std::string& lastResultFile, int* highlight);

}  // namespace hubbix
