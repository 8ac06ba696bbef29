#include "rgb_image.h"

#include <algorithm>

namespace mkassets {

RgbImage::RgbImage(int width, int height, Rgb fill)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, fill) {}

RgbImage RgbImage::Crop(int x, int y, int width, int height) const {
  RgbImage out(width, height);
  out.PasteRegion(*this, x, y, width, height, 0, 0, false);
  return out;
}

void RgbImage::Paste(const RgbImage& src, int dx, int dy, bool keyed) {
  PasteRegion(src, 0, 0, src.width(), src.height(), dx, dy, keyed);
}

void RgbImage::PasteRegion(const RgbImage& src, int sx, int sy, int w, int h, int dx, int dy, bool keyed) {
  for (int y = 0; y < h; ++y) {
    const int ty = dy + y, fy = sy + y;
    if (ty < 0 || ty >= height_ || fy < 0 || fy >= src.height()) continue;
    for (int x = 0; x < w; ++x) {
      const int tx = dx + x, fx = sx + x;
      if (tx < 0 || tx >= width_ || fx < 0 || fx >= src.width()) continue;
      const Rgb c = src.At(fx, fy);
      if (keyed && c == kKeyBlue) continue;
      Set(tx, ty, c);
    }
  }
}

}  // namespace mkassets
