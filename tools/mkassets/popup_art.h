#pragma once
// Pictures the game shows over the screen: the rules, the new-record notice, the notice of a record that could
// not be saved, the game-over card and the question before a running game ends.
#include "rgb_image.h"
#include "text.h"

namespace mkassets {

RgbImage PaintRules(const FontLibrary& fonts, const RgbImage& background);
RgbImage PaintHallOfFameNotice(const FontLibrary& fonts, const RgbImage& background);
RgbImage PaintSaveFailedNotice(const FontLibrary& fonts, const RgbImage& background);
RgbImage PaintGameOver(const FontLibrary& fonts, const RgbImage& background);
// "End this game?" with its two answers, asked before a key ends a running game.
RgbImage PaintEndGameQuestion(const FontLibrary& fonts, const RgbImage& background);

}  // namespace mkassets
