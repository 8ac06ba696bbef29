// The sounds as the mastering sheet asks: each at its loudness under its ceiling, the ones the game starts
// together clear of the mixer's limit, the game's sounds in a sensible order, and the music under them
// without offset. Also the report's reading of an audio dump.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <string>

#include "common/asset_manifest.h"
#include "loudness.h"
#include "mastering_sheet.h"
#include "sound_report.h"

namespace mk = mkassets;

namespace {

const std::filesystem::path kSounds = std::filesystem::path(ZORVEL_GAME_DIR) / "sounds";

const std::map<std::string, mk::Loudness>& Measured() {
  static const std::map<std::string, mk::Loudness> measured = [] {
    std::map<std::string, mk::Loudness> m;
    for (const auto& entry : std::filesystem::directory_iterator(kSounds)) {
      mk::DecodedSound d;
      if (entry.path().extension() == ".wav" && mk::ReadPcmWav(entry.path(), d))
        m[entry.path().filename().string()] = mk::Measure(d.signal, d.rate);
    }
    return m;
  }();
  return measured;
}

double Loudest(const std::string& file) { return Measured().at(file).momentaryMax; }

mk::StereoSignal Read(const std::string& file) {
  mk::DecodedSound d;
  EXPECT_TRUE(mk::ReadPcmWav(kSounds / file, d)) << file;
  return d.signal;
}

}  // namespace

TEST(Mastering, EverySoundIsOnTheSheetAtItsLoudnessUnderItsCeiling) {
  ASSERT_EQ(std::size(assets::kSoundFiles), Measured().size()) << "the sounds of the asset manifest, no more";
  for (const auto& [file, l] : Measured()) {
    SCOPED_TRACE(file);
    const mk::SheetEntry* entry = mk::FindSheetEntry(file);
    ASSERT_NE(nullptr, entry) << "not on the mastering sheet";
    EXPECT_NEAR(entry->loudness, l.momentaryMax, 1.0);
    EXPECT_LE(l.truePeak, entry->ceiling);
    EXPECT_LE(l.truePeak, -1.0);
    EXPECT_LT(l.dc, -60.0);
  }
}

TEST(Mastering, SoundsStartedTogetherPeakUnderMinusOneDbtp) {
  // The game starts these in one frame (a right answer, the top step, a wrong answer, a pass).
  const std::vector<std::vector<std::string>> groups = {
      {"bell.wav", "poschart.wav", "bull01.wav", "select2.wav"},
      {"bell.wav", "poschart.wav", "cheer3.wav", "bull02.wav", "select2.wav"},
      {"scdrop.wav", "bull03.wav"},
      {"scdrop.wav", "bull04.wav"},
      {"bull05.wav"}};
  for (const auto& group : groups) {
    SCOPED_TRACE(group.front() + " + " + std::to_string(group.size() - 1));
    mk::StereoSignal sum;
    for (const auto& file : group) {
      const mk::StereoSignal s = Read(file);
      sum.left.resize(std::max(sum.left.size(), s.left.size()), 0.0f);
      sum.right.resize(sum.left.size(), 0.0f);
      mk::MixInto(sum.left, s.left, 0);
      mk::MixInto(sum.right, s.right, 0);
    }
    EXPECT_LT(mk::TruePeak(sum, 22050), -1.0);
  }
}

TEST(Mastering, TheGamesSoundsStandInASensibleOrder) {
  // The loudest 400 ms of every sound the game plays lie within 8 LU of each other, not 24.
  double quietest = 0, loudest = -100;
  for (const char* f : {"bell.wav", "scdrop.wav", "poschart.wav", "select2.wav", "cheer3.wav", "bling2.wav",
                        "bull01.wav", "bull02.wav", "bull03.wav", "bull04.wav", "bull05.wav", "bull06.wav"}) {
    quietest = std::min(quietest, Loudest(f));
    loudest = std::max(loudest, Loudest(f));
  }
  EXPECT_LE(loudest - quietest, 8.0);
  // The wrong answer's glide no longer shouts over the right answer's bell.
  EXPECT_LE(Loudest("scdrop.wav"), Loudest("bell.wav") + 1.0);
  // The bull's reply to a right answer is heard beside the chimes that start with it.
  EXPECT_GE(Loudest("bull01.wav"), std::max(Loudest("bell.wav"), Loudest("poschart.wav")) - 1.5);
  // The angry bull is louder than the plain wrong-answer bull; the pass only wonders.
  EXPECT_GE(Loudest("bull04.wav"), Loudest("bull03.wav") + 2.0);
  EXPECT_LE(Loudest("bull05.wav"), Loudest("bull03.wav") - 2.0);
  EXPECT_LE(Loudest("bull05.wav"), Loudest("bull01.wav") - 2.0);
}

TEST(Mastering, TheMusicSitsUnderTheEffectsWithoutOffset) {
  mk::DecodedSound music;
  ASSERT_TRUE(mk::DecodeMp3(kSounds / "music.mp3", music));
  const mk::Loudness l = mk::Measure(music.signal, music.rate);
  EXPECT_LT(l.dc, -60.0);
  EXPECT_NEAR(mk::MusicSheet().loudness, l.integrated, 1.0);
  EXPECT_LE(l.truePeak, -1.0);
  // The verdicts rise over the music's loudest moments; the ladder's tick is no quieter than the music.
  EXPECT_GE(Loudest("bell.wav"), l.momentaryMax + 1.0);
  EXPECT_GE(Loudest("scdrop.wav"), l.momentaryMax + 1.0);
  EXPECT_GE(Loudest("select2.wav"), l.integrated);
}

TEST(Mastering, TheReportFindsTheLimitAndTheSeamInADump) {
  // A fake loop of two seconds: a chirp, so that it matches itself at one place only.
  const int rate = 44100;
  mk::DecodedSound music;
  music.rate = rate;
  for (int i = 0; i < 2 * rate; ++i) {
    const double t = static_cast<double>(i) / rate;
    const float v = static_cast<float>(0.3 * std::sin(2 * M_PI * (200 * t + 400 * t * t)));
    music.signal.left.push_back(v);
    music.signal.right.push_back(v);
  }
  // Played at 50 ms, restarted 7 ms after its bar, then 4 ms before the next one.
  mk::DecodedSound dump;
  dump.rate = rate;
  dump.signal.left.assign(static_cast<size_t>(7 * rate), 0.0f);
  dump.signal.right = dump.signal.left;
  for (double start : {0.05, 2.057, 4.053}) {
    mk::MixInto(dump.signal.left, music.signal.left, static_cast<size_t>(std::lround(start * rate)));
    mk::MixInto(dump.signal.right, music.signal.right, static_cast<size_t>(std::lround(start * rate)));
  }
  dump.signal.right[1000] = 30000.0f / 32768;  // one sample over the knee, one under it
  dump.signal.left[2000] = -29000.0f / 32768;
  const mk::DumpFindings f = mk::AnalyseDump(dump, music, 2.0, 29204);
  EXPECT_EQ(1, f.limited);
  ASSERT_EQ(2u, f.seamsMs.size());
  EXPECT_NEAR(7.0, f.seamsMs[0], 0.1);
  EXPECT_NEAR(-4.0, f.seamsMs[1], 0.1);
  EXPECT_NEAR(7.0, f.worstSeamMs, 0.1);
}
