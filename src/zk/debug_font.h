#pragma once
// The library's built-in debug font: 5 x 7 glyphs for printable ASCII, drawn at double size in yellow with a
// dark shadow so they stay readable over any picture.
#include "platform/video/surface.h"

namespace zk {

constexpr int kDebugGlyphScale = 2;
constexpr int kDebugCellWidth = 6 * kDebugGlyphScale;
constexpr int kDebugCellHeight = 8 * kDebugGlyphScale;

void DrawDebugText(platform::Surface& surface, const char* text, int x, int y);
// True when the glyph for c has any ink (tests check that the printable range is covered).
bool DebugGlyphHasInk(char c);

}  // namespace zk
