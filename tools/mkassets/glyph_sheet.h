#pragma once
// "font.bmp": the 94 printable characters from '!' to '~' in one row on pure blue, then the letters of Latin-1
// and Latin Extended-A (common/glyph_repertoire.h) after them.
//
// Each glyph is set in its own cell of panel colour that carries the glyph's side bearings, so the column scan
// finds one solid run per character (no glyph can split, however its ink is shaped), letters keep their natural
// spacing, and edges are anti-aliased against the exact colour of the text panel.
#include "rgb_image.h"
#include "text.h"

namespace mkassets {

inline constexpr int kGlyphGap = 2;  // blue columns between cells

RgbImage PaintGlyphSheet(const FontLibrary& fonts);

}  // namespace mkassets
