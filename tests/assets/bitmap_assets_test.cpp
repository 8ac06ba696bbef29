// The generated art: every bitmap is there, loads in the game, fits where the game draws it, and keeps the one
// transparent colour clean.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "assets/asset_files.h"
#include "common/asset_manifest.h"
#include "ui/bitmap_font.h"
#include "zk/zk.h"

using asset_files::Image;
using asset_files::ReadBmp24;

namespace {

const std::string kGame = ZORVEL_GAME_DIR;

const std::vector<std::string> kBitmaps(std::begin(assets::kBitmapFiles), std::end(assets::kBitmapFiles));

struct Rect {
  int x, y, w, h;
  bool Overlaps(const Rect& o) const { return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h; }
  bool Inside(const Rect& o) const { return x >= o.x && y >= o.y && x + w <= o.x + o.w && y + h <= o.y + o.h; }
};

Image Load(const std::string& name) {
  auto image = ReadBmp24(kGame + "/" + name);
  EXPECT_TRUE(image.has_value()) << name << " is missing or not a 24-bit BMP";
  return image.value_or(Image{});
}

// Where a strip of two images side by side is drawn, one image wide.
Rect ButtonAt(const std::string& name, int x, int y) {
  const Image strip = Load(name);
  EXPECT_EQ(0, strip.width % 2) << name << " must split into two equal images";
  return Rect{x, y, strip.width / 2, strip.height};
}

std::vector<bool> Mask(const Image& img, int x0, int w) {
  std::vector<bool> mask;
  for (int y = 0; y < img.height; ++y)
    for (int x = x0; x < x0 + w; ++x) mask.push_back(img.At(x, y).IsKey());
  return mask;
}

int Differences(const Image& a, int ax, int ay, const Image& b, int bx, int by, int w, int h) {
  int n = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) n += a.At(ax + x, ay + y) == b.At(bx + x, by + y) ? 0 : 1;
  return n;
}

}  // namespace

TEST(BitmapAssets, EveryBitmapExistsAndLoadsInTheGame) {
  for (const auto& name : kBitmaps) {
    SCOPED_TRACE(name);
    const Image img = Load(name);
    platform::Surface* surface = ZKLoadBitmap((kGame + "/" + name).c_str(), 16);
    ASSERT_NE(nullptr, surface);
    EXPECT_EQ(img.width, surface->width());
    EXPECT_EQ(img.height, surface->height());
    surface->Release();
  }
  const Image background = Load("background.bmp");
  EXPECT_EQ(800, background.width);
  EXPECT_EQ(600, background.height);
}

TEST(BitmapAssets, TheKeyBlueIsTheOnlyTransparencyAndLeavesNoFringe) {
  for (const auto& name : kBitmaps) {
    SCOPED_TRACE(name);
    const Image img = Load(name);
    int nearKey = 0;
    for (const auto& p : img.pixels) nearKey += p.NearKey() ? 1 : 0;
    EXPECT_EQ(0, nearKey) << "bluish pixels next to the key colour";
    // On the game's 16-bit surface, exactly the pure-blue pixels must come out as the key.
    platform::Surface* surface = ZKLoadBitmap((kGame + "/" + name).c_str(), 16);
    ASSERT_NE(nullptr, surface);
    int mismatches = 0;
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x) mismatches += (surface->Row16(y)[x] == 0x001F) != img.At(x, y).IsKey();
    EXPECT_EQ(0, mismatches) << "pixels whose transparency changes on a 16-bit surface";
    surface->Release();
  }
  // Nothing is drawn over the background with transparency, so it has none.
  const Image background = Load("background.bmp");
  for (const auto& p : background.pixels) ASSERT_FALSE(p.IsKey());
}

TEST(BitmapAssets, ButtonsFitTheScreenWithoutOverlappingEachOther) {
  const Rect screen{0, 0, 800, 600};
  const std::vector<Rect> buttons = {ButtonAt("newgame.bmp", 10, 520), ButtonAt("info.bmp", 104, 520),
                                     ButtonAt("back.bmp", 610, 520),    ButtonAt("exit.bmp", 704, 520),
                                     ButtonAt("truepie.bmp", 212, 479), ButtonAt("falsepie.bmp", 476, 479),
                                     ButtonAt("passpie.bmp", 350, 479)};
  for (size_t i = 0; i < buttons.size(); ++i) {
    EXPECT_TRUE(buttons[i].Inside(screen)) << "button " << i;
    EXPECT_GE(buttons[i].w, 60) << "button " << i << " too small to read";
    for (size_t j = i + 1; j < buttons.size(); ++j)
      EXPECT_FALSE(buttons[i].Overlaps(buttons[j])) << "buttons " << i << " and " << j;
  }
  // A button redrawn in the other state must cover the first one exactly.
  for (const char* name : {"newgame.bmp", "info.bmp", "back.bmp", "exit.bmp", "truepie.bmp", "falsepie.bmp",
                           "passpie.bmp"}) {
    const Image strip = Load(name);
    const int w = strip.width / 2;
    EXPECT_EQ(Mask(strip, 0, w), Mask(strip, w, w)) << name << ": the two images have different outlines";
    EXPECT_GT(Differences(strip, 0, 0, strip, w, 0, w, strip.height), w * strip.height / 20)
        << name << ": the highlighted image hardly differs";
  }
}

