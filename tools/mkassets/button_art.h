#pragma once
// Button strips: the normal and the highlighted image side by side, with the same outline so that either one
// fully covers the other when the game swaps them.
#include <cairo.h>

#include <string>

#include "rgb_image.h"
#include "screen_layout.h"
#include "text.h"

namespace mkassets {

// A small key cap with the key that stands for a button, its top-left corner at (x, y), and its width.
void KeyCap(cairo_t* cr, const FontLibrary& fonts, const std::string& key, double x, double y, double height);
double KeyCapWidth(cairo_t* cr, const FontLibrary& fonts, const std::string& key, double height);

RgbImage PaintButtonStrip(const FontLibrary& fonts, const RgbImage& background, const layout::ButtonPlace& place);
RgbImage PaintAnswerButtonStrip(const FontLibrary& fonts, const RgbImage& background, const layout::PiePlace& pie);

}  // namespace mkassets
