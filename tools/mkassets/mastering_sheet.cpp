#include "mastering_sheet.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "loudness.h"

namespace mkassets {

const std::vector<SheetEntry>& MasteringSheet() {
  // Levels by role: the answer's verdict leads, the bull's reaction sits just under it and is heard over the
  // chimes, the ladder's tick is small but clear over the music; the pass only wonders aloud.
  static const std::vector<SheetEntry> sheet = {
      {"bell.wav", "verdict: right", -17.0, -3.0},
      {"scdrop.wav", "verdict: wrong", -17.0, -3.0},
      {"poschart.wav", "score rises", -19.0, -4.0},
      {"select2.wav", "ladder tick", -21.0, -5.0},
      {"cheer3.wav", "top step", -18.0, -3.0},
      {"bling2.wav", "time bonus", -18.0, -3.0},
      {"bull01.wav", "bull: right", -18.0, -4.0},
      {"bull02.wav", "bull: top step", -16.0, -3.0},
      {"bull03.wav", "bull: wrong", -18.0, -3.0},
      {"bull04.wav", "bull: angry", -15.0, -2.0},
      {"bull05.wav", "bull: pass", -21.0, -5.0},
      {"bull06.wav", "bull: game over", -17.0, -3.0},
      {"hammer.wav", "interface", -20.0, -3.0},
      {"negative.wav", "interface", -19.0, -3.0},
      {"pos.wav", "interface", -19.0, -3.0},
      {"neutral.wav", "interface", -21.0, -4.0},
      {"wrong.wav", "interface", -19.0, -3.0},
  };
  return sheet;
}

const SheetEntry* FindSheetEntry(const std::string& file) {
  for (const SheetEntry& e : MasteringSheet())
    if (file == e.file) return &e;
  return nullptr;
}

const std::vector<SoundGroup>& SimultaneousGroups() {
  static const std::vector<SoundGroup> groups = {
      {"right answer", {"bell.wav", "poschart.wav", "bull01.wav", "select2.wav"}},
      {"right answer, top step", {"bell.wav", "poschart.wav", "cheer3.wav", "bull02.wav", "select2.wav"}},
      {"wrong answer", {"scdrop.wav", "bull03.wav"}},
      {"wrong answer after two right", {"scdrop.wav", "bull04.wav"}},
      {"pass", {"bull05.wav"}},
      {"time bonus", {"bling2.wav"}},
      {"game over", {"bull06.wav"}},
  };
  return groups;
}

MusicMastering MusicSheet() { return {-21.0, -3.0}; }

bool SumOfGroup(const SoundGroup& group, const std::map<std::string, StereoSignal>& sounds, StereoSignal& sum) {
  sum = StereoSignal{};
  for (const char* name : group.files) {
    const auto it = sounds.find(name);
    if (it == sounds.end()) return false;
    const StereoSignal& s = it->second;
    if (s.left.size() > sum.left.size()) {
      sum.left.resize(s.left.size(), 0.0f);
      sum.right.resize(s.left.size(), 0.0f);
    }
    MixInto(sum.left, s.left, 0);
    MixInto(sum.right, s.right, 0);
  }
  return !sum.left.empty();
}

void MasterToSheet(StereoSignal& s, const SheetEntry& entry, int rate) {
  const Loudness before = Measure(s, rate);
  if (!std::isfinite(before.momentaryMax)) throw std::runtime_error(std::string(entry.file) + " is silent");
  const double gain = DbToGain(entry.loudness - before.momentaryMax);
  Scale(s.left, gain);
  Scale(s.right, gain);
  const double peak = before.truePeak + (entry.loudness - before.momentaryMax);
  if (peak > entry.ceiling) {
    char why[160];
    std::snprintf(why, sizeof why, "%s at %.1f LUFS would peak at %.2f dBTP, over its ceiling of %.1f", entry.file,
                  entry.loudness, peak, entry.ceiling);
    throw std::runtime_error(why);
  }
}

}  // namespace mkassets
