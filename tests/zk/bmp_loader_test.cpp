#include "zk/bmp_loader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace zk;
using platform::PixelLayout;
using platform::Surface;

namespace {

void Put16(std::vector<uint8_t>& v, size_t at, uint32_t x) { v[at] = x & 0xFF, v[at + 1] = (x >> 8) & 0xFF; }
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = (x >> (8 * i)) & 0xFF;
}

// A BMP with a 40-byte header; pixel rows are given top to bottom as packed bytes (without padding).
std::vector<uint8_t> MakeBmp(int w, int h, int bpp, const std::vector<std::vector<uint8_t>>& rowsTopDown,
                             bool topDown = false, const std::vector<uint32_t>& palette = {}, uint32_t compression = 0,
                             const std::vector<uint32_t>& masks = {}) {
  const size_t rowBytes = ((static_cast<size_t>(w) * bpp + 31) / 32) * 4;
  const size_t headers = 14 + 40 + masks.size() * 4 + palette.size() * 4;
  std::vector<uint8_t> v(headers + rowBytes * h, 0);
  v[0] = 'B', v[1] = 'M';
  Put32(v, 2, static_cast<uint32_t>(v.size()));
  Put32(v, 10, static_cast<uint32_t>(headers));
  Put32(v, 14, 40);
  Put32(v, 18, static_cast<uint32_t>(w));
  Put32(v, 22, static_cast<uint32_t>(topDown ? -h : h));
  Put16(v, 26, 1);
  Put16(v, 28, static_cast<uint32_t>(bpp));
  Put32(v, 30, compression);
  Put32(v, 46, static_cast<uint32_t>(palette.size()));
  size_t at = 54;
  for (uint32_t m : masks) Put32(v, at, m), at += 4;
  for (uint32_t c : palette) Put32(v, at, c), at += 4;
  for (int r = 0; r < h; ++r) {
    const int fileRow = topDown ? r : h - 1 - r;
    std::memcpy(&v[headers + rowBytes * fileRow], rowsTopDown[r].data(), rowsTopDown[r].size());
  }
  return v;
}

constexpr uint16_t kBlue = 0x001F, kRed = 0xF800, kWhite = 0xFFFF, kGreen = 0x07E0;

void ExpectPixels(Surface* s, const std::vector<std::vector<uint16_t>>& expected) {
  ASSERT_NE(nullptr, s);
  ASSERT_EQ(static_cast<int>(expected[0].size()), s->width());
  ASSERT_EQ(static_cast<int>(expected.size()), s->height());
  for (size_t y = 0; y < expected.size(); ++y)
    for (size_t x = 0; x < expected[y].size(); ++x)
      EXPECT_EQ(expected[y][x], s->Row16(static_cast<int>(y))[x]) << x << "," << y;
  s->Release();
}

}  // namespace

