#pragma once
// The small pieces the game draws over the background: score digits, ladder steps, streak flower, clock filling,
// verdict stamps and the continue prompt.
#include <vector>

#include "rgb_image.h"
#include "text.h"

namespace mkassets {

RgbImage PaintScoreDigits(const FontLibrary& fonts);
// Ten frames side by side; the lit and highlighted strips share one outline so that either covers the other.
RgbImage PaintLadderStrip(const FontLibrary& fonts, const RgbImage& background, bool highlighted);
RgbImage PaintFlower();
RgbImage PaintClockFilling(const RgbImage& background);
RgbImage PaintVerdict(const FontLibrary& fonts, bool isTrue);
RgbImage PaintContinuePrompt(const FontLibrary& fonts, const RgbImage& background);

}  // namespace mkassets
