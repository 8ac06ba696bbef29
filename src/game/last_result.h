#pragma once
// The record of the last game's result that the game leaves for the launcher, so that the launcher can open its
// hall of fame with that entry highlighted. A small ini file ("lastgame.ini" beside "hiscore.dat"):
//
//   [last]
//   game=Zorvel
//   place=3          one-based place in the hall of fame; 0 when the result did not enter it
//   score=12500
//   line=Ann:::Y     the line the result was entered under
//
// Only a record that still matches the table (that place holds that line and score) highlights anything: a
// missing, broken or outdated record just shows the table.
#include <cstdint>
#include <string>

#include "game/high_score_table.h"

constexpr const char* kLastResultFile = "lastgame.ini";

std::string FormatLastResult(int32_t place, int32_t score, const std::string& line);
// The one-based place of the entry a result was just inserted as: the last place holding its score, since equal
// scores already in the table stay above a new one. 0 when no place holds it.
int32_t PlaceOfNewEntry(const HighScoreTable& table, int32_t score);
// Writes the record atomically under the game's own name for it; false when it could not be written.
bool WriteLastResult(int32_t place, int32_t score, const std::string& line);
// The zero-based index of the highlighted entry for a record's text and the table, or -1.
int32_t HighlightedEntry(const std::string& recordText, const HighScoreTable& table);