TEST(BitmapAssets, PanelPiecesFitTheirPlaces) {
  const Rect textPanel{164, 244, 466, 168};
  // Verdict stamps: one size, so that erasing one erases either; above the first text line at y 289.
  const Image yes = Load("true.bmp"), no = Load("false.bmp");
  EXPECT_EQ(yes.width, no.width);
  EXPECT_EQ(yes.height, no.height);
  const Rect verdict{345, 254, yes.width, yes.height};
  EXPECT_TRUE(verdict.Inside(textPanel));
  EXPECT_LE(verdict.y + verdict.h, 289);
  EXPECT_GT(Differences(yes, 0, 0, no, 0, 0, yes.width, yes.height), yes.width * yes.height / 3);
  // They tell the statement's truth, not the player's result: no green or red in either, which players read as right
  // and wrong whatever the word on the stamp.
  for (const Image* stamp : {&yes, &no})
    for (int y = 0; y < stamp->height; ++y)
      for (int x = 0; x < stamp->width; ++x) {
        const auto p = stamp->At(x, y);
        if (p.IsKey()) continue;
        ASSERT_LE(p.g - std::max(p.r, p.b), 24) << "green at " << x << "," << y << " of a verdict stamp";
        ASSERT_LE(p.r - std::max(p.g, p.b), 40) << "red at " << x << "," << y << " of a verdict stamp";
      }
  // The prompt sits below five lines of text and above the answer buttons.
  BitmapFont font;
  ASSERT_EQ(1, font.Load((kGame + "/font.bmp").c_str()));
  const Image prompt = Load("clicktocontinue.bmp");
  EXPECT_GE(403, 289 + 5 * font.Height());
  EXPECT_LE(403 + prompt.height, 479);
  EXPECT_LE(347 + prompt.width, 630);

  // Game over at (175, 299), clear of the answer buttons; the other pictures are centred and fit the screen.
  const Image over = Load("gameover.bmp");
  EXPECT_LE(over.width, 450);
  EXPECT_LE(299 + over.height, 479);
  for (const char* name : {"title/HowToPlay.bmp", "hallfamepop.bmp", "savefailed.bmp"}) {
    const Image popup = Load(name);
    EXPECT_LE(popup.width, 800) << name;
    EXPECT_LE(popup.height, 600) << name;
    EXPECT_GE(popup.width, 300) << name;
  }
  // Nothing restores the notice's area when it closes; only what the game redraws anyway covers it: the stage
  // (the bull's frames) and the text panel.
  const Image notice = Load("hallfamepop.bmp");
  const Rect centred{400 - notice.width / 2, 300 - notice.height / 2, notice.width, notice.height};
  EXPECT_TRUE(centred.Inside(Rect{164, 14, 415, 398})) << "the new-record notice would leave a trace";
  const Image failed = Load("savefailed.bmp");
  EXPECT_EQ(notice.width, failed.width) << "the failed-save notice takes the new-record notice's place";
  EXPECT_EQ(notice.height, failed.height);
  const Image rules = Load("title/HowToPlay.bmp");
  EXPECT_GE(rules.height, 300) << "the rules need room to be readable";
}

