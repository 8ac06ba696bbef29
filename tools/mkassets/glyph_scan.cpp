#include "glyph_scan.h"

#include <algorithm>

namespace mkassets {

bool GlyphScan::Load(const RgbImage& sheet) {
  sheet_ = sheet;
  const int w = sheet.width();
  auto empty = [&](int column) {
    if (column >= w) return true;
    for (int y = 0; y < sheet.height(); ++y)
      if (!(sheet.At(column, y) == kKeyBlue)) return false;
    return true;
  };
  int column = 0, widest = 0;
  for (auto& g : glyphs_) {
    if (column > w) return false;
    while (column < w && empty(column)) ++column;
    if (column >= w) return false;
    g.start = column++;
    while (!empty(column)) ++column;
    g.end = column++;
    widest = std::max(widest, g.end - g.start);
  }
  spaceWidth_ = static_cast<int>(widest * 0.5);
  spacing_ = static_cast<int>(widest * 0.1f);
  return true;
}

int GlyphScan::CharAdvance(char c) const {
  if (c >= 33 && c <= 126) {
    const Glyph& g = glyphs_[static_cast<size_t>(c - 33)];
    return g.end - g.start + spacing_;
  }
  return spaceWidth_;
}

int GlyphScan::TextWidth(const std::string& text) const {
  int w = 0;
  for (char c : text) w += CharAdvance(c);
  return w;
}

int GlyphScan::Draw(RgbImage& screen, const std::string& text, int x, int y) const {
  for (char c : text) {
    if (c == ' ') {
      x += spaceWidth_;
    } else if (c >= 33 && c <= 126) {
      const Glyph& g = glyphs_[static_cast<size_t>(c - 33)];
      screen.PasteRegion(sheet_, g.start, 0, g.end - g.start, sheet_.height(), x, y, true);
      x += g.end - g.start + spacing_;
    }
  }
  return x;
}

}  // namespace mkassets
