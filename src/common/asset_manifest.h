#pragma once
// The asset manifest's files as lists: what the generator must have made, and what the tests read.
#include <iterator>
#include <string>
#include <vector>

namespace assets {

// The folder of the effects and the music, inside the game's folder.
inline constexpr char kSoundFolder[] = "sounds";

// Paths in the game's folder, with '/'.
inline constexpr const char* kBitmapFiles[] = {
#define ZORVEL_BITMAP(file) file,
#include "common/asset_manifest.def"
};
// Names in the sounds folder.
inline constexpr const char* kSoundFiles[] = {
#define ZORVEL_SOUND(id, name, file, format, synthesis) file,
#include "common/asset_manifest.def"
};
inline constexpr const char* kMusicFiles[] = {
#define ZORVEL_MUSIC(file) file,
#include "common/asset_manifest.def"
};

// Every file of the manifest, as a path in the game's folder.
inline std::vector<std::string> ManifestPaths() {
  std::vector<std::string> paths(std::begin(kBitmapFiles), std::end(kBitmapFiles));
  for (const char* file : kSoundFiles) paths.push_back(std::string(kSoundFolder) + "/" + file);
  for (const char* file : kMusicFiles) paths.push_back(std::string(kSoundFolder) + "/" + file);
  return paths;
}

}  // namespace assets
