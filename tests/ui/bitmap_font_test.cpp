#include "ui/bitmap_font.h"

#include <gtest/gtest.h>

#include <string>

#include "gfx/surface_utils.h"
#include "ui/bitmap_font_test_sheet.h"

using platform::Surface;
using test_sheet::ScratchFolder;
using test_sheet::WriteGlyphSheet;

namespace {

constexpr uint16_t kRed = 0xF800;
constexpr uint16_t kWhite = 0xFFFF;

std::vector<int> WidthsWithWidest(int usual, char widestChar, int widest) {
  std::vector<int> widths(94, usual);
  widths[static_cast<size_t>(widestChar - 33)] = widest;
  return widths;
}

Surface* RedSurface(int width, int height) {
  Surface* surface = Surface::Create(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) surface->Row16(y)[x] = kRed;
  return surface;
}

bool AllRed(Surface* surface) {
  for (int y = 0; y < surface->height(); ++y)
    for (int x = 0; x < surface->width(); ++x)
      if (surface->Row16(y)[x] != kRed) return false;
  return true;
}

}  // namespace

TEST(BitmapFont, MetricsComeFromTheColumnScanAndTheWidestGlyph) {
  ScratchFolder folder;
  const std::string sheet = folder.File("font.bmp");

  WriteGlyphSheet(sheet, WidthsWithWidest(5, 'W', 17), 12);
  BitmapFont font;
  ASSERT_EQ(1, font.Load(sheet.c_str()));
  EXPECT_EQ(12, font.Height());
  EXPECT_EQ(8, font.SpaceWidth());
  EXPECT_EQ(1, font.Spacing());
  EXPECT_EQ(1, font.GlyphOf('!').start);
  EXPECT_EQ(6, font.GlyphOf('!').end);
  EXPECT_EQ(7, font.GlyphOf('"').start) << "one blue column between glyphs is enough";
  EXPECT_EQ(17, font.GlyphOf('W').width);
  // 93 glyphs of 5 and one of 17, each after one blue column.
  EXPECT_EQ(93 * 6 + 18 - 5, font.GlyphOf('~').start);
  EXPECT_EQ(5, font.GlyphOf('~').width);

  WriteGlyphSheet(sheet, WidthsWithWidest(3, 'M', 9), 8, 3);  // wider gaps also load
  ASSERT_EQ(1, font.Load(sheet.c_str()));
  EXPECT_EQ(4, font.SpaceWidth());
  EXPECT_EQ(0, font.Spacing()) << "a widest glyph of 9 leaves no gap between letters";
  EXPECT_EQ(3, font.GlyphOf('!').start);
  EXPECT_EQ(9, font.GlyphOf('M').width);
}

TEST(BitmapFont, SheetsThatCannotServeLeaveAQuietFont) {
  ScratchFolder folder;
  const int surfacesBefore = Surface::LiveCount();
  BitmapFont font;
  EXPECT_EQ(0, font.Load(folder.File("missing.bmp").c_str()));
  EXPECT_FALSE(font.IsLoaded());

  // 93 glyphs: the scan runs out of columns.
  const std::string shortSheet = folder.File("short.bmp");
  WriteGlyphSheet(shortSheet, std::vector<int>(93, 4), 6);
  EXPECT_EQ(0, font.Load(shortSheet.c_str()));
  EXPECT_FALSE(font.IsLoaded());

  // 94 blocks, but two of them touch and merge into one glyph: one short.
  std::vector<bool> columns;
  for (int g = 0; g < 94; ++g) {
    if (g != 40) columns.push_back(false);
    columns.insert(columns.end(), 3, true);
  }
  columns.push_back(false);
  test_sheet::WriteSheet(folder.File("merged.bmp"), columns, 6);
  EXPECT_EQ(0, font.Load(folder.File("merged.bmp").c_str()));

  EXPECT_EQ(Surface::LiveCount(), surfacesBefore) << "a failed load keeps no sheet";
  EXPECT_EQ(0, font.TextWidth("abc def"));
  Surface* destination = RedSurface(64, 16);
  EXPECT_EQ(1, font.DrawText(destination, "abc", 0, 0, 0, -1));
  EXPECT_EQ(0, font.DrawGlyph(destination, 'a', 0, 0));
  EXPECT_TRUE(AllRed(destination));
  destination->Release();

  // Loading again replaces the sheet instead of leaking it.
  const std::string good = folder.File("good.bmp");
  WriteGlyphSheet(good, std::vector<int>(94, 4), 6);
  ASSERT_EQ(1, font.Load(good.c_str()));
  ASSERT_EQ(1, font.Load(good.c_str()));
  EXPECT_EQ(surfacesBefore + 1, Surface::LiveCount());
}

