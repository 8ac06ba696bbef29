// mkassets: generates the game's art, sounds and music into its working folder, and draws review sheets of them.
//
//   mkassets [--font-dir DIR] GAME_DIR             write every asset into GAME_DIR
//   mkassets --contact-sheet OUT.png GAME_DIR      one picture of every bitmap, bull frames numbered
//   mkassets --preview OUT.png GAME_DIR            the bitmaps placed where the game draws them
//   mkassets --icons DIR                           the program's icon, DIR/NxN/apps/zorvel.png in every size
//   mkassets --sound-report [--dump MIX.wav] GAME_DIR
//                                                  loudness, peaks and offsets of the sounds and music against the
//                                                  mastering sheet, and of a game's audio dump; exit status 3
//                                                  when anything is off the sheet
#include <cstdio>
#include <exception>
#include <stdexcept>
#include <filesystem>
#include <string>
#include <vector>

#include "art_generator.h"
#include "common/asset_manifest.h"
#include "bull_art.h"
#include "canvas.h"
#include "keying.h"
#include "review_sheets.h"
#include "sound_generator.h"
#include "sound_report.h"
#include "text.h"

#ifndef MKASSETS_FONT_DIR
#define MKASSETS_FONT_DIR "/usr/share/fonts/truetype/dejavu"
#endif

using namespace mkassets;

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: mkassets [--font-dir DIR] GAME_DIR\n"
               "       mkassets [--font-dir DIR] --contact-sheet OUT.png GAME_DIR\n"
               "       mkassets [--font-dir DIR] --preview OUT.png GAME_DIR\n"
               "       mkassets --icons DIR\n"
               "       mkassets --sound-report [--dump MIX.wav] GAME_DIR\n");
  return 2;
}

// The sizes desktops look for in an icon theme, and the two a browser wants before it installs the web page as an
// app (192 and 512).
void WriteIcons(const std::filesystem::path& dir) {
  for (int size : {16, 24, 32, 48, 64, 128, 192, 256, 512}) {
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    const std::filesystem::path folder = dir / name / "apps";
    std::filesystem::create_directories(folder);
    Canvas canvas(size, size);
    PaintBullIcon(canvas.cr(), size);
    cairo_surface_flush(canvas.surface());
    const std::string file = (folder / "zorvel.png").string();
    if (cairo_surface_write_to_png(canvas.surface(), file.c_str()) != CAIRO_STATUS_SUCCESS)
      throw std::runtime_error("cannot write " + file);
  }
}

// A file of the manifest that the generator did not make would be missing from the game's folder.
void CheckEveryManifestFileWasMade(const std::filesystem::path& gameDir) {
  for (const std::string& path : assets::ManifestPaths())
    if (!std::filesystem::is_regular_file(gameDir / path))
      throw std::runtime_error(path + " is in the asset manifest, but nothing made it");
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::filesystem::path fontDir = MKASSETS_FONT_DIR;
  std::string sheet, preview, icons, dump;
  bool soundReport = false;
  std::vector<std::string> rest;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--font-dir" && i + 1 < args.size()) {
      fontDir = args[++i];
    } else if (args[i] == "--contact-sheet" && i + 1 < args.size()) {
      sheet = args[++i];
    } else if (args[i] == "--icons" && i + 1 < args.size()) {
      icons = args[++i];
    } else if (args[i] == "--preview" && i + 1 < args.size()) {
      preview = args[++i];
    } else if (args[i] == "--sound-report") {
      soundReport = true;
    } else if (args[i] == "--dump" && i + 1 < args.size()) {
      dump = args[++i];
    } else if (!args[i].empty() && args[i][0] == '-') {
      return Usage();
    } else {
      rest.push_back(args[i]);
    }
  }
  if (!icons.empty()) {
    if (!rest.empty()) return Usage();
    try {
      WriteIcons(icons);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "mkassets: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  if (rest.size() != 1) return Usage();
  const std::filesystem::path gameDir = rest[0];
  if (!dump.empty() && !soundReport) return Usage();
  try {
    if (soundReport) return PrintSoundReport(gameDir, dump, stdout) == 0 ? 0 : 3;
    FontLibrary fonts(fontDir);
    if (!sheet.empty() || !preview.empty()) {
      if (!sheet.empty()) WriteContactSheet(fonts, gameDir, sheet);
      if (!preview.empty()) WriteScreenPreview(fonts, gameDir, preview);
      return 0;
    }
    GenerateArt(fonts, gameDir);
    if (KeySafetyCorrections() > 0)
      std::fprintf(stderr, "mkassets: %d opaque pixels were too close to the key blue and were moved\n",
                   KeySafetyCorrections());
    GenerateSounds(gameDir / assets::kSoundFolder);
    static_assert(std::size(assets::kMusicFiles) == 1, "the generator composes one piece of music");
    GenerateMusic(gameDir / assets::kSoundFolder / assets::kMusicFiles[0]);
    CheckEveryManifestFileWasMade(gameDir);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkassets: %s\n", e.what());
    return 1;
  }
  return 0;
}
