#pragma once
// Button strips: the normal and the highlighted image side by side, with the same outline so that either one
// fully covers the other when the game swaps them.
#include "rgb_image.h"
#include "screen_layout.h"
#include "text.h"

namespace mkassets {

RgbImage PaintButtonStrip(const FontLibrary& fonts, const RgbImage& background, const layout::ButtonPlace& place);
RgbImage PaintAnswerButtonStrip(const FontLibrary& fonts, const RgbImage& background, const layout::PiePlace& pie);

}  // namespace mkassets
