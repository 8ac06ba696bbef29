#pragma once
// The listening report: what the ear would be told by a meter. For every sound in the game's folder its
// loudness, true peak, offset and length against the mastering sheet, the peak of every group the game starts
// together, the music's level, offset and loop length; and, for the audio dump of a game, its loudness, its
// loudest moment, how many samples the mixer's limit bent and how close each restart of the music came to
// the bar.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "synth.h"

namespace mkassets {

struct DecodedSound {
  StereoSignal signal;
  int rate = 0;
  int channels = 0;
  int bits = 0;
};

// PCM WAV (8- or 16-bit, mono or stereo) or MP3; false when the file cannot be read as either.
bool ReadPcmWav(const std::filesystem::path& file, DecodedSound& out);
bool DecodeMp3(const std::filesystem::path& file, DecodedSound& out);

struct DumpFindings {
  double integrated = 0;     // LUFS
  double loudestMoment = 0;  // LUFS, momentary
  double truePeak = 0;       // dBTP, the loudest moment's peak
  long limited = 0;          // samples the mixer's soft limit bent
  std::vector<double> seamsMs;  // each music restart's distance from its bar, late positive
  double worstSeamMs = 0;
};

// The music restarts once its file has played; `barSeconds` is the length of the loop as composed.
DumpFindings AnalyseDump(const DecodedSound& dump, const DecodedSound& music, double barSeconds, int knee);

// Prints the report; returns the number of limits broken (0: everything within the sheet).
int PrintSoundReport(const std::filesystem::path& gameDir, const std::string& dumpFile, std::FILE* out);

}  // namespace mkassets