TEST(BmpLoader, ReadsEveryDepthAndBothRowOrders) {
  // 24-bit, blue-green-red byte order, bottom-up and top-down.
  std::vector<std::vector<uint8_t>> rows24 = {{255, 0, 0, 0, 0, 255, 255, 255, 255}, {0, 255, 0, 0, 0, 0, 255, 0, 0}};
  const std::vector<std::vector<uint16_t>> expected = {{kBlue, kRed, kWhite}, {kGreen, 0, kBlue}};
  ExpectPixels(DecodeBmp(MakeBmp(3, 2, 24, rows24), PixelLayout::Rgb565), expected);
  ExpectPixels(DecodeBmp(MakeBmp(3, 2, 24, rows24, true), PixelLayout::Rgb565), expected);

  // 32-bit, default layout X8R8G8B8.
  std::vector<std::vector<uint8_t>> rows32 = {{255, 0, 0, 0, 0, 0, 255, 0, 255, 255, 255, 0},
                                              {0, 255, 0, 0, 0, 0, 0, 0, 255, 0, 0, 0}};
  ExpectPixels(DecodeBmp(MakeBmp(3, 2, 32, rows32), PixelLayout::Rgb565), expected);

  // 8, 4 and 1 bit with a palette (B, G, R, 0 entries).
  const std::vector<uint32_t> palette = {0x000000FF /*blue*/, 0x00FF0000 /*red*/, 0x00FFFFFF, 0x0000FF00};
  ExpectPixels(DecodeBmp(MakeBmp(3, 2, 8, {{0, 1, 2}, {3, 255, 0}}, false, palette), PixelLayout::Rgb565),
               {{kBlue, kRed, kWhite}, {kGreen, 0, kBlue}});
  ExpectPixels(DecodeBmp(MakeBmp(3, 2, 4, {{0x01, 0x20}, {0x30, 0x00}}, false, palette), PixelLayout::Rgb565),
               {{kBlue, kRed, kWhite}, {kGreen, kBlue, kBlue}});
  ExpectPixels(DecodeBmp(MakeBmp(3, 1, 1, {{0xA0}}, false, {0x00000000, 0x00FFFFFF}), PixelLayout::Rgb565),
               {{kWhite, 0, kWhite}});

  // 16-bit: plain (5-5-5) and with 5-6-5 bit fields.
  ExpectPixels(DecodeBmp(MakeBmp(2, 1, 16, {{0x1F, 0x00, 0x00, 0x7C}}), PixelLayout::Rgb565), {{kBlue, kRed}});
  ExpectPixels(DecodeBmp(MakeBmp(2, 1, 16, {{0x1F, 0x00, 0xE0, 0x07}}, false, {}, 3, {0xF800, 0x07E0, 0x001F}),
                         PixelLayout::Rgb565),
               {{kBlue, kGreen}});

  // Pure blue stays exactly the key value in 5-5-5 too.
  Surface* s555 = DecodeBmp(MakeBmp(3, 2, 24, rows24), PixelLayout::Rgb555);
  ASSERT_NE(nullptr, s555);
  EXPECT_EQ(0x001F, s555->Row16(0)[0]);
  EXPECT_EQ(0x7FFF, s555->Row16(0)[2]);
  s555->Release();
}

TEST(BmpLoader, BrokenFilesGiveNullNeverACrash) {
  const std::vector<std::vector<uint8_t>> rows = {{1, 2, 3}, {4, 5, 6}};
  const std::vector<uint8_t> good = MakeBmp(1, 2, 24, rows);
  Surface* base = DecodeBmp(good, PixelLayout::Rgb565);
  ASSERT_NE(nullptr, base) << "the base case must load";
  base->Release();

  auto broken = [&](auto change) {
    std::vector<uint8_t> v = good;
    change(v);
    Surface* s = DecodeBmp(v, PixelLayout::Rgb565);
    if (s) s->Release();
    return s == nullptr;
  };
  EXPECT_TRUE(broken([](auto& v) { v[0] = 'X'; }));
  EXPECT_TRUE(broken([](auto& v) { v.resize(v.size() - 1); })) << "truncated pixel data";
  EXPECT_TRUE(broken([](auto& v) { v.resize(20); })) << "truncated header";
  EXPECT_TRUE(broken([](auto& v) { Put32(v, 18, 100000); })) << "huge width";
  EXPECT_TRUE(broken([](auto& v) { Put32(v, 22, 0x80000000u); })) << "most negative height";
  EXPECT_TRUE(broken([](auto& v) { Put32(v, 18, 0); }));
  EXPECT_TRUE(broken([](auto& v) { Put32(v, 10, 0xFFFFFFF0u); })) << "data offset past the end";
  EXPECT_TRUE(broken([](auto& v) { Put32(v, 14, 0xFFFFFFFFu); })) << "header size past the end";
  EXPECT_TRUE(broken([](auto& v) { Put16(v, 28, 7); })) << "no such depth";
  EXPECT_TRUE(broken([](auto& v) { Put32(v, 30, 1); })) << "run-length data";
  EXPECT_TRUE(broken([](auto& v) { Put16(v, 26, 2); })) << "planes";
  std::vector<uint8_t> paletted = MakeBmp(1, 1, 8, {{0}}, false, {0});
  Put32(paletted, 46, 100000);
  EXPECT_EQ(nullptr, DecodeBmp(paletted, PixelLayout::Rgb565)) << "palette larger than the file";
  EXPECT_EQ(nullptr, DecodeBmp({}, PixelLayout::Rgb565));
  EXPECT_EQ(nullptr, LoadBmpFile("/nonexistent/file.bmp", PixelLayout::Rgb565));

  // Every truncation of a valid file is refused without reading past its end (run under the address sanitizer).
  for (size_t n = 0; n < good.size(); ++n) {
    std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<long>(n));
    EXPECT_EQ(nullptr, DecodeBmp(cut, PixelLayout::Rgb565)) << n;
  }
}
