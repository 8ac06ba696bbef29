#pragma once
// The bull: sixteen poses drawn with cairo paths, standing in the stage scene of the background.
//
// The game draws each frame over the last without erasing the stage, so a frame carries the scene behind the bull
// wherever the stage shows; only its lowest rows, which lie under the text panel, are transparent. A cut-out bull
// on blue would leave the previous pose showing around the new one.
#include <cairo.h>

#include "game/game_names.h"
#include "rgb_image.h"
#include "text.h"

namespace mkassets {

RgbImage PaintBullFrame(const FontLibrary& fonts, const RgbImage& background, BullFrame frame);
// The program's icon, size x size pixels with transparency, drawn into `cr` from its top-left corner.
void PaintBullIcon(cairo_t* cr, int size);
// Frames laid row by row, four to a row, as the game cuts the sheet.
RgbImage PaintBullSheet(const FontLibrary& fonts, const RgbImage& background);

}  // namespace mkassets
