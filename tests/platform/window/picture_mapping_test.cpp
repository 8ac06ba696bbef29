// Pointer positions to picture pixels in windows of every shape: the picture is centred and scaled evenly, the
// bars beside it belong to no pixel.
#include "platform/window/picture_mapping.h"

#include <gtest/gtest.h>

namespace {

using platform::Point;
using platform::WindowGeometry;
using platform::WindowToPicture;

void ExpectPoint(const WindowGeometry& g, double x, double y, int px, int py) {
  const auto p = WindowToPicture(g, x, y);
  ASSERT_TRUE(p.has_value()) << "window point " << x << "," << y;
  EXPECT_EQ(p->x, px) << "window point " << x << "," << y;
  EXPECT_EQ(p->y, py) << "window point " << x << "," << y;
}

void ExpectNowhere(const WindowGeometry& g, double x, double y) {
  EXPECT_FALSE(WindowToPicture(g, x, y).has_value()) << "window point " << x << "," << y;
}

TEST(PictureMapping, SameSizeWindowIsOneToOne) {
  const WindowGeometry g{800, 600, 800, 600};
  ExpectPoint(g, 0, 0, 0, 0);
  ExpectPoint(g, 268, 535, 268, 535);
  ExpectPoint(g, 799, 599, 799, 599);
  ExpectNowhere(g, 800, 300);
  ExpectNowhere(g, 300, 600);
  ExpectNowhere(g, -1, 10);
}

TEST(PictureMapping, ScaledWindowsOfTheSameShape) {
  // 400 x 300: every window pixel covers two picture pixels each way.
  const WindowGeometry half{400, 300, 400, 300};
  ExpectPoint(half, 134, 267.5, 268, 535);
  ExpectPoint(half, 399, 299, 798, 598);
  // 1000 x 750: five window pixels for four picture pixels.
  const WindowGeometry large{1000, 750, 1000, 750};
  ExpectPoint(large, 335, 668.75, 268, 535);
  ExpectPoint(large, 999, 749, 799, 599);
}

TEST(PictureMapping, FullScreenBarsGoNowhere) {
  // 1280 x 1024: scaled 1.6, picture 1280 x 960 with bars of 32 above and below.
  const WindowGeometry tall{1280, 1024, 1280, 1024};
  ExpectNowhere(tall, 640, 31);
  ExpectPoint(tall, 0, 32, 0, 0);
  ExpectPoint(tall, 736, 32 + 535 * 1.6, 460, 535);  // the False button's row
  ExpectPoint(tall, 1279, 991, 799, 599);
  ExpectNowhere(tall, 640, 992);
  // 1920 x 1080: scaled 1.8, picture 1440 x 1080 with bars of 240 left and right.
  const WindowGeometry wide{1920, 1080, 1920, 1080};
  ExpectNowhere(wide, 239, 540);
  ExpectPoint(wide, 240, 0, 0, 0);
  ExpectPoint(wide, 240 + 704 * 1.8 + 1, 520 * 1.8 + 1, 704, 520);  // the exit button's corner
  ExpectPoint(wide, 1679, 1079, 799, 599);
  ExpectNowhere(wide, 1680, 540);
}

TEST(PictureMapping, HighDensityDrawable) {
  // A window of 800 x 600 units drawn on 1600 x 1200 pixels: positions still arrive in units.
  const WindowGeometry retina{800, 600, 1600, 1200};
  ExpectPoint(retina, 268, 535, 268, 535);
  // A wide window of 1000 x 600 units on twice the pixels: bars of 100 units on each side.
  const WindowGeometry wide{1000, 600, 2000, 1200};
  ExpectNowhere(wide, 99, 300);
  ExpectPoint(wide, 100, 300, 0, 300);
  ExpectPoint(wide, 899.5, 300, 799, 300);
  ExpectNowhere(wide, 900, 300);
}

TEST(PictureMapping, DegenerateWindowsMapNowhere) {
  ExpectNowhere(WindowGeometry{0, 0, 0, 0}, 0, 0);
  ExpectNowhere(WindowGeometry{800, 600, 0, 600}, 10, 10);
}

}  // namespace
