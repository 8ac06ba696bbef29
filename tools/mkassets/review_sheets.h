#pragma once
// Pictures for reviewing the generated art: a contact sheet of every bitmap, and previews of whole screens with
// each bitmap where the game draws it.
#include <filesystem>

#include "text.h"

namespace mkassets {

void WriteContactSheet(const FontLibrary& fonts, const std::filesystem::path& gameDir,
                       const std::filesystem::path& png);
void WriteScreenPreview(const FontLibrary& fonts, const std::filesystem::path& gameDir,
                        const std::filesystem::path& png);

}  // namespace mkassets