TEST(BitmapFont, MeasuringAgreesWithDrawingExceptForCharactersWithoutGlyphs) {
  ScratchFolder folder;
  const std::string sheet = folder.File("font.bmp");
  std::vector<int> widths = WidthsWithWidest(5, 'W', 17);
  widths['A' - 33] = 7;
  widths['B' - 33] = 4;
  WriteGlyphSheet(sheet, widths, 10);
  BitmapFont font;
  ASSERT_EQ(1, font.Load(sheet.c_str()));

  EXPECT_EQ(7 + 1 + 8 + 4 + 1, font.TextWidth("A B"));
  EXPECT_EQ(8, font.CharAdvance('\t'));
  EXPECT_EQ(8, font.CharAdvance(static_cast<char>(200)));
  EXPECT_EQ(8, font.CharAdvance(static_cast<char>(127)));
  EXPECT_EQ(18, font.CharAdvance('W'));

  Surface* destination = RedSurface(200, 40);
  EXPECT_EQ(8, font.DrawGlyph(destination, ' ', 5, 5));
  EXPECT_EQ(0, font.DrawGlyph(destination, '\t', 5, 5));
  EXPECT_EQ(0, font.DrawGlyph(destination, static_cast<char>(200), 5, 5));
  EXPECT_TRUE(AllRed(destination)) << "space, tab and high characters draw nothing";
  EXPECT_EQ(8, font.DrawGlyph(destination, 'A', 5, 5));
  EXPECT_EQ(kWhite, destination->Row16(6)[5]);
  EXPECT_EQ(kWhite, destination->Row16(14)[11]);
  EXPECT_EQ(kRed, destination->Row16(6)[12]);
  EXPECT_EQ(kRed, destination->Row16(5)[5]) << "blue inside the glyph stays transparent";
  EXPECT_EQ(kRed, destination->Row16(15)[5]);

  // Left-aligned drawing moves 0 for a tab although measuring counts it as a space.
  Surface* tabbed = RedSurface(200, 40);
  font.DrawText(tabbed, "A\tB", 0, 0, 0, -1);
  EXPECT_EQ(kWhite, tabbed->Row16(1)[8]) << "B follows A directly";
  destination->Release();
  tabbed->Release();
}

TEST(BitmapFont, DrawTextAlignsLeftOrRightAndStopsAtTheLimit) {
  ScratchFolder folder;
  const std::string sheet = folder.File("font.bmp");
  WriteGlyphSheet(sheet, WidthsWithWidest(5, 'W', 17), 10);  // letters advance 6, a space 8
  BitmapFont font;
  ASSERT_EQ(1, font.Load(sheet.c_str()));
  Surface* surface = RedSurface(640, 40);
  auto white = [&](int x) { return surface->Row16(21)[x] == kWhite; };

  const std::string twenty(20, 'A');
  EXPECT_EQ(1, font.DrawText(surface, twenty.c_str(), 10, 20, 0, 100));
  EXPECT_TRUE(white(10 + 6 * 13 + 4)) << "the 14th letter ends at 93 and is drawn";
  EXPECT_FALSE(white(10 + 6 * 14)) << "the 15th would reach 100 and is not";
  EXPECT_FALSE(white(99));
  EXPECT_EQ(1, font.DrawText(surface, twenty.c_str(), 10, 20, 0, -1));
  EXPECT_TRUE(white(10 + 6 * 19 + 4)) << "no limit: all twenty letters";
  EXPECT_FALSE(white(10 + 6 * 20));

  EXPECT_EQ(1, font.DrawText(surface, "AB", 500, 20, 1, 0));
  EXPECT_TRUE(white(494));
  EXPECT_TRUE(white(498));
  EXPECT_FALSE(white(499)) << "the last advance cell, gap included, ends at 500";
  EXPECT_TRUE(white(488));
  EXPECT_FALSE(white(487));

  Surface* untouched = RedSurface(640, 40);
  EXPECT_EQ(1, font.DrawText(untouched, "AB", 10, 10, 2, -1));
  EXPECT_TRUE(AllRed(untouched)) << "an unknown alignment draws nothing";
  untouched->Release();
  surface->Release();

  // Text is cut at 255 characters: with one-column glyphs and no gap, column 254 is the last one drawn.
  WriteGlyphSheet(sheet, std::vector<int>(94, 1), 4);
  ASSERT_EQ(1, font.Load(sheet.c_str()));
  EXPECT_EQ(0, font.Spacing());
  Surface* wide = RedSurface(400, 4);
  font.DrawText(wide, std::string(300, '!').c_str(), 0, 0, 0, -1);
  EXPECT_EQ(kWhite, wide->Row16(1)[254]);
  EXPECT_EQ(kRed, wide->Row16(1)[255]);
  wide->Release();
}

