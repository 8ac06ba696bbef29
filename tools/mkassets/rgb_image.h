#pragma once
// An opaque 8-bit RGB picture, the form every bitmap takes before it is written as a BMP file.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/game_rules.h"

namespace mkassets {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// The one transparent colour of the game.
inline constexpr Rgb kKeyBlue{rules::kKeyColour.r, rules::kKeyColour.g, rules::kKeyColour.b};

class RgbImage {
 public:
  RgbImage() = default;
  RgbImage(int width, int height, Rgb fill = kKeyBlue);

  int width() const { return width_; }
  int height() const { return height_; }
  bool empty() const { return width_ == 0 || height_ == 0; }

  Rgb At(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
  void Set(int x, int y, Rgb c) { pixels_[static_cast<size_t>(y) * width_ + x] = c; }

  RgbImage Crop(int x, int y, int width, int height) const;
  // Copies src with its top-left corner at (dx, dy), clipped; keyed copies skip pure-blue pixels as the game does.
  void Paste(const RgbImage& src, int dx, int dy, bool keyed);
  // Same, but only the source rectangle (sx, sy, w, h).
  void PasteRegion(const RgbImage& src, int sx, int sy, int w, int h, int dx, int dy, bool keyed);

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Rgb> pixels_;
};

}  // namespace mkassets
