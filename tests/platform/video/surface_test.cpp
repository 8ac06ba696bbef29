#include "platform/video/surface.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

Surface* Filled(int w, int h, uint16_t value) {
  Surface* s = Surface::Create(w, h);
  BltFx fx;
  fx.dwFillColor = value;
  EXPECT_EQ(DD_OK, s->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
  return s;
}

}  // namespace

TEST(Surface, FillCopyAndKeyedBlit) {
  Surface* dst = Filled(8, 4, 0x1111);
  Surface* src = Filled(2, 2, 0x2222);
  src->Row16(0)[0] = 0x001F;  // pure blue in 5-6-5
  ColorKey key{0x001F, 0x001F};
  ASSERT_EQ(DD_OK, src->SetColorKey(DDCKEY_SRCBLT, &key));

  Rect at{1, 1, 3, 3};
  EXPECT_EQ(DD_OK, dst->Blt(&at, src, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr));
  EXPECT_EQ(0x1111, dst->Row16(1)[1]) << "keyed pixel must stay transparent";
  EXPECT_EQ(0x2222, dst->Row16(1)[2]);
  EXPECT_EQ(0x2222, dst->Row16(2)[1]);

  // Without the key flag the blue pixel is copied.
  EXPECT_EQ(DD_OK, dst->Blt(&at, src, nullptr, DDBLT_WAIT, nullptr));
  EXPECT_EQ(0x001F, dst->Row16(1)[1]);
  // The fill touched only its rectangle.
  BltFx fx;
  fx.dwFillColor = 0xABCD;
  Rect part{6, 0, 8, 1};
  EXPECT_EQ(DD_OK, dst->Blt(&part, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx));
  EXPECT_EQ(0xABCD, dst->Row16(0)[7]);
  EXPECT_EQ(0x1111, dst->Row16(1)[7]);
  dst->Release();
  src->Release();
}

TEST(Surface, RefusesEmptyInvertedAndOutOfBoundsRectangles) {
  Surface* dst = Filled(10, 10, 0);
  Surface* src = Filled(4, 4, 7);
  const Rect bad[] = {{2, 2, 2, 5}, {5, 2, 3, 6}, {-1, 0, 3, 3}, {8, 8, 12, 12}, {0, 0, 11, 1}};
  for (const Rect& r : bad) {
    EXPECT_EQ(DDERR_INVALIDRECT, dst->Blt(&r, src, nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(DDERR_INVALIDRECT, dst->Blt(nullptr, src, &r, DDBLT_WAIT, nullptr));
  }
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(0, dst->Row16(y)[x]) << "a refused blit must not draw";
  dst->Release();
  src->Release();
}

TEST(Surface, ScalesWhenRectanglesDiffer) {
  Surface* src = Surface::Create(2, 2);
  src->Row16(0)[0] = 1, src->Row16(0)[1] = 2, src->Row16(1)[0] = 3, src->Row16(1)[1] = 4;
  Surface* dst = Filled(4, 4, 0);
  EXPECT_EQ(DD_OK, dst->Blt(nullptr, src, nullptr, DDBLT_WAIT, nullptr));
  const uint16_t expected[4][4] = {{1, 1, 2, 2}, {1, 1, 2, 2}, {3, 3, 4, 4}, {3, 3, 4, 4}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(expected[y][x], dst->Row16(y)[x]) << x << "," << y;
  // Shrinking picks every other pixel.
  Surface* small = Filled(1, 1, 0);
  EXPECT_EQ(DD_OK, small->Blt(nullptr, dst, nullptr, DDBLT_WAIT, nullptr));
  EXPECT_EQ(1, small->Row16(0)[0]);
  src->Release();
  dst->Release();
  small->Release();
}

TEST(Surface, OverlappingBlitWithinOneSurfaceReadsTheOriginal) {
  Surface* s = Surface::Create(4, 1);
  for (int x = 0; x < 4; ++x) s->Row16(0)[x] = static_cast<uint16_t>(x + 1);
  Rect from{0, 0, 3, 1}, to{1, 0, 4, 1};
  EXPECT_EQ(DD_OK, s->Blt(&to, s, &from, DDBLT_WAIT, nullptr));
  EXPECT_EQ(1, s->Row16(0)[0]);
  EXPECT_EQ(1, s->Row16(0)[1]);
  EXPECT_EQ(2, s->Row16(0)[2]);
  EXPECT_EQ(3, s->Row16(0)[3]);
  s->Release();
}

TEST(Surface, LockDescriptionFormatsAndReferenceCounting) {
  const int before = Surface::LiveCount();
  Surface* s = Surface::Create(5, 3, PixelLayout::Rgb555);
  SurfaceDesc desc;
  ASSERT_EQ(DD_OK, s->Lock(nullptr, &desc, DDLOCK_WAIT));
  EXPECT_EQ(5u, desc.dwWidth);
  EXPECT_EQ(3u, desc.dwHeight);
  EXPECT_GE(desc.lPitch, 10);
  EXPECT_EQ(0, desc.lPitch % 4);
  EXPECT_EQ(16u, desc.ddpfPixelFormat.dwRGBBitCount);
  EXPECT_EQ(0x7C00u, desc.ddpfPixelFormat.dwRBitMask);
  ASSERT_NE(nullptr, desc.lpSurface);
  EXPECT_EQ(DDERR_SURFACEBUSY, s->Lock(nullptr, &desc, DDLOCK_WAIT));
  Surface* other = Surface::Create(5, 3, PixelLayout::Rgb555);
  EXPECT_EQ(DDERR_SURFACEBUSY, other->Blt(nullptr, s, nullptr, DDBLT_WAIT, nullptr)) << "locked source";
  EXPECT_EQ(DD_OK, s->Unlock(nullptr));
  EXPECT_EQ(DDERR_NOTLOCKED, s->Unlock(nullptr));

  SurfaceDesc wrongSize;
  wrongSize.dwSize = 100;
  EXPECT_EQ(DDERR_INVALIDPARAMS, s->GetSurfaceDesc(&wrongSize));

  EXPECT_EQ(2u, s->AddRef());
  EXPECT_EQ(1u, s->Release());
  EXPECT_EQ(before + 2, Surface::LiveCount());
  EXPECT_EQ(0u, s->Release());
  other->Release();
  EXPECT_EQ(before, Surface::LiveCount());
  EXPECT_EQ(nullptr, Surface::Create(0, 10));
  EXPECT_EQ(nullptr, Surface::Create(100000, 100000)) << "absurd sizes are refused, not allocated";
}