TEST(BitmapFont, LettersBeyondAsciiDrawFromUtf8WithoutMovingAsciiText) {
  ScratchFolder folder;
  const std::string sheet = folder.File("font.bmp");
  // The ASCII glyphs as in the tests above (space 8, gap 1), then every letter from U+00A1 to U+017F, 3 wide,
  // except e with diaeresis (U+00EB) at 7 and AE (U+00C6) at 30, wider than any ASCII glyph.
  std::vector<int> widths = WidthsWithWidest(5, 'W', 17);
  widths['Z' - 33] = 4;
  std::vector<int> extra(0x17F - 0xA1 + 1, 3);
  extra[0xEB - 0xA1] = 7;
  extra[0xC6 - 0xA1] = 30;
  std::vector<int> all = widths;
  all.insert(all.end(), extra.begin(), extra.end());
  WriteGlyphSheet(sheet, all, 10);
  BitmapFont font;
  ASSERT_EQ(1, font.Load(sheet.c_str()));
  EXPECT_EQ(8, font.SpaceWidth()) << "the wide AE must not widen the space";
  EXPECT_EQ(1, font.Spacing());
  EXPECT_TRUE(font.HasLetter(0xEB));
  EXPECT_TRUE(font.HasLetter(0x17F)) << "the last letter of Latin Extended-A";
  EXPECT_TRUE(font.HasLetter(' '));
  EXPECT_FALSE(font.HasLetter(0x3A9)) << "Greek is not on the sheet";
  EXPECT_FALSE(font.HasLetter('\t'));

  const std::string zoe = "Zo\xC3\xAB";  // "Zoë"
  EXPECT_EQ((4 + 1) + (5 + 1) + (7 + 1), font.TextWidthUtf8(zoe));
  EXPECT_EQ(8, font.TextWidthUtf8("\xEB")) << "a Latin-1 byte alone is not UTF-8: a gap";
  EXPECT_EQ(8 + 8, font.TextWidthUtf8("\xCE\xA9 ")) << "a letter the font lacks is a gap";
  EXPECT_EQ((4 + 1) + (5 + 1) + 8 + 8, font.TextWidth(zoe.c_str())) << "the byte operations keep their rules";

  Surface* surface = RedSurface(200, 20);
  auto white = [&](int x) { return surface->Row16(11)[x] == kWhite; };
  font.DrawTextUtf8(surface, zoe, 10, 10, 0, -1);
  EXPECT_TRUE(white(21) && white(27)) << "the e with diaeresis spans 21 to 27";
  EXPECT_FALSE(white(20));
  EXPECT_FALSE(white(28));
  EXPECT_EQ(kRed, surface->Row16(10)[21]) << "blue stays transparent";
  surface->Release();

  surface = RedSurface(200, 20);
  font.DrawTextUtf8(surface, "\xC3\x86" "A", 100, 10, 1, -1);  // "ÆA" ending at 100
  EXPECT_TRUE(white(94 - 31) && white(94 - 31 + 29)) << "AE's cell comes before A's";
  EXPECT_FALSE(white(94 - 32));
  EXPECT_TRUE(white(94) && white(98));
  EXPECT_FALSE(white(99));
  surface->Release();

  // A limit stops before the letter whose advance would reach it, multi-byte letters counted as one.
  surface = RedSurface(200, 20);
  font.DrawTextUtf8(surface, "\xC3\xAB\xC3\xAB\xC3\xAB", 0, 10, 0, 20);
  EXPECT_TRUE(white(8 + 6));
  EXPECT_FALSE(white(16)) << "the third letter would reach 24";
  surface->Release();

  // A sheet of the 94 ASCII glyphs alone still loads, and has none of the other letters.
  WriteGlyphSheet(sheet, widths, 10);
  ASSERT_EQ(1, font.Load(sheet.c_str()));
  EXPECT_FALSE(font.HasLetter(0xEB));
  EXPECT_TRUE(font.HasLetter('Z'));
  // One that ends part of the way through the letters has those before the end.
  std::vector<int> some = widths;
  some.insert(some.end(), 12, 3);
  WriteGlyphSheet(sheet, some, 10);
  ASSERT_EQ(1, font.Load(sheet.c_str()));
  EXPECT_TRUE(font.HasLetter(0xA1 + 11));
  EXPECT_FALSE(font.HasLetter(0xA1 + 12));
}
