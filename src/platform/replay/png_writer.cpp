#include "platform/replay/png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace platform {

bool WritePng(const Surface& surface, const std::string& path) {
  if (surface.bitsPerPixel() != 16) return false;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!png || !info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  const int w = surface.width(), h = surface.height();
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const bool is555 = surface.layout() == PixelLayout::Rgb555;
  std::vector<png_byte> row(static_cast<size_t>(w) * 3);
  for (int y = 0; y < h; ++y) {
    const uint16_t* in = surface.Row16(y);
    for (int x = 0; x < w; ++x) {
      const uint16_t p = in[x];
      int r, g, b;
      if (is555) {
        r = (p >> 10) & 31, g = (p >> 5) & 31, b = p & 31;
        r = (r << 3) | (r >> 2), g = (g << 3) | (g >> 2), b = (b << 3) | (b >> 2);
      } else {
        r = (p >> 11) & 31, g = (p >> 5) & 63, b = p & 31;
        r = (r << 3) | (r >> 2), g = (g << 2) | (g >> 4), b = (b << 3) | (b >> 2);
      }
      row[static_cast<size_t>(x) * 3] = static_cast<png_byte>(r);
      row[static_cast<size_t>(x) * 3 + 1] = static_cast<png_byte>(g);
      row[static_cast<size_t>(x) * 3 + 2] = static_cast<png_byte>(b);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

}  // namespace platform
