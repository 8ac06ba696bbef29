#pragma once
// Reads a glyph sheet the way the game's bitmap font does: glyph edges from a scan of non-blue columns, the space
// and letter gap from the widest glyph. Used to set sample text in the previews.
#include <array>
#include <string>

#include "rgb_image.h"

namespace mkassets {

class GlyphScan {
 public:
  // False when the sheet runs out of columns before all 94 glyphs are found.
  bool Load(const RgbImage& sheet);
  int CharAdvance(char c) const;
  int TextWidth(const std::string& text) const;
  // Left-aligned, keyed, onto the screen; returns the x after the text.
  int Draw(RgbImage& screen, const std::string& text, int x, int y) const;
  int height() const { return sheet_.height(); }

 private:
  struct Glyph {
    int start = -1, end = -1;
  };
  RgbImage sheet_;
  std::array<Glyph, 94> glyphs_{};
  int spaceWidth_ = 0;
  int spacing_ = 0;
};

}  // namespace mkassets
