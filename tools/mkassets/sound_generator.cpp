#include "sound_generator.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <cstdio>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "bull_sounds.h"
#include "loudness.h"
#include "mastering_sheet.h"
#include "mp3_encoder.h"
#include "music.h"
#include "ui_sounds.h"
#include "wav_file.h"

namespace mkassets {

namespace {

struct SoundFile {
  const char* name;
  PcmFormat format;
  std::function<StereoSignal(int)> synthesise;
};

// Most sounds use the engine's usual format; a few use 8-bit or mono so that every reading path gets used.
constexpr PcmFormat kStereo16{22050, 2, 16};
constexpr PcmFormat kMono16{22050, 1, 16};
constexpr PcmFormat kMono8{22050, 1, 8};
constexpr PcmFormat kStereo8{22050, 2, 8};

// Every sound of the asset manifest, made in its order.
const std::vector<SoundFile>& SoundFiles() {
  static const std::vector<SoundFile> files = {
#define ZORVEL_SOUND(id, name, file, format, synthesis) {file, format, synthesis},
#include "common/asset_manifest.def"
  };
  return files;
}

void Finish(StereoSignal& s, const SoundFile& file) {
  if (file.format.channels == 1) {
    for (size_t i = 0; i < s.left.size(); ++i) s.left[i] = 0.5f * (s.left[i] + s.right[i]);
    s.right = s.left;
  }
  // No steady offset: it would waste headroom and thump when the sound starts and stops.
  for (Signal* ch : {&s.left, &s.right}) {
    Biquad dcBlock;
    dcBlock.Set(Biquad::Type::HighPass, 30, 0.7, file.format.rate);
    for (float& v : *ch) v = static_cast<float>(dcBlock.Process(v));
  }
  // A few milliseconds of silence first, so that the fade-in never blunts a sharp attack; then the fades make
  // sure the file itself starts and ends at rest.
  const size_t leadIn = static_cast<size_t>(0.003 * file.format.rate);
  for (Signal* ch : {&s.left, &s.right}) {
    ch->insert(ch->begin(), leadIn, 0.0f);
    FadeEdges(*ch, file.format.rate, 0.003, 0.008);
  }
  const SheetEntry* entry = FindSheetEntry(file.name);
  if (!entry) throw std::logic_error(std::string(file.name) + " is not on the mastering sheet");
  MasterToSheet(s, *entry, file.format.rate);
}

// Sounds the game starts together must not need the mixer's limit: their sum stays under the group ceiling.
void CheckGroups(const std::map<std::string, StereoSignal>& sounds, int rate) {
  for (const SoundGroup& group : SimultaneousGroups()) {
    StereoSignal sum;
    if (!SumOfGroup(group, sounds, sum))
      throw std::logic_error(std::string("a sound of the ") + group.moment + " is missing");
    const double peak = TruePeak(sum, rate);
    if (peak > kGroupCeiling) {
      char why[160];
      std::snprintf(why, sizeof why, "the sounds of the %s sum to %.2f dBTP, over %.1f", group.moment, peak,
                    kGroupCeiling);
      throw std::runtime_error(why);
    }
  }
}

}  // namespace

void GenerateSounds(const std::filesystem::path& soundDir) {
  std::filesystem::create_directories(soundDir);
  std::map<std::string, StereoSignal> finished;
  for (const SoundFile& file : SoundFiles()) {
    StereoSignal s = file.synthesise(file.format.rate);
    Finish(s, file);
    finished[file.name] = s;
  }
  CheckGroups(finished, kStereo16.rate);
  for (const SoundFile& file : SoundFiles()) {
    const StereoSignal& s = finished.at(file.name);
    if (!WriteWav(soundDir / file.name, file.format, s.left, s.right))
      throw std::runtime_error("cannot write " + (soundDir / file.name).string());
  }
}

void GenerateMusic(const std::filesystem::path& mp3File) {
  constexpr int kRate = 44100;
  StereoSignal music = RenderMusicLoop(kRate);
  const MusicMastering sheet = MusicSheet();
  const Loudness before = Measure(music, kRate);
  const double gain = sheet.loudness - before.integrated;
  if (before.truePeak + gain > sheet.ceiling) throw std::runtime_error("the music would peak over its ceiling");
  Scale(music.left, DbToGain(gain));
  Scale(music.right, DbToGain(gain));
  // The game restarts the music a moment after it has ended; the file stops short by that moment so that the
  // restart lands on the bar.
  const size_t keep = music.left.size() - static_cast<size_t>(std::lround(kMusicRestartSeconds * kRate));
  music.left.resize(keep);
  music.right.resize(keep);
  // The top of the loop rises out of silence and its end settles into it, so a restart never clicks.
  FadeEdges(music.left, kRate, 0.005, 0.005);
  FadeEdges(music.right, kRate, 0.005, 0.005);
  const std::vector<uint8_t> mp3 = EncodeMp3(music, kRate, 128);
  std::filesystem::create_directories(mp3File.parent_path());
  std::ofstream f(mp3File, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(mp3.data()), static_cast<std::streamsize>(mp3.size()));
  if (!f) throw std::runtime_error("cannot write " + mp3File.string());
}

}  // namespace mkassets
