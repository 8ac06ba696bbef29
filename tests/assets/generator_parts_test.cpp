// The generator's building blocks: keying, file writers, signal tools, the score and the glyph scan.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "assets/asset_files.h"
#include "bmp_file.h"
#include "canvas.h"
#include "glyph_scan.h"
#include "glyph_sheet.h"
#include "keying.h"
#include "music_instruments.h"
#include "music_score.h"
#include "popup_art.h"
#include "synth.h"
#include "text.h"
#include "ui/bitmap_font.h"
#include "wav_file.h"
#include "zk/zk.h"

#ifdef MKASSETS_FONT_DIR  // only where the generator is built

namespace mk = mkassets;
namespace fs = std::filesystem;

namespace {

fs::path Scratch(const std::string& name) {
  const fs::path dir = fs::temp_directory_path() / ("zorvel_parts_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  return dir / name;
}

double SineLevel(mk::Biquad& filter, double frequency, int rate) {
  mk::Oscillator osc;
  double peak = 0;
  for (int i = 0; i < rate; ++i) {
    const double y = filter.Process(osc.Sine(frequency, rate));
    if (i > rate / 2) peak = std::max(peak, std::fabs(y));
  }
  return peak;
}

}  // namespace

TEST(GeneratorParts, KeyingBlendsEdgesWithTheUnderlayAndNeverLeavesBlueBehind) {
  mk::Canvas art(4, 1);
  cairo_surface_flush(art.surface());
  auto* px = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(art.surface()));
  px[0] = 0x00000000;  // empty
  px[1] = 0x60600000;  // red at 38% coverage: mostly transparent
  px[2] = 0xC0C00000;  // red at 75% coverage
  px[3] = 0xFF0000F0;  // opaque, almost the key blue
  cairo_surface_mark_dirty(art.surface());
  const mk::RgbImage out = mk::FlattenToKeyed(art, mk::FlatUnderlay(mk::Rgb{0, 200, 0}));
  EXPECT_EQ(mk::kKeyBlue, out.At(0, 0));
  EXPECT_EQ(mk::kKeyBlue, out.At(1, 0));
  // Three quarters red over the rest of the green underlay (200 x 63 / 255), not over blue.
  EXPECT_EQ((mk::Rgb{192, 49, 0}), out.At(2, 0));
  EXPECT_FALSE(mk::LooksLikeKey(out.At(3, 0)));
  EXPECT_FALSE(out.At(3, 0) == mk::kKeyBlue);
  EXPECT_TRUE(mk::LooksLikeKey(mk::Rgb{10, 20, 240}));
  EXPECT_FALSE(mk::LooksLikeKey(mk::Rgb{118, 186, 232})) << "sky blue is not key blue";
}

TEST(GeneratorParts, BitmapsOfAnyWidthLoadInTheGameAsWritten) {
  // Odd widths need row padding; the game's loader must see exactly the written pixels.
  for (int width : {1, 2, 3, 5, 38}) {
    mk::RgbImage image(width, 3);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < width; ++x)
        image.Set(x, y, mk::Rgb{static_cast<uint8_t>(x * 40), static_cast<uint8_t>(y * 100), 255});
    const fs::path file = Scratch("w" + std::to_string(width) + ".bmp");
    ASSERT_TRUE(mk::WriteBmp24(file, image));
    const auto back = mk::ReadBmp24(file);
    ASSERT_TRUE(back.has_value());
    platform::Surface* surface = ZKLoadBitmap(file.c_str(), 16);
    ASSERT_NE(nullptr, surface);
    ASSERT_EQ(width, surface->width());
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < width; ++x) {
        const mk::Rgb c = image.At(x, y);
        EXPECT_EQ(c, back->At(x, y));
        EXPECT_EQ(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3), surface->Row16(y)[x]) << x << "," << y;
      }
    surface->Release();
  }
  fs::remove_all(Scratch("").parent_path());
}

