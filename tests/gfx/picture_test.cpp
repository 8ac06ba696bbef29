#include "gfx/picture.h"

#include <gtest/gtest.h>

#include <cstring>

#include "ui/ui_test_support.h"

using platform::Surface;
using namespace test_support;

TEST(Picture, LoadDefineAndNames) {
  const std::string dir = FreshDir();
  const std::string file = dir + "/panel.bmp";
  WriteSolidBmp(file, 100, 40, {200, 10, 10});
  const int liveBefore = Surface::LiveCount();
  {
    Picture empty;
    EXPECT_STREQ("", empty.GetName());
    EXPECT_EQ(nullptr, empty.GetSurface());
    EXPECT_EQ(0, empty.GetWidth());

    Picture loaded(file.c_str());
    ASSERT_NE(nullptr, loaded.GetSurface());
    EXPECT_EQ(100, loaded.GetWidth());
    EXPECT_EQ(40, loaded.GetHeight());
    EXPECT_STREQ(file.c_str(), loaded.GetName()) << "a loaded picture is named after its file";
    platform::ColorKey key;
    ASSERT_EQ(platform::DD_OK, loaded.GetSurface()->GetColorKey(platform::DDCKEY_SRCBLT, &key));
    EXPECT_EQ(0x001Fu, key.dwColorSpaceLowValue) << "pure blue is the picture's transparent colour";
    loaded.SetName(nullptr);
    EXPECT_STREQ("", loaded.GetName());

    Picture area;
    area.Define("question", nullptr, 164, 244, 466, 168);
    EXPECT_STREQ("question", area.GetName());
    EXPECT_EQ(nullptr, area.GetSurface());
    EXPECT_EQ(164, area.GetX());
    EXPECT_EQ(244, area.GetY());
    EXPECT_EQ(466, area.GetWidth());
    EXPECT_EQ(168, area.GetHeight());

    Picture sized;
    sized.Define("bar", file.c_str(), 5, 6, 0, 12);
    EXPECT_EQ(100, sized.GetWidth()) << "a zero width keeps the bitmap's";
    EXPECT_EQ(12, sized.GetHeight());
    EXPECT_STREQ("bar", sized.GetName());

    Picture missing;
    missing.SetName("kept");
    EXPECT_EQ(nullptr, missing.Load((dir + "/nothing.bmp").c_str()));
    EXPECT_STREQ("kept", missing.GetName()) << "a failed load leaves the name alone";

    // Loading into a picture that already holds a bitmap lets the old one go.
    EXPECT_NE(nullptr, sized.Load(file.c_str()));
    EXPECT_EQ(liveBefore + 2, Surface::LiveCount());
  }
  EXPECT_EQ(liveBefore, Surface::LiveCount()) << "every picture released its bitmap, failed ones released nothing";
}

TEST(Picture, DrawClipsAtEveryEdgeAndLeavesBlueOut) {
  const std::string dir = FreshDir();
  const std::string file = dir + "/tile.bmp";
  // 10 x 10: the colour encodes the position; the pixel at (4, 3) is pure blue.
  WriteBmp(file, 10, 10, [](int x, int y) {
    return (x == 4 && y == 3) ? kBlue : Rgb{static_cast<uint8_t>(x * 20 + 8), static_cast<uint8_t>(y * 20 + 8), 0};
  });
  Picture tile(file.c_str());
  ASSERT_NE(nullptr, tile.GetSurface());
  auto expected = [](int x, int y) {
    return Pixel565({static_cast<uint8_t>(x * 20 + 8), static_cast<uint8_t>(y * 20 + 8), 0});
  };
  constexpr uint16_t kGround = 0x0841;
  Surface* dest = FilledSurface(20, 20, kGround);

  tile.Draw(dest, -3, -2);
  EXPECT_EQ(expected(3, 2), dest->Row16(0)[0]) << "the part left of and above the destination is cut off";
  EXPECT_EQ(expected(9, 9), dest->Row16(7)[6]);
  EXPECT_EQ(kGround, dest->Row16(8)[7]) << "nothing drawn past the bitmap";
  EXPECT_EQ(kGround, dest->Row16(1)[1]) << "the blue pixel (4, 3) landed on (1, 1) and stayed transparent";

  tile.Draw(dest, 15, 16);
  EXPECT_EQ(expected(0, 0), dest->Row16(16)[15]);
  EXPECT_EQ(expected(4, 2), dest->Row16(18)[19]) << "clipped at the right and bottom edges";
  EXPECT_EQ(kGround, dest->Row16(19)[19]) << "the blue pixel again";

  Surface* before = FilledSurface(20, 20, 0);
  before->Blt(nullptr, dest, nullptr, platform::DDBLT_WAIT, nullptr);
  tile.Draw(dest, -40, 5);
  tile.Draw(dest, 25, 25);
  for (int y = 0; y < 20; ++y)
    ASSERT_EQ(0, std::memcmp(before->Row16(y), dest->Row16(y), 40)) << "wholly outside draws nothing";

  Picture noBitmap;
  noBitmap.Define("text", nullptr, 0, 0, 20, 20);
  noBitmap.Draw(dest, 0, 0);
  EXPECT_EQ(expected(3, 2), dest->Row16(0)[0]) << "a picture without a bitmap draws nothing";
  before->Release();
  dest->Release();
}
