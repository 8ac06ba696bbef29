// BMP pictures: a file either gives a surface no larger than its bytes can describe, the same in both pixel
// layouts and the same on every decode, or nothing, and never leaks a surface.
#include <cstring>
#include <vector>

#include "fuzz_support.h"
#include "zk/bmp_loader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::vector<uint8_t> file(data, data + size);
  const int liveBefore = platform::Surface::LiveCount();
  platform::Surface* first = zk::DecodeBmp(file, platform::PixelLayout::Rgb565);
  platform::Surface* again = zk::DecodeBmp(file, platform::PixelLayout::Rgb565);
  platform::Surface* other = zk::DecodeBmp(file, platform::PixelLayout::Rgb555);
  FUZZ_CHECK((first == nullptr) == (again == nullptr));
  FUZZ_CHECK((first == nullptr) == (other == nullptr));
  if (first) {
    const int w = first->width(), h = first->height();
    FUZZ_CHECK(w >= 1 && h >= 1 && w <= 8192 && h <= 8192);
    // At one bit a pixel and no header at all, a file still needs a bit for every pixel.
    FUZZ_CHECK(static_cast<uint64_t>(w) * static_cast<uint64_t>(h) <= 8ull * size);
    FUZZ_CHECK(again->width() == w && again->height() == h && other->width() == w && other->height() == h);
    for (int y = 0; y < h; ++y)
      FUZZ_CHECK(std::memcmp(first->Row16(y), again->Row16(y), static_cast<size_t>(w) * 2) == 0);
    first->Release();
    again->Release();
    other->Release();
  }
  FUZZ_CHECK(platform::Surface::LiveCount() == liveBefore);
  return 0;
}
