#include "music_score.h"

#include <cctype>
#include <sstream>
#include <stdexcept>
#include <string>

namespace mkassets {

namespace {

constexpr double kEighth = kBarSeconds / 8;
constexpr double kSixteenth = kBarSeconds / 16;

// "C5", "F#4", "Bb3" to a MIDI note number.
int Midi(const std::string& name) {
  static const int semitone[] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
  int n = semitone[std::toupper(name[0]) - 'A'];
  size_t i = 1;
  if (name[i] == '#') ++n, ++i;
  if (name[i] == 'b') --n, ++i;
  return n + 12 * (std::stoi(name.substr(i)) + 1);
}

// One bar of melody: pairs of note (or "r") and length in eighths, eight eighths in all.
void Melody(std::vector<NoteEvent>& out, int bar, const std::string& notes, double velocity = 0.8) {
  std::istringstream in(notes);
  std::string note;
  int length, at = 0;
  while (in >> note >> length) {
    if (note != "r")
      out.push_back({Instrument::Lead, bar * kBarSeconds + at * kEighth, length * kEighth * 0.92, Midi(note),
                     velocity, 0.1});
    at += length;
  }
  if (at != 8) throw std::logic_error("melody bar " + std::to_string(bar) + " is not eight eighths long");
}

struct Chord {
  int root;  // MIDI note of the bass root
  int third;
};

Chord ChordOf(const std::string& name) {
  const bool minor = name.size() > 1 && name.back() == 'm';
  const std::string rootName = minor ? name.substr(0, name.size() - 1) : name;
  int root = Midi(rootName + "2");
  if (root < Midi("E2")) root += 12;
  return Chord{root, minor ? 3 : 4};
}

// Bass and off-beat chord stabs for one bar holding one or two chords ("C", "F G").
void Accompany(std::vector<NoteEvent>& out, int bar, const std::string& chords, bool stabs, bool pad,
               bool bells) {
  std::istringstream in(chords);
  std::vector<std::string> names;
  for (std::string c; in >> c;) names.push_back(c);
  const int halves = static_cast<int>(names.size());
  for (int h = 0; h < halves; ++h) {
    const Chord c = ChordOf(names[static_cast<size_t>(h)]);
    const double t0 = bar * kBarSeconds + h * (kBarSeconds / halves);
    const int eighths = 8 / halves;
    // Bass: root, fifth, octave in a bouncing pattern.
    const int pattern[8] = {0, 0, 7, 12, 0, 0, 7, c.third};
    const int lengths[8] = {2, 0, 1, 1, 2, 0, 1, 1};
    for (int e = 0; e < eighths; ++e) {
      if (lengths[e] == 0) continue;
      const int step = pattern[e];
      out.push_back({Instrument::Bass, t0 + e * kEighth, lengths[e] * kEighth * 0.85, c.root + step,
                     e % 4 == 0 ? 0.95 : 0.75, 0});
    }
    const int low = c.root + 12 < Midi("G3") ? c.root + 24 : c.root + 12;
    const int voicing[3] = {low, low + c.third, low + 7};
    if (stabs)
      for (int e = 1; e < eighths; e += 2)
        for (int v = 0; v < 3; ++v)
          out.push_back({Instrument::Stab, t0 + e * kEighth, kEighth * 0.5, voicing[v], 0.7, -0.45 + 0.45 * v});
    if (pad)
      for (int v = 0; v < 3; ++v)
        out.push_back({Instrument::Pad, t0, eighths * kEighth * 0.97, voicing[v] + 12, 0.6, -0.6 + 0.6 * v});
    if (bells) {
      // Chord tones rippling up in sixteenths.
      const int arp[4] = {voicing[0] + 12, voicing[1] + 12, voicing[2] + 12, voicing[0] + 24};
      for (int s = 0; s < eighths * 2; ++s)
        out.push_back({Instrument::Bells, t0 + s * kSixteenth, kSixteenth, arp[s % 4], s % 4 == 0 ? 0.7 : 0.5,
                       s % 2 == 0 ? -0.5 : 0.5});
    }
  }
}

enum class Beat { Sparse, Full, Fill, Stop };

void Drums(std::vector<NoteEvent>& out, int bar, Beat beat, bool crash) {
  const double t0 = bar * kBarSeconds;
  auto hit = [&](Instrument i, int step, double velocity, double pan = 0) {
    out.push_back({i, t0 + step * kSixteenth, kSixteenth, 0, velocity, pan});
  };
  if (crash) hit(Instrument::Crash, 0, 0.7, 0.3);
  const int lastStep = beat == Beat::Stop ? 12 : 16;
  for (int s = 0; s < lastStep; s += 2) hit(Instrument::HatClosed, s, s % 4 == 0 ? 0.7 : 0.45, -0.35);
  hit(Instrument::Kick, 0, 1.0);
  if (beat == Beat::Sparse) {
    hit(Instrument::Kick, 8, 0.9);
    return;
  }
  hit(Instrument::Snare, 4, 0.9);
  hit(Instrument::Kick, 8, 0.9);
  if (beat == Beat::Full) {
    hit(Instrument::Kick, 10, 0.6);
    hit(Instrument::Snare, 12, 0.9);
    if (bar % 4 == 3) hit(Instrument::HatOpen, 14, 0.5, -0.35);
  } else if (beat == Beat::Fill) {
    for (int s = 12; s < 16; ++s) hit(Instrument::Snare, s, 0.55 + 0.1 * (s - 12));
  } else {
    // The stop at the end of the loop: two snare hits, then soft ticks leading back to the top. The last falls
    // half a sixteenth before the bar and has died away as it arrives: no hole before the join, and nothing
    // carried over into the start, which the first play would hear out of nowhere.
    hit(Instrument::Snare, 10, 0.8);
    hit(Instrument::Snare, 11, 0.9);
    for (int s = 12; s < 16; ++s) hit(Instrument::HatClosed, s, 0.25 + 0.08 * (s - 12), -0.35);
    out.push_back({Instrument::HatClosed, t0 + 15.5 * kSixteenth, kSixteenth / 2, 0, 0.5, -0.35});
  }
}

}  // namespace

std::vector<NoteEvent> ComposeScore() {
  std::vector<NoteEvent> out;
  const char* const themeA[8] = {"G4 1 C5 1 E5 2 D5 1 E5 1 G5 2", "D5 2 B4 1 D5 1 G5 2 F5 1 E5 1",
                                 "E5 2 C5 1 E5 1 A5 2 G5 1 E5 1", "F5 3 E5 1 D5 2 C5 2",
                                 "G4 1 C5 1 E5 2 D5 1 E5 1 G5 2", "B5 2 A5 1 G5 1 D5 2 G5 2",
                                 "A5 2 F5 2 G5 2 D5 2", "C6 4 r 2 G5 1 E5 1"};
  const char* const chordsA[8] = {"C", "G", "Am", "F", "C", "G", "F G", "C"};
  const char* const themeB[8] = {"A5 2 A5 1 G5 1 F5 2 C5 2", "B5 2 A5 1 G5 1 D5 2 G5 2",
                                 "G5 3 E5 1 B4 2 E5 2",      "C6 2 B5 1 A5 1 E5 4",
                                 "F5 2 A5 2 D6 2 C6 1 A5 1", "B5 3 G5 1 D5 2 B4 2",
                                 "C5 1 E5 1 G5 2 C6 2 E5 2", "D5 2 r 2 G4 1 A4 1 B4 2"};
  const char* const chordsB[8] = {"F", "G", "Em", "Am", "Dm", "G", "C", "G"};
  const char* const themeC[4] = {"A5 4 E5 2 C5 2", "F5 4 A5 2 C6 2", "G5 4 E5 2 C5 2", "D5 2 G5 2 B5 2 D6 2"};
  const char* const chordsC[4] = {"Am", "F", "C", "G"};

  int bar = 0;
  // Intro: the band comes in under a silent lead.
  Accompany(out, bar, "C", false, false, false);
  Drums(out, bar++, Beat::Sparse, true);
  Accompany(out, bar, "G", true, false, false);
  Drums(out, bar++, Beat::Fill, false);
  for (int pass = 0; pass < 2; ++pass) {
    // A and B; the second time round the bells join in.
    for (int i = 0; i < 8; ++i, ++bar) {
      Melody(out, bar, themeA[i]);
      Accompany(out, bar, chordsA[i], true, false, pass == 1);
      Drums(out, bar, i == 7 ? Beat::Fill : Beat::Full, i == 0);
    }
    if (pass == 1) break;
    for (int i = 0; i < 8; ++i, ++bar) {
      Melody(out, bar, themeB[i], 0.75);
      Accompany(out, bar, chordsB[i], true, false, false);
      Drums(out, bar, i == 7 ? Beat::Fill : Beat::Full, i == 0);
    }
  }
  // Bridge over held chords, then the turnaround back to the top.
  for (int i = 0; i < 4; ++i, ++bar) {
    Melody(out, bar, themeC[i], 0.7);
    Accompany(out, bar, chordsC[i], false, true, i >= 2);
    Drums(out, bar, i == 3 ? Beat::Fill : Beat::Sparse, i == 0);
  }
  Melody(out, bar, "C6 2 A5 2 B5 2 G5 2");
  Accompany(out, bar, "F G", true, false, false);
  Drums(out, bar++, Beat::Full, false);
  Melody(out, bar, "C6 3 r 5");
  out.push_back({Instrument::Bass, bar * kBarSeconds, 3 * kEighth, ChordOf("C").root, 0.95, 0});
  for (int v : {0, 4, 7})
    out.push_back({Instrument::Stab, bar * kBarSeconds, 2 * kEighth, ChordOf("C").root + 12 + v, 0.8, -0.3});
  Drums(out, bar++, Beat::Stop, false);
  if (bar != kBars) throw std::logic_error("the score is not " + std::to_string(kBars) + " bars long");
  return out;
}

}  // namespace mkassets
