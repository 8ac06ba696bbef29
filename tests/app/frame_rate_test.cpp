// Where F1's frame rate shows: wholly inside the picture, clear of its edges.
#include <gtest/gtest.h>

#include "app/app_main.h"
#include "gfx/surface_utils.h"
#include "platform/timer/timer.h"
#include "platform/window/window.h"
#include "zk/zk.h"

namespace {
intptr_t Quiet(platform::Window* w, uint32_t m, uintptr_t wp, intptr_t lp) {
  return platform::DefWindowProc(w, m, wp, lp);
}
}  // namespace

TEST(FrameRate, TheWholeTextLiesInsideThePictureWithAMargin) {
  platform::UseVirtualTime(true);
  platform::RegisterWindowClass("frame rate test", Quiet);
  platform::Window* window =
      platform::CreateWindow("frame rate test", "Zorvel", platform::WindowKind::Captioned, 0, 0, 800, 600);
  ASSERT_EQ(1, ZKInitDirectX(window, 800, 600));
  ZKInitFont(window);
  platform::Surface* back = nullptr;
  ZKGetDDInfo(nullptr, &back);
  FillSurfacePixel(back, 0);
  for (float rate : {100.0f, 99.5f, 250.0f}) {
    ShowFrameRate(rate);
    ZKFlip();
    const platform::Surface* picture = ZKPresentedPicture();
    ASSERT_NE(picture, nullptr);
    int left = 800, top = 600, right = -1, bottom = -1, ink = 0;
    for (int y = 0; y < 600; ++y)
      for (int x = 0; x < 800; ++x)
        if (picture->Row16(y)[x] != 0) {
          ++ink;
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
        }
    EXPECT_GT(ink, 60) << rate;
    EXPECT_GE(top, 4) << rate << ": the text touches the top edge";
    EXPECT_GE(left, 4) << rate;
    EXPECT_LE(right, 800 - 1 - 4) << rate << ": the text runs off the right edge";
    EXPECT_LE(bottom, 600 - 1 - 4) << rate << ": the text runs off the bottom edge";
  }
  ZKFreeFont();
  ZKFreeDirectX();
  platform::DestroyWindow(window);
  platform::UseVirtualTime(false);
}
