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
