#pragma once
// The mastering sheet: every sound's role in the game, the loudness it is mastered to and the true peak it may
// not pass; the sounds the game starts at the same moment, whose sum must stay under the group ceiling; and the
// music's level under them.
#include <map>
#include <string>
#include <vector>

#include "synth.h"

namespace mkassets {

struct SheetEntry {
  const char* file;
  const char* role;
  double loudness;  // LUFS, the loudest 400 ms
  double ceiling;   // dBTP
};

struct SoundGroup {
  const char* moment;
  std::vector<const char*> files;  // started in the same frame
};

struct MusicMastering {
  double loudness;  // LUFS, integrated over the loop
  double ceiling;   // dBTP before encoding
};

inline constexpr double kGroupCeiling = -1.0;  // dBTP of any group's sum
inline constexpr double kLoudnessTolerance = 1.0;  // LU

const std::vector<SheetEntry>& MasteringSheet();
const SheetEntry* FindSheetEntry(const std::string& file);
const std::vector<SoundGroup>& SimultaneousGroups();
MusicMastering MusicSheet();

// The group's sounds added as the game starts them, all at once; false when one of them is missing.
bool SumOfGroup(const SoundGroup& group, const std::map<std::string, StereoSignal>& sounds, StereoSignal& sum);

// Brings the sound to its loudness; throws when its true peak would then pass the ceiling, as a sound that
// cannot be made loud enough without limiting has to be remade, not squashed.
void MasterToSheet(StereoSignal& s, const SheetEntry& entry, int rate);

}  // namespace mkassets
