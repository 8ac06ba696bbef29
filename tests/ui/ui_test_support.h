#pragma once
// Helpers shared by the screen-framework and sprite tests: fresh folders, small BMP files written on the spot,
// plain surfaces, and a clean slate for the process-wide refresh manager.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "gfx/refresh_manager.h"
#include "platform/video/surface.h"

namespace test_support {

struct Rgb {
  uint8_t r, g, b;
};

inline constexpr Rgb kBlue{0, 0, 255};

// The 5-6-5 pixel of an 8-bit colour, as the bitmap loader makes it.
inline uint16_t Pixel565(Rgb c) {
  return static_cast<uint16_t>(((c.r >> 3) << 11) | ((c.g >> 2) << 5) | (c.b >> 3));
}

// An empty folder of its own for the running test, under the build tree.
inline std::string FreshDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::filesystem::path dir = std::filesystem::path(ZORVEL_BINARY_DIR) / "test_files" /
                              (std::string(info->test_suite_name()) + "." + info->name());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir.string();
}

// A 24-bit bottom-up BMP whose pixels come from colour(x, y).
inline void WriteBmp(const std::string& path, int width, int height, const std::function<Rgb(int, int)>& colour) {
  const int rowBytes = (width * 3 + 3) & ~3;
  const uint32_t imageSize = static_cast<uint32_t>(rowBytes * height);
  std::vector<uint8_t> file(54 + imageSize, 0);
  auto put16 = [&](size_t at, uint32_t v) {
    file[at] = static_cast<uint8_t>(v);
    file[at + 1] = static_cast<uint8_t>(v >> 8);
  };
  auto put32 = [&](size_t at, uint32_t v) {
    put16(at, v & 0xFFFF);
    put16(at + 2, v >> 16);
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, static_cast<uint32_t>(height));
  put16(26, 1);
  put16(28, 24);
  put32(34, imageSize);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = &file[54 + static_cast<size_t>(height - 1 - y) * rowBytes];
    for (int x = 0; x < width; ++x) {
      const Rgb c = colour(x, y);
      row[x * 3] = c.b;
      row[x * 3 + 1] = c.g;
      row[x * 3 + 2] = c.r;
    }
  }
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f) << path;
  ASSERT_EQ(file.size(), std::fwrite(file.data(), 1, file.size(), f));
  std::fclose(f);
}

inline void WriteSolidBmp(const std::string& path, int width, int height, Rgb colour) {
  WriteBmp(path, width, height, [colour](int, int) { return colour; });
}

inline void FillSurfaceWith(platform::Surface* s, uint16_t pixel) {
  for (int y = 0; y < s->height(); ++y)
    for (int x = 0; x < s->width(); ++x) s->Row16(y)[x] = pixel;
}

inline platform::Surface* FilledSurface(int width, int height, uint16_t pixel) {
  platform::Surface* s = platform::Surface::Create(width, height);
  FillSurfaceWith(s, pixel);
  return s;
}

// Back to parity 0 with no surfaces and no one-shot marks left in either list.
inline void ResetRefreshManager() {
  for (int i = 0; i < 2; ++i) {
    g_refreshManager.SetWorkSurface(nullptr);
    g_refreshManager.ToggleParity();
  }
  if (g_refreshManager.GetParity() != 0) g_refreshManager.ToggleParity();
  g_refreshManager.SetCleanSurface(nullptr);
}

}  // namespace test_support
