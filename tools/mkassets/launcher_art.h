#pragma once
// The launcher's art in the game's look: the backdrop with its title board and page panel, and its buttons, each a
// strip of four images (normal, lit, chosen, disabled) side by side.
#include <filesystem>

#include "rgb_image.h"
#include "text.h"

namespace mkassets {

RgbImage PaintLauncherBackground(const FontLibrary& fonts);
// Paints every launcher picture into the hubbix folder of the game's folder.
void GenerateLauncherArt(const FontLibrary& fonts, const std::filesystem::path& gameDir,
                         void (*write)(const std::filesystem::path&, const RgbImage&));

}  // namespace mkassets
