#pragma once
// Writes the game's sound effects (PCM WAV) and its looping background music (MP3).
#include <filesystem>

namespace mkassets {

void GenerateSounds(const std::filesystem::path& soundDir);
void GenerateMusic(const std::filesystem::path& mp3File);

}  // namespace mkassets