TEST(GeneratorParts, WavFilesHoldEvenChunksAndTheSamplesGiven) {
  mk::Signal left = {0.0f, 0.5f, -0.5f, 1.5f, -1.0f}, right = {0.0f, -0.25f, 0.25f, 0.0f, 0.0f};
  const fs::path mono8 = Scratch("mono8.wav"), stereo16 = Scratch("stereo16.wav");
  ASSERT_TRUE(mk::WriteWav(mono8, mk::PcmFormat{22050, 1, 8}, left, right));
  ASSERT_TRUE(mk::WriteWav(stereo16, mk::PcmFormat{22050, 2, 16}, left, right));
  const auto m = asset_files::ParseWav(asset_files::ReadAll(mono8.string()));
  ASSERT_EQ(2u, m.chunks.size());
  EXPECT_EQ("fmt ", m.chunks[0].id);
  EXPECT_EQ(18u, m.chunks[0].size);
  EXPECT_EQ(6u, m.chunks[1].size) << "five 8-bit samples padded to an even chunk with silence";
  ASSERT_EQ(6u, m.samples.size());
  EXPECT_NEAR(0.0, m.samples[0], 1.0 / 128);
  EXPECT_NEAR(0.5, m.samples[1], 2.0 / 128);
  EXPECT_NEAR(127.0 / 128, m.samples[3], 1.0 / 128) << "clipped, not wrapped";
  EXPECT_NEAR(0.0, m.samples[5], 1.0 / 128);
  const auto s = asset_files::ParseWav(asset_files::ReadAll(stereo16.string()));
  EXPECT_EQ(1, s.formatTag);
  EXPECT_EQ(2, s.channels);
  ASSERT_EQ(10u, s.samples.size());
  EXPECT_NEAR(-0.25, s.samples[3], 1e-4);
  EXPECT_NEAR(-0.5, s.samples[4], 1e-4);
  EXPECT_NEAR(-1.0, s.samples[8], 1e-4);
  fs::remove_all(mono8.parent_path());
}

TEST(GeneratorParts, SignalToolsShapeAsIntended) {
  const int rate = 22050;
  mk::Biquad low, band;
  low.Set(mk::Biquad::Type::LowPass, 1000, 0.7, rate);
  EXPECT_NEAR(1.0, SineLevel(low, 100, rate), 0.05);
  low = mk::Biquad{};
  low.Set(mk::Biquad::Type::LowPass, 1000, 0.7, rate);
  EXPECT_LT(SineLevel(low, 8000, rate), 0.05);
  band.Set(mk::Biquad::Type::BandPass, 500, 5, rate);
  EXPECT_NEAR(1.0, SineLevel(band, 500, rate), 0.05);

  // An oscillator at 441 Hz crosses zero upwards 441 times a second.
  mk::Oscillator osc;
  int crossings = 0;
  double previous = 0;
  for (int i = 0; i < rate; ++i) {
    const double v = osc.Saw(441, rate);
    crossings += previous < 0 && v >= 0 ? 1 : 0;
    previous = v;
  }
  EXPECT_NEAR(441, crossings, 1);

  EXPECT_DOUBLE_EQ(2.5, mk::Curve({{0, 0}, {1, 5}, {2, 5}}, 0.5));
  EXPECT_DOUBLE_EQ(5, mk::Curve({{0, 0}, {1, 5}}, 9));
  mk::Signal s(1000, 1.0f);
  mk::FadeEdges(s, rate, 0.01, 0.01);
  EXPECT_EQ(0.0f, s.front());
  EXPECT_LT(s.back(), 0.01f);
  EXPECT_EQ(1.0f, s[500]);

  mk::Noise a(5), b(5), c(6);
  EXPECT_EQ(a.Uniform(), b.Uniform()) << "seeded noise repeats";
  EXPECT_NE(a.Uniform(), c.Uniform());
}

