// The game's effects while another window is active, heard through the audio dump: silent while inactive, heard
// again once the game's window is active.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string Quote(const std::string& s) { return "'" + s + "'"; }

std::vector<int16_t> ReadWavSamples(const std::string& path) {
  std::vector<int16_t> samples;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return samples;
  std::fseek(f, 44, SEEK_SET);
  int16_t buffer[4096];
  while (size_t n = std::fread(buffer, sizeof(int16_t), 4096, f)) samples.insert(samples.end(), buffer, buffer + n);
  std::fclose(f);
  return samples;
}

// Loudest sample in [fromMs, toMs) of 44.1 kHz stereo.
int Peak(const std::vector<int16_t>& stereo, int fromMs, int toMs) {
  int peak = 0;
  for (size_t i = static_cast<size_t>(fromMs) * 441 / 10 * 2; i < stereo.size() && i < static_cast<size_t>(toMs) * 441 / 10 * 2; ++i)
    peak = std::max(peak, std::abs(static_cast<int>(stereo[i])));
  return peak;
}

TEST(InactiveSound, EffectsFallSilentWhileInactiveAndAreHeardAfter) {
  const std::string suite = std::string(::testing::TempDir()) + "inactive-sound-" + std::to_string(::getpid());
  std::system(("rm -rf " + Quote(suite) + " && mkdir -p " + Quote(suite + "/Zorvel") + " && cp -r " +
               Quote(std::string(ZORVEL_GAME_DIR) + "/.") + " " + Quote(suite + "/Zorvel/"))
                  .c_str());
  // No music, so that everything heard is an effect.
  std::ofstream(suite + "/options.ini") << "[setup]\r\nmusic=N\r\nSFX=Y\r\n";
  // An answer at 0.5 s starts its sounds; the window is left at once and comes back at 2.5 s, when a pass starts
  // the next sound.
  std::ofstream(suite + "/script.txt") << "zorvel-script 1\nseed 3\n500 keydown T\n510 keyup T\n520 deactivate\n"
                                          "2500 activate\n3000 keydown SPACE\n3010 keyup SPACE\n3500 keydown P\n"
                                          "3510 keyup P\n6000 close\n";
  const std::string dump = suite + "/mixed.wav";
  const std::string command = "cd " + Quote(suite + "/Zorvel") +
                              " && env ZORVEL_CLOCK=virtual ZORVEL_SCRIPT=" + Quote(suite + "/script.txt") +
                              " ZORVEL_AUDIO_DUMP=" + Quote(dump) + " " +
                              Quote(std::string(ZORVEL_BINARY_DIR) + "/zorvel-headless") + " " + Quote(suite) +
                              " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const std::vector<int16_t> samples = ReadWavSamples(dump);
  std::system(("rm -rf " + Quote(suite)).c_str());
  ASSERT_GT(samples.size(), 5u * 44100 * 2) << "the dump covers the run";

  EXPECT_GT(Peak(samples, 500, 520), 0) << "the answer's sounds start while the window is active";
  EXPECT_EQ(Peak(samples, 540, 2490), 0) << "nothing is heard while another window is active";
  EXPECT_GT(Peak(samples, 3500, 4500), 1000) << "the pass is heard once the window is active again";
}

}  // namespace
