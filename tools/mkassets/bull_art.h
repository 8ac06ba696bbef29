#pragma once
// The bull: sixteen poses drawn with cairo paths, standing in the stage scene of the background.
//
// The game draws each frame over the last without erasing the stage, so a frame carries the scene behind the bull
// wherever the stage shows; only its lowest rows, which lie under the text panel, are transparent. A cut-out bull
// on blue would leave the previous pose showing around the new one.
#include <cairo.h>

#include "rgb_image.h"
#include "text.h"

namespace mkassets {

// Frame meanings, numbered as on the sheet.
enum BullFrame {
  kBullNeutral = 0,
  kBullBlink,
  kBullSlumped,
  kBullHopCrouch,
  kBullHopAir,
  kBullHopLanding,
  kBullCelebration,
  kBullAngry,
  kBullAngrySteam,
  kBullLookLeft,
  kBullLookRight,
  kBullHeadLeft,
  kBullHeadRight,
  kBullShrugA,
  kBullShrugB,
  kBullLyingDown,
};

RgbImage PaintBullFrame(const FontLibrary& fonts, const RgbImage& background, int frame);
// The program's icon, size x size pixels with transparency, drawn into `cr` from its top-left corner.
void PaintBullIcon(cairo_t* cr, int size);
// Frames laid row by row, four to a row, as the game cuts the sheet.
RgbImage PaintBullSheet(const FontLibrary& fonts, const RgbImage& background);

}  // namespace mkassets
