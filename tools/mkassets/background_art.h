#pragma once
// The 800 x 600 screen the game draws everything else onto.
#include "rgb_image.h"
#include "text.h"

namespace mkassets {

RgbImage PaintBackground(const FontLibrary& fonts);

}  // namespace mkassets
