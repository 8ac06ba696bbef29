#pragma once
// Uncompressed 24-bit Windows bitmaps, bottom-up, the form the game loads its art from.
#include <filesystem>
#include <optional>

#include "rgb_image.h"

namespace mkassets {

bool WriteBmp24(const std::filesystem::path& file, const RgbImage& image);
// Reads back 24-bit files (the tool's own output) for contact sheets and previews.
std::optional<RgbImage> ReadBmp24(const std::filesystem::path& file);

}  // namespace mkassets
