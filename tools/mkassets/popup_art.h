#pragma once
// Pictures the game shows over the screen: the rules, the new-record notice, the notice of a record that could
// not be saved, the game-over card and the question before a running game ends.
#include <string>
#include <vector>

#include "rgb_image.h"
#include "text.h"

namespace mkassets {

// The rounded card of every popup: a frame, a body, a gold rim inside and out.
void PopupCard(cairo_t* cr, int w, int h, Rgb body, Rgb frame);

// A line of the rules card's key table: the keys (or controller buttons), separated by ", ", and what they do.
struct RulesKey {
  std::string keys;
  std::string action;
  bool controller = false;
};
// Every key and controller button the rules card names, in the card's order.
std::vector<RulesKey> RulesCardKeys();

RgbImage PaintRules(const FontLibrary& fonts, const RgbImage& background);
RgbImage PaintHallOfFameNotice(const FontLibrary& fonts, const RgbImage& background);
RgbImage PaintSaveFailedNotice(const FontLibrary& fonts, const RgbImage& background);
RgbImage PaintGameOver(const FontLibrary& fonts, const RgbImage& background);
// "End this game?" with its two answers, asked before a key ends a running game.
RgbImage PaintEndGameQuestion(const FontLibrary& fonts, const RgbImage& background);

}  // namespace mkassets
