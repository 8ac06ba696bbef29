#pragma once
// The end of a game: the summary card (and its new-record form), the review card, and the notice that a new
// round of statements begins. The game writes the figures and the statements onto their panel-coloured areas.
#include "rgb_image.h"
#include "text.h"

namespace mkassets {

RgbImage PaintSummary(const FontLibrary& fonts, const RgbImage& background, bool newRecord);
RgbImage PaintReview(const FontLibrary& fonts, const RgbImage& background);
RgbImage PaintNewRoundNotice(const FontLibrary& fonts, const RgbImage& background);

}  // namespace mkassets