TEST(GeneratorParts, TheScoreFillsWholeBarsAndDiesAwayOnTheBar) {
  const auto score = mk::ComposeScore();
  ASSERT_FALSE(score.empty());
  EXPECT_GE(mk::kLoopSeconds, 60.0);
  bool melody = false, bass = false, drums = false, chords = false;
  double lastSound = 0;
  for (const auto& n : score) {
    EXPECT_GE(n.start, 0.0);
    EXPECT_LT(n.start, mk::kLoopSeconds);
    // What is heard, release and ring included, not just how long the note is held.
    const double heard = static_cast<double>(mk::RenderNote(n, 8000, 1).size()) / 8000;
    lastSound = std::max(lastSound, n.start + heard);
    melody |= n.instrument == mk::Instrument::Lead;
    bass |= n.instrument == mk::Instrument::Bass;
    drums |= n.instrument == mk::Instrument::Kick;
    chords |= n.instrument == mk::Instrument::Stab;
    if (n.instrument == mk::Instrument::Lead) {
      EXPECT_GE(n.midi, 60);
      EXPECT_LE(n.midi, 90);
    }
  }
  EXPECT_TRUE(melody && bass && drums && chords);
  // Everything has died away by the end, so a restart after a pause does not cut a sound off; but only just, so
  // that the loop has no hole before its bar.
  EXPECT_LE(lastSound, mk::kLoopSeconds);
  EXPECT_GT(lastSound, mk::kLoopSeconds - 0.01);
}

TEST(GeneratorParts, ThePreviewReadsTheGlyphSheetAsTheGameDoes) {
  mk::FontLibrary fonts(MKASSETS_FONT_DIR);
  const mk::RgbImage sheet = mk::PaintGlyphSheet(fonts);
  const fs::path file = Scratch("font.bmp");
  ASSERT_TRUE(mk::WriteBmp24(file, sheet));
  mk::GlyphScan scan;
  ASSERT_TRUE(scan.Load(sheet));
  BitmapFont font;
  ASSERT_EQ(1, font.Load(file.c_str()));
  for (int c = 32; c <= 126; ++c) EXPECT_EQ(font.CharAdvance(static_cast<char>(c)), scan.CharAdvance(static_cast<char>(c)));
  EXPECT_EQ(font.Height(), scan.height());
  // Every cell carries the text panel's colour, so a glyph's cell is one solid run of columns.
  for (int x = 0; x < sheet.width(); ++x) {
    bool blue = false, other = false;
    for (int y = 0; y < sheet.height(); ++y) (sheet.At(x, y) == mk::kKeyBlue ? blue : other) = true;
    EXPECT_FALSE(blue && other) << "column " << x << " is partly transparent";
  }
  fs::remove_all(file.parent_path());
}

#endif

TEST(GeneratorParts, TheRulesCardNamesEveryKeyAndControllerButtonWithWhatItDoes) {
  struct Binding {
    const char* key;
    const char* action;
    bool controller;
  };
  // The game's bindings, as the readme's play section gives them.
  const Binding bindings[] = {
      {"T", "True", false},          {"Left", "True", false},        {"F", "False", false},
      {"Right", "False", false},     {"P", "Pass", false},           {"Down", "Pass", false},
      {"Space", "go on", false},     {"Return", "go on", false},     {"Escape", "quit", false},
      {"N", "new game", false},      {"R", "rules", false},          {"M", "menu", false},
      {"F1", "frame rate", false},   {"Alt+Enter", "full screen", false},
      {"A", "True, go on", true},    {"B", "False", true},           {"X", "Pass", true},
      {"Y", "Pass", true},           {"Start", "new game", true},    {"Back", "rules", true},
  };
  const std::vector<mk::RulesKey> card = mk::RulesCardKeys();
  for (const Binding& b : bindings) {
    int found = 0;
    for (const mk::RulesKey& line : card) {
      if (line.controller != b.controller) continue;
      for (size_t at = 0; at <= line.keys.size();) {
        const size_t end = std::min(line.keys.find(", ", at), line.keys.size());
        if (line.keys.substr(at, end - at) == b.key) {
          ++found;
          EXPECT_EQ(line.action, b.action) << b.key;
        }
        at = end + 2;
      }
    }
    EXPECT_EQ(found, 1) << (b.controller ? "controller button " : "key ") << b.key << " is not on the card once";
  }
}
