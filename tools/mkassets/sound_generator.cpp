#include "sound_generator.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bull_sounds.h"
#include "mp3_encoder.h"
#include "music.h"
#include "ui_sounds.h"
#include "wav_file.h"

namespace mkassets {

namespace {

struct SoundFile {
  const char* name;
  PcmFormat format;
  double peakDb;  // level of the loudest sample, at most -1 dBFS
  std::function<StereoSignal(int)> synthesise;
};

// Most sounds use the engine's usual format; a few use 8-bit or mono so that every reading path gets used.
constexpr PcmFormat kStereo16{22050, 2, 16};
constexpr PcmFormat kMono16{22050, 1, 16};
constexpr PcmFormat kMono8{22050, 1, 8};
constexpr PcmFormat kStereo8{22050, 2, 8};

const std::vector<SoundFile>& SoundFiles() {
  static const std::vector<SoundFile> files = {
      {"bell.wav", kStereo16, -2.0, BellDing},
      {"hammer.wav", kMono16, -2.0, HammerKnock},
      {"negative.wav", kStereo16, -4.0, NegativeTones},
      {"pos.wav", kStereo16, -4.0, PositiveTones},
      {"neutral.wav", kStereo8, -6.0, NeutralBlip},
      {"scdrop.wav", kStereo16, -3.0, DropGlide},
      {"poschart.wav", kStereo16, -3.0, RisingChime},
      {"wrong.wav", kStereo16, -4.0, WrongBuzzer},
      {"select2.wav", kMono8, -6.0, CheckTick},
      {"bling2.wav", kStereo16, -3.0, SparkleBling},
      {"cheer3.wav", kStereo16, -1.5, CrowdCheer},
      {"bull01.wav", kStereo16, -1.5, HappySnort},
      {"bull02.wav", kStereo16, -1.5, BigHappyBellow},
      {"bull03.wav", kStereo16, -1.5, DisappointedGrunt},
      {"bull04.wav", kStereo16, -1.5, AngrySnortAndBellow},
      {"bull05.wav", kStereo16, -1.5, PuzzledHum},
      {"bull06.wav", kStereo16, -1.5, LongSadMoo},
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
  const double peak = std::max(Peak(s.left), Peak(s.right));
  if (peak <= 0) throw std::runtime_error(std::string(file.name) + " is silent");
  Scale(s.left, std::pow(10.0, file.peakDb / 20) / peak);
  Scale(s.right, std::pow(10.0, file.peakDb / 20) / peak);
}

}  // namespace

void GenerateSounds(const std::filesystem::path& soundDir) {
  std::filesystem::create_directories(soundDir);
  for (const SoundFile& file : SoundFiles()) {
    StereoSignal s = file.synthesise(file.format.rate);
    Finish(s, file);
    if (!WriteWav(soundDir / file.name, file.format, s.left, s.right))
      throw std::runtime_error("cannot write " + (soundDir / file.name).string());
  }
}

void GenerateMusic(const std::filesystem::path& mp3File) {
  constexpr int kRate = 44100;
  StereoSignal music = RenderMusicLoop(kRate);
  // The top of the loop rises out of silence and its end settles into it, so a restart never clicks.
  FadeEdges(music.left, kRate, 0.005, 0.01);
  FadeEdges(music.right, kRate, 0.005, 0.01);
  const std::vector<uint8_t> mp3 = EncodeMp3(music, kRate, 128);
  std::filesystem::create_directories(mp3File.parent_path());
  std::ofstream f(mp3File, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(mp3.data()), static_cast<std::streamsize>(mp3.size()));
  if (!f) throw std::runtime_error("cannot write " + mp3File.string());
}

}  // namespace mkassets