TEST(BitmapAssets, ScoreDigitsLadderFlowerAndClockFitTheirRows) {
  const Image digits = Load("scorefont.bmp");
  ASSERT_EQ(0, digits.width % 10);
  const int cell = digits.width / 10;
  // Seven digits end at x 134 and x 774 and must start inside the areas the game erases, (10, 10) and (650, 10).
  EXPECT_GE(134 - 7 * cell, 10);
  EXPECT_GE(774 - 7 * cell, 650);
  EXPECT_LE(20 + digits.height, 10 + 34) << "digits drawn at y 20 must stay in the score area";

  const Rect panel{2, 70, 150, 442};
  const Image ladder = Load("allscore.bmp"), lit = Load("allscorehighlight.bmp");
  ASSERT_EQ(0, ladder.width % 10);
  ASSERT_EQ(ladder.width, lit.width);
  ASSERT_EQ(ladder.height, lit.height);
  const int step = ladder.width / 10;
  EXPECT_LT(ladder.height, 43) << "steps are 43 pixels apart";
  for (int i = 0; i < 10; ++i) {
    EXPECT_TRUE((Rect{10, 466 - 43 * i, step, ladder.height}.Inside(panel))) << "step " << i;
    EXPECT_EQ(Mask(ladder, i * step, step), Mask(lit, i * step, step)) << "step " << i << " blinks unevenly";
    for (int j = 0; j < i; ++j)
      EXPECT_GT(Differences(ladder, i * step, 0, ladder, j * step, 0, step, ladder.height), 40)
          << "steps " << i << " and " << j << " look alike";
  }

  const Image flower = Load("flower.bmp");
  EXPECT_LE(flower.width, 42) << "flowers are 42 pixels apart";
  EXPECT_LE(466 + flower.height, 520);
  // The clock column is erased every frame over its own size: the flowers inside it then vanish with the
  // streak. It must not reach the text panel or the button row.
  const Image clock = Load("bulltimer.bmp");
  const Rect column{649, 74, clock.width, clock.height};
  for (int x : {655, 697, 739}) EXPECT_TRUE((Rect{x, 466, flower.width, flower.height}.Inside(column)));
  EXPECT_LE(column.y + column.h, 520);
  EXPECT_LE(column.x + column.w, 800);
  int opaque = 0;
  for (const auto& p : clock.pixels) opaque += p.IsKey() ? 0 : 1;
  EXPECT_GT(opaque, clock.width * clock.height / 2) << "the column must visibly fill";
}

TEST(BitmapAssets, BullSheetCutsIntoSixteenDistinctFramesAboveTheTextPanel) {
  const Image sheet = Load("bullanim.bmp");
  const int fw = 415, fh = 251, columns = sheet.width / fw, count = columns * (sheet.height / fh);
  ASSERT_GE(count, 16);
  const Image background = Load("background.bmp");
  for (int i = 0; i < 16; ++i) {
    SCOPED_TRACE("frame " + std::to_string(i));
    const int fx = (i % columns) * fw, fy = (i / columns) * fh;
    // Rows that land on the text panel (y 244 and below) must let it show through.
    for (int y = 244 - 14; y < fh; ++y)
      for (int x = 0; x < fw; ++x) ASSERT_TRUE(sheet.At(fx + x, fy + y).IsKey()) << x << ", " << y;
    // The bull differs from the empty stage by a good area.
    EXPECT_GT(Differences(sheet, fx, fy, background, 164, 14, fw, 244 - 14), 8000);
    for (int j = 0; j < i; ++j)
      EXPECT_GT(Differences(sheet, fx, fy, sheet, (j % columns) * fw, (j / columns) * fh, fw, fh), 300)
          << "frames " << i << " and " << j << " look alike";
  }
}

TEST(BitmapAssets, GlyphSheetScansIntoAllGlyphsWithGapsBetween) {
  BitmapFont font;
  ASSERT_EQ(1, font.Load((kGame + "/font.bmp").c_str()));
  EXPECT_LE(font.Height(), 24) << "five lines must fit the text panel below y 289";
  EXPECT_GE(font.Height(), 14) << "too small to read";
  std::vector<int> widths;
  for (int c = BitmapFont::kFirstChar; c <= BitmapFont::kLastChar; ++c) {
    const auto& g = font.GlyphOf(static_cast<char>(c));
    ASSERT_GE(g.width, 1) << static_cast<char>(c);
    widths.push_back(g.width);
    if (c > BitmapFont::kFirstChar) {
      EXPECT_GE(g.start - font.GlyphOf(static_cast<char>(c - 1)).end, 2) << "before " << static_cast<char>(c);
    }
  }
  // Proportional, and no glyph swallowed its neighbour (that one would be about twice as wide as usual).
  std::sort(widths.begin(), widths.end());
  EXPECT_LT(widths.front() * 3, widths.back());
  EXPECT_LE(widths.back(), 2 * widths[widths.size() / 2] + 2);
  EXPECT_GT(font.TextWidth("WWW"), font.TextWidth("iii"));
  EXPECT_GT(font.SpaceWidth(), font.GlyphOf('i').width);
}
