#pragma once
// Writes every bitmap of the game's working folder.
#include <filesystem>

#include "text.h"

namespace mkassets {

void GenerateArt(const FontLibrary& fonts, const std::filesystem::path& gameDir);

}  // namespace mkassets
