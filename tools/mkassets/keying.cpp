#include "keying.h"

#include <algorithm>
#include <cmath>

namespace mkassets {

namespace {
int g_corrections = 0;
}

Underlay FlatUnderlay(Rgb colour) {
  return [colour](int, int) { return colour; };
}

Underlay PictureUnderlay(const RgbImage& picture, int left, int top, Rgb fallback) {
  return [&picture, left, top, fallback](int x, int y) {
    const int px = x + left, py = y + top;
    if (px < 0 || py < 0 || px >= picture.width() || py >= picture.height()) return fallback;
    return picture.At(px, py);
  };
}

bool LooksLikeKey(Rgb c) { return c.b > 200 && c.r < 60 && c.g < 60; }

Rgb AwayFromKey(Rgb c) {
  if (!LooksLikeKey(c)) return c;
  ++g_corrections;
  return Rgb{60, 60, c.b};
}

int KeySafetyCorrections() { return g_corrections; }

RgbImage FlattenToKeyed(const Canvas& art, const Underlay& under, double threshold) {
  RgbImage out(art.width(), art.height());
  const int limit = static_cast<int>(std::ceil(threshold * 255.0));
  for (int y = 0; y < art.height(); ++y)
    for (int x = 0; x < art.width(); ++x) {
      const Canvas::Pixel p = art.At(x, y);
      if (p.a < limit) continue;  // stays key blue
      const Rgb u = under(x, y);
      const int rest = 255 - p.a;
      auto over = [rest](uint8_t premul, uint8_t base) {
        return static_cast<uint8_t>(std::min(255, premul + (base * rest + 127) / 255));
      };
      out.Set(x, y, AwayFromKey(Rgb{over(p.r, u.r), over(p.g, u.g), over(p.b, u.b)}));
    }
  return out;
}

}  // namespace mkassets
