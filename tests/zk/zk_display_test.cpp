#include <gtest/gtest.h>

#include "gfx/surface_utils.h"
#include "platform/timer/timer.h"
#include "platform/window/window.h"
#include "zk/debug_font.h"
#include "zk/zk.h"

using namespace platform;

namespace {
intptr_t Quiet(Window* w, uint32_t m, uintptr_t wp, intptr_t lp) { return DefWindowProc(w, m, wp, lp); }

Window* TestWindow() {
  static Window* w = [] {
    RegisterWindowClass("zk test", Quiet);
    return CreateWindow("zk test", "Zorvel", WindowKind::Captioned, 0, 0, 800, 600);
  }();
  return w;
}
}  // namespace

TEST(ZkDisplay, FlipShowsTheBackBufferWhichKeepsItsPictureInBothModes) {
  UseVirtualTime(true);
  for (bool fullScreen : {false, true}) {
    ASSERT_EQ(1, fullScreen ? ZKInitDirectX(TestWindow(), 800, 600, 16) : ZKInitDirectX(TestWindow(), 800, 600));
    Surface *front = nullptr, *back = nullptr;
    ZKGetDDInfo(&front, &back);
    ASSERT_NE(nullptr, back);
    FillSurfacePixel(back, 0x1234);
    ASSERT_EQ(1, ZKFlip());
    EXPECT_EQ(0x1234, ZKPresentedPicture()->Row16(599)[799]);
    EXPECT_EQ(0x1234, back->Row16(10)[10]) << "the back buffer keeps its picture";
    // Areas the game marks once (the background at the start) must not alternate with an older picture.
    ZKFlip();
    EXPECT_EQ(0x1234, ZKPresentedPicture()->Row16(300)[400]);
    ZKFreeDirectX();
  }
  ASSERT_EQ(0, ZKInitDirectX(TestWindow(), 800, 600, 32)) << "only 16-bit full screen";
  UseVirtualTime(false);
}

TEST(ZkDisplay, FlipWaitsForTheTickerLikeAVerticalBlank) {
  UseVirtualTime(true);
  ASSERT_EQ(1, ZKInitDirectX(TestWindow(), 800, 600));
  const uint32_t start = GetTickCount();
  for (int i = 0; i < 10; ++i) ZKFlip();
  EXPECT_GE(GetTickCount() - start, 90u) << "ten flips take at least nine ticker steps";
  // A frame that ran late starts in the tick of the last flip; the frame loop has paced it already, so it is shown
  // at once, and only that flip skips the wait.
  const uint32_t late = GetTickCount();
  ZKFramePaced();
  ZKFlip();
  EXPECT_EQ(late, GetTickCount());
  ZKFlip();
  EXPECT_GE(GetTickCount() - late, 10u);
  ZKFreeDirectX();
  UseVirtualTime(false);
}

TEST(ZkDisplay, DebugTextShowsOnlyOnTheFlipItWasPrintedFor) {
  UseVirtualTime(true);
  ASSERT_EQ(1, ZKInitDirectX(TestWindow(), 800, 600));
  ZKInitFont(TestWindow());
  Surface* back = nullptr;
  ZKGetDDInfo(nullptr, &back);
  FillSurfacePixel(back, 0);
  auto inkAt = [] {
    int ink = 0;
    const Surface* p = ZKPresentedPicture();
    for (int y = 0; y < zk::kDebugCellHeight; ++y)
      for (int x = 580; x < 580 + 6 * zk::kDebugCellWidth; ++x) ink += p->Row16(y)[x] != 0;
    return ink;
  };
  ZKPrintString("100.00", 580, 0);
  ZKFlip();
  EXPECT_GT(inkAt(), 40);
  EXPECT_EQ(0, back->Row16(2)[582]) << "the text is not drawn into the back buffer";
  ZKFlip();
  EXPECT_EQ(0, inkAt()) << "gone when not printed again";
  for (char c = 33; c < 127; ++c) EXPECT_TRUE(zk::DebugGlyphHasInk(c)) << c;
  ZKFreeFont();
  ZKFreeDirectX();
  UseVirtualTime(false);
}

TEST(ZkDisplay, ChannelBitCounts) {
  int r, g, b, a;
  ZKGetRGBABits(MakePixelFormat(PixelLayout::Rgb565), &r, &g, &b, &a);
  EXPECT_EQ(5, r);
  EXPECT_EQ(6, g);
  EXPECT_EQ(5, b);
  EXPECT_EQ(0, a);
  ZKGetRGBABits(MakePixelFormat(PixelLayout::Rgb555), &r, &g, &b, &a);
  EXPECT_EQ(5, g);
}
