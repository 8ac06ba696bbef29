#pragma once
// Writes the game's sound effects (PCM WAV) and its looping background music (MP3).
#include <filesystem>

namespace mkassets {

void GenerateSounds(const std::filesystem::path& soundDir);
void GenerateMusic(const std::filesystem::path& mp3File);

// How long after the music has played out the game's restart of it is heard: the rest of the mixing pass in
// which the end was found, the wait for the next frame to read the notification, and the pass that brings the
// new start (measured from the audio dump of whole games).
inline constexpr double kMusicRestartSeconds = 0.010;

}  // namespace mkassets
