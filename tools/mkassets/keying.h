#pragma once
// Turns anti-aliased art into the game's colour-keyed form: edges are blended with what the art will be drawn
// over, mostly transparent pixels become pure blue, and no opaque pixel is left that the game would take for blue.
#include <functional>

#include "canvas.h"
#include "rgb_image.h"

namespace mkassets {

// What lies under pixel (x, y) of the art once the game has drawn it.
using Underlay = std::function<Rgb(int x, int y)>;

Underlay FlatUnderlay(Rgb colour);
// Art pixel (x, y) lands on picture pixel (x + left, y + top); outside the picture, fallback.
Underlay PictureUnderlay(const RgbImage& picture, int left, int top, Rgb fallback = Rgb{128, 128, 128});

// Coverage below this counts as transparent.
inline constexpr double kOpaqueThreshold = 0.5;

RgbImage FlattenToKeyed(const Canvas& art, const Underlay& under, double threshold = kOpaqueThreshold);

// True for colours a 16-bit surface could confuse with the key, or that read as a blue fringe.
bool LooksLikeKey(Rgb c);
// Moves such a colour out of the key's neighbourhood, keeping it dark blue rather than key blue.
Rgb AwayFromKey(Rgb c);
// Number of opaque pixels that had to be moved; the tool reports it so art can be fixed at the source.
int KeySafetyCorrections();

}  // namespace mkassets
