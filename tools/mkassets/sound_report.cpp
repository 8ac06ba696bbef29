#include "sound_report.h"

#include <mpg123.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

#include "loudness.h"
#include "mastering_sheet.h"
#include "music_score.h"
#include "platform/audio/audio_mixer.h"

namespace mkassets {

namespace {

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + static_cast<size_t>(i)];
  return v;
}

// Normalised correlation of `pattern` with `signal` at `at`.
double Correlation(const Signal& signal, const Signal& pattern, size_t at) {
  double dot = 0, energy = 0, patternEnergy = 0;
  for (size_t i = 0; i < pattern.size() && at + i < signal.size(); ++i) {
    dot += static_cast<double>(signal[at + i]) * pattern[i];
    energy += static_cast<double>(signal[at + i]) * signal[at + i];
    patternEnergy += static_cast<double>(pattern[i]) * pattern[i];
  }
  return energy > 0 && patternEnergy > 0 ? dot / std::sqrt(energy * patternEnergy) : 0;
}

// Where in [from, to) the pattern fits best, and how well.
std::pair<size_t, double> BestFit(const Signal& signal, const Signal& pattern, size_t from, size_t to) {
  std::pair<size_t, double> best{from, -1};
  for (size_t at = from; at < to && at + pattern.size() <= signal.size(); ++at) {
    const double c = Correlation(signal, pattern, at);
    if (c > best.second) best = {at, c};
  }
  return best;
}

}  // namespace

bool ReadPcmWav(const std::filesystem::path& file, DecodedSound& out) {
  std::ifstream in(file, std::ios::binary);
  const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
      std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
    return false;
  size_t at = 12;
  bool haveFormat = false;
  while (at + 8 <= b.size()) {
    const std::string id(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at) + 4);
    const size_t size = Le(b, at + 4, 4), body = at + 8;
    if (id == "fmt " && body + 16 <= b.size()) {
      if (Le(b, body, 2) != 1) return false;
      out.channels = static_cast<int>(Le(b, body + 2, 2));
      out.rate = static_cast<int>(Le(b, body + 4, 4));
      out.bits = static_cast<int>(Le(b, body + 14, 2));
      haveFormat = (out.channels == 1 || out.channels == 2) && (out.bits == 8 || out.bits == 16) && out.rate > 0;
    } else if (id == "data" && haveFormat) {
      const size_t bytesPerFrame = static_cast<size_t>(out.channels * out.bits / 8);
      const size_t frames = std::min(size, b.size() - body) / bytesPerFrame;
      out.signal.left.resize(frames);
      out.signal.right.resize(frames);
      for (size_t i = 0; i < frames; ++i)
        for (int ch = 0; ch < 2; ++ch) {
          const size_t channel = static_cast<size_t>(std::min(ch, out.channels - 1));
          const size_t p = body + i * bytesPerFrame + channel * static_cast<size_t>(out.bits / 8);
          const float v = out.bits == 8 ? (static_cast<int>(b[p]) - 128) / 128.0f
                                        : static_cast<int16_t>(Le(b, p, 2)) / 32768.0f;
          (ch == 0 ? out.signal.left : out.signal.right)[i] = v;
        }
      return true;
    }
    at = body + size + (size & 1);
  }
  return false;
}

