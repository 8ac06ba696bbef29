#include "platform/window/picture_mapping.h"

#include <algorithm>
#include <cmath>

namespace platform {

PictureRect PictureRectIn(const WindowGeometry& g) {
  if (g.drawableWidth <= 0 || g.drawableHeight <= 0) return {0, 0, 0, 0};
  const double scale = std::min(static_cast<double>(g.drawableWidth) / kPictureWidth,
                                static_cast<double>(g.drawableHeight) / kPictureHeight);
  PictureRect r;
  r.width = kPictureWidth * scale;
  r.height = kPictureHeight * scale;
  r.x = (g.drawableWidth - r.width) / 2;
  r.y = (g.drawableHeight - r.height) / 2;
  return r;
}

std::optional<Point> WindowToPicture(const WindowGeometry& g, double x, double y) {
  if (g.windowWidth <= 0 || g.windowHeight <= 0) return std::nullopt;
  const PictureRect r = PictureRectIn(g);
  if (r.width <= 0 || r.height <= 0) return std::nullopt;
  // Window units to drawable pixels, then into the picture.
  const double px = x * g.drawableWidth / g.windowWidth;
  const double py = y * g.drawableHeight / g.windowHeight;
  const double fx = std::floor((px - r.x) * kPictureWidth / r.width);
  const double fy = std::floor((py - r.y) * kPictureHeight / r.height);
  if (fx < 0 || fy < 0 || fx >= kPictureWidth || fy >= kPictureHeight) return std::nullopt;
  return Point{static_cast<int>(fx), static_cast<int>(fy)};
}

std::optional<Point> ScaledToPicture(int x, int y) {
  if (x < 0 || y < 0 || x >= kPictureWidth || y >= kPictureHeight) return std::nullopt;
  return Point{x, y};
}

}  // namespace platform
