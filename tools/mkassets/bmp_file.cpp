#include "bmp_file.h"

#include <cstdint>
#include <fstream>
#include <vector>

#include "little_endian.h"

namespace mkassets {

namespace {

uint32_t Get16(const std::vector<uint8_t>& in, size_t at) { return in[at] | (in[at + 1] << 8); }
uint32_t Get32(const std::vector<uint8_t>& in, size_t at) { return Get16(in, at) | (Get16(in, at + 2) << 16); }

int RowBytes(int width) { return (width * 3 + 3) & ~3; }

}  // namespace

bool WriteBmp24(const std::filesystem::path& file, const RgbImage& image) {
  const int row = RowBytes(image.width());
  const uint32_t pixelBytes = static_cast<uint32_t>(row) * image.height();
  std::vector<uint8_t> out;
  out.reserve(54 + pixelBytes);
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + pixelBytes);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(image.width()));
  Put32(out, static_cast<uint32_t>(image.height()));
  Put16(out, 1);
  Put16(out, 24);
  Put32(out, 0);  // uncompressed
  Put32(out, pixelBytes);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = image.height() - 1; y >= 0; --y) {
    for (int x = 0; x < image.width(); ++x) {
      const Rgb c = image.At(x, y);
      out.push_back(c.b);
      out.push_back(c.g);
      out.push_back(c.r);
    }
    for (int pad = image.width() * 3; pad < row; ++pad) out.push_back(0);
  }
  std::ofstream f(file, std::ios::binary | std::ios::trunc);
  f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(f);
}

std::optional<RgbImage> ReadBmp24(const std::filesystem::path& file) {
  std::ifstream f(file, std::ios::binary);
  std::vector<uint8_t> in((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (in.size() < 54 || in[0] != 'B' || in[1] != 'M' || Get16(in, 28) != 24 || Get32(in, 30) != 0)
    return std::nullopt;
  const uint32_t offset = Get32(in, 10);
  const int width = static_cast<int>(Get32(in, 18));
  const int rawHeight = static_cast<int32_t>(Get32(in, 22));
  const bool bottomUp = rawHeight > 0;
  const int height = bottomUp ? rawHeight : -rawHeight;
  const int row = RowBytes(width);
  if (width <= 0 || height <= 0 || offset + static_cast<size_t>(row) * height > in.size()) return std::nullopt;
  RgbImage image(width, height);
  for (int y = 0; y < height; ++y) {
    const size_t base = offset + static_cast<size_t>(bottomUp ? height - 1 - y : y) * row;
    for (int x = 0; x < width; ++x)
      image.Set(x, y, Rgb{in[base + x * 3 + 2], in[base + x * 3 + 1], in[base + x * 3]});
  }
  return image;
}

}  // namespace mkassets