bool DecodeMp3(const std::filesystem::path& file, DecodedSound& out) {
  static const bool ready = mpg123_init() == MPG123_OK;
  if (!ready) return false;
  int error = 0;
  mpg123_handle* h = mpg123_new(nullptr, &error);
  if (!h) return false;
  mpg123_param(h, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
  long rate = 0;
  int channels = 0, encoding = 0;
  bool ok = mpg123_open(h, file.c_str()) == MPG123_OK && mpg123_getformat(h, &rate, &channels, &encoding) == MPG123_OK;
  if (ok) {
    mpg123_format_none(h);
    ok = mpg123_format(h, rate, MPG123_STEREO, MPG123_ENC_SIGNED_16) == MPG123_OK;
  }
  std::vector<unsigned char> buffer(65536);
  int result = MPG123_OK;
  while (ok && (result == MPG123_OK || result == MPG123_NEW_FORMAT)) {
    size_t got = 0;
    result = mpg123_read(h, buffer.data(), buffer.size(), &got);
    for (size_t i = 0; i + 3 < got; i += 4) {
      out.signal.left.push_back(static_cast<int16_t>(buffer[i] | (buffer[i + 1] << 8)) / 32768.0f);
      out.signal.right.push_back(static_cast<int16_t>(buffer[i + 2] | (buffer[i + 3] << 8)) / 32768.0f);
    }
  }
  mpg123_delete(h);
  out.rate = static_cast<int>(rate);
  out.channels = 2;
  out.bits = 16;
  return ok && result == MPG123_DONE && !out.signal.left.empty();
}

DumpFindings AnalyseDump(const DecodedSound& dump, const DecodedSound& music, double barSeconds, int knee) {
  DumpFindings f;
  const Loudness l = Measure(dump.signal, dump.rate);
  f.integrated = l.integrated;
  f.loudestMoment = l.momentaryMax;
  f.truePeak = l.truePeak;
  const float limit = static_cast<float>(knee) / 32768.0f;
  for (const Signal* ch : {&dump.signal.left, &dump.signal.right})
    for (float v : *ch) f.limited += std::fabs(v) > limit ? 1 : 0;

  // Each start of the music is found by its first tenth of a second; the loop's bar lies barSeconds after
  // the previous start.
  if (music.rate != dump.rate || music.signal.left.empty()) return f;
  const size_t patternFrames = static_cast<size_t>(dump.rate / 10);
  const size_t patternLength = std::min(patternFrames, music.signal.left.size());
  const Signal pattern(music.signal.left.begin(), music.signal.left.begin() + static_cast<long>(patternLength));
  const Signal& heard = dump.signal.left;
  const auto first = BestFit(heard, pattern, 0, static_cast<size_t>(dump.rate) * 3 / 2);
  if (first.second < 0.9) return f;
  const size_t bar = static_cast<size_t>(std::lround(barSeconds * dump.rate));
  size_t start = first.first;
  for (;;) {
    const size_t expected = start + bar;
    const size_t early = static_cast<size_t>(dump.rate / 10);
    const size_t from = expected > early ? expected - early : 0;
    const size_t to = expected + static_cast<size_t>(dump.rate * 3 / 10);
    if (to + pattern.size() > heard.size()) break;
    const auto next = BestFit(heard, pattern, from, to);
    if (next.second < 0.9) break;
    const double seam = (static_cast<double>(next.first) - static_cast<double>(expected)) * 1000.0 / dump.rate;
    f.seamsMs.push_back(seam);
    if (std::fabs(seam) > std::fabs(f.worstSeamMs)) f.worstSeamMs = seam;
    start = next.first;
  }
  return f;
}

int PrintSoundReport(const std::filesystem::path& gameDir, const std::string& dumpFile, std::FILE* out) {
  int broken = 0;
  std::fprintf(out, "%-13s %-16s %5s %3s %6s %8s %8s %8s %8s %8s\n", "sound", "role", "rate", "fmt", "secs",
               "M max", "sheet", "I", "TP dBTP", "DC dBFS");
  std::map<std::string, StereoSignal> sounds;
  int effectRate = 0;
  for (const SheetEntry& e : MasteringSheet()) {
    DecodedSound d;
    if (!ReadPcmWav(gameDir / "sounds" / e.file, d)) {
      std::fprintf(out, "%-13s cannot be read\n", e.file);
      ++broken;
      continue;
    }
    const Loudness l = Measure(d.signal, d.rate);
    const bool off = std::fabs(l.momentaryMax - e.loudness) > kLoudnessTolerance || l.truePeak > e.ceiling;
    broken += off ? 1 : 0;
    std::fprintf(out, "%-13s %-16s %5d %d/%-2d %6.2f %8.1f %8.1f %8.1f %8.2f %8.1f%s\n", e.file, e.role, d.rate,
                 d.channels, d.bits, l.seconds, l.momentaryMax, e.loudness, l.integrated, l.truePeak, l.dc,
                 off ? "  OFF THE SHEET" : "");
    sounds[e.file] = d.signal;
    effectRate = d.rate;
  }
  std::fprintf(out, "\n%-30s %8s %8s\n", "started together", "TP dBTP", "M max");
  for (const SoundGroup& g : SimultaneousGroups()) {
    StereoSignal sum;
    if (!SumOfGroup(g, sounds, sum)) continue;  // a sound that cannot be read is reported above
    const Loudness l = Measure(sum, effectRate);
    const bool over = l.truePeak > kGroupCeiling;
    broken += over ? 1 : 0;
    std::fprintf(out, "%-30s %8.2f %8.1f%s\n", g.moment, l.truePeak, l.momentaryMax, over ? "  OVER THE CEILING" : "");
  }

  DecodedSound music;
  const bool haveMusic = DecodeMp3(gameDir / "sounds" / "music.mp3", music);
  if (haveMusic) {
    const Loudness l = Measure(music.signal, music.rate);
    const MusicMastering sheet = MusicSheet();
    const bool off = std::fabs(l.integrated - sheet.loudness) > kLoudnessTolerance || l.dc > -60.0;
    broken += off ? 1 : 0;
    std::fprintf(out, "\nmusic.mp3: %.3f s (loop %.3f s), I %.1f LUFS (sheet %.1f), M max %.1f, TP %.2f dBTP, "
                 "DC %.1f dBFS%s\n",
                 l.seconds, kLoopSeconds, l.integrated, sheet.loudness, l.momentaryMax, l.truePeak, l.dc,
                 off ? "  OFF THE SHEET" : "");
  } else {
    std::fprintf(out, "\nmusic.mp3 cannot be decoded\n");
    ++broken;
  }

  if (!dumpFile.empty()) {
    DecodedSound dump;
    if (!ReadPcmWav(dumpFile, dump)) {
      std::fprintf(out, "\n%s cannot be read\n", dumpFile.c_str());
      return broken + 1;
    }
    const DumpFindings f = AnalyseDump(dump, music, kLoopSeconds, platform::AudioMixer::kSoftLimitKnee);
    // A game long enough to reach the end of the music must show its restart.
    const bool seamOff = f.seamsMs.empty() ? dump.signal.left.size() > music.signal.left.size() + dump.rate
                                           : std::fabs(f.worstSeamMs) >= 10.0;
    broken += (f.limited > 0 ? 1 : 0) + (seamOff ? 1 : 0);
    std::fprintf(out,
                 "\ndump %s: %.1f s\n  integrated %.1f LUFS, loudest moment %.1f LUFS, peak %.2f dBTP\n"
                 "  samples bent by the mixer's limit: %ld\n  music restarts: %zu, worst seam %+.1f ms from the bar (",
                 dumpFile.c_str(), static_cast<double>(dump.signal.left.size()) / dump.rate, f.integrated,
                 f.loudestMoment, f.truePeak, f.limited, f.seamsMs.size(), f.worstSeamMs);
    for (size_t i = 0; i < f.seamsMs.size(); ++i) std::fprintf(out, "%s%+.1f", i ? " " : "", f.seamsMs[i]);
    std::fprintf(out, ")\n");
  }
  return broken;
}

}  // namespace mkassets
