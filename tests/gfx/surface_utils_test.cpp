#include "gfx/surface_utils.h"

#include <gtest/gtest.h>

using platform::PixelLayout;
using platform::Rect;

TEST(SurfaceUtils, ColourConversionKeysAndPixels) {
  Surface* s565 = Surface::Create(4, 4, PixelLayout::Rgb565);
  Surface* s555 = Surface::Create(4, 4, PixelLayout::Rgb555);
  EXPECT_EQ(0x001F, RGBToPixel(s565, 0, 0, 255));
  EXPECT_EQ(0x001F, RGBToPixel(s555, 0, 0, 255));
  EXPECT_EQ(0xFFFF, RGBToPixel(s565, 255, 255, 255));
  EXPECT_EQ(0x7FFF, RGBToPixel(s555, 255, 255, 255));
  EXPECT_EQ(0xFC00, RGBToPixel(s565, 255, 128, 0));
  SetColorKeyRGB(s565, 0, 0, 255);
  platform::ColorKey key;
  ASSERT_EQ(platform::DD_OK, s565->GetColorKey(platform::DDCKEY_SRCBLT, &key));
  EXPECT_EQ(0x001Fu, key.dwColorSpaceLowValue);
  EXPECT_EQ(0x001Fu, key.dwColorSpaceHighValue);

  FillSurfacePixel(s565, 0x12345);  // only the low 16 bits count
  EXPECT_EQ(0x2345, GetSurfacePixel(s565, 3, 3));
  Surface* indexed = Surface::Create(3, 2, PixelLayout::Indexed8);
  indexed->bits()[indexed->pitch() + 2] = 200;
  EXPECT_EQ(200, GetSurfacePixel(indexed, 2, 1)) << "8-bit surfaces give the palette index";
  EXPECT_FALSE(s565->locked()) << "the pixel read unlocks again";
  int32_t w = 0, h = 0;
  GetSurfaceSize(indexed, &w, &h);
  EXPECT_EQ(3, w);
  EXPECT_EQ(2, h);
  s565->Release();
  s555->Release();
  indexed->Release();
}

TEST(SurfaceUtils, CentringAndSheetCutting) {
  Surface* wide = Surface::Create(101, 10);
  Rect r;
  CenterSurfaceRect(wide, 0, 0, 200, 100, &r);
  EXPECT_EQ(50, r.left);
  EXPECT_EQ(151, r.right);
  EXPECT_EQ(45, r.top);
  EXPECT_EQ(55, r.bottom);
  wide->Release();

  Surface* sheet = Surface::Create(100, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) sheet->Row16(y)[x] = static_cast<uint16_t>((y / 20) * 10 + x / 32);
  PtrArray<Surface> frames;
  int32_t columns = 0;
  ASSERT_EQ(1, CutSheetSurface(sheet, &frames, 32, 20, &columns));
  EXPECT_EQ(3, columns);
  ASSERT_EQ(6, frames.Count());
  const uint16_t order[6] = {0, 1, 2, 10, 11, 12};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(32, frames.Get(i)->width());
    EXPECT_EQ(order[i], frames.Get(i)->Row16(5)[5]) << "frames go row by row, left to right";
    platform::ColorKey key;
    EXPECT_EQ(platform::DD_OK, frames.Get(i)->GetColorKey(platform::DDCKEY_SRCBLT, &key));
    EXPECT_EQ(0x001Fu, key.dwColorSpaceLowValue);
    frames.Get(i)->Release();
  }
  frames.Reset();
  Surface* tiny = Surface::Create(10, 10);
  EXPECT_EQ(1, CutSheetSurface(tiny, &frames, 32, 20, nullptr));
  EXPECT_EQ(0, frames.Count()) << "a sheet smaller than a frame yields none";
  EXPECT_EQ(0, CutSheetSurface(tiny, &frames, 0, 20, nullptr)) << "a zero frame size is refused, not divided by";
  tiny->Release();
  sheet->Release();
  EXPECT_EQ(0, LoadSheetFrames("no-such-sheet.bmp", &frames, 10, 10, nullptr));
}

TEST(SurfaceUtils, ClippedBlitsAtTheEdges) {
  Surface* src = Surface::Create(50, 50);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) src->Row16(y)[x] = static_cast<uint16_t>(1 + x + 100 * y);
  Surface* dst = Surface::Create(800, 600);
  BltClipped(src, dst, -10, 580, kTransparentBlit);
  EXPECT_EQ(1 + 10, dst->Row16(580)[0]) << "source column 10 lands at x 0";
  EXPECT_EQ(1 + 49 + 100 * 19, dst->Row16(599)[39]);
  EXPECT_EQ(0, dst->Row16(579)[0]);
  EXPECT_EQ(0, dst->Row16(580)[40]);

  // Keyed: blue source pixels stay out.
  src->Row16(0)[0] = 0x001F;
  SetColorKeyRGB(src, 0, 0, 255);
  dst->Row16(0)[0] = 0x7777;
  BltClippedRect(src, 0, 0, 2, 2, dst, 0, 0, kTransparentBlit);
  EXPECT_EQ(0x7777, dst->Row16(0)[0]);
  EXPECT_EQ(2, dst->Row16(0)[1]);

  // Wholly outside: refused, nothing drawn, no crash.
  BltClipped(src, dst, 900, 10, kTransparentBlit);
  BltClipped(src, dst, -60, 10, kTransparentBlit);
  EXPECT_EQ(0, dst->Row16(10)[799]);
  src->Release();
  dst->Release();
}
