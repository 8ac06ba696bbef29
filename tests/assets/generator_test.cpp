// The generator itself: a second run gives the same bytes, and it draws its review sheets.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/asset_files.h"
#include "common/asset_manifest.h"

#ifdef MKASSETS_PROGRAM  // only where the generator is built

namespace {

namespace fs = std::filesystem;

struct ScratchDir {
  fs::path path = fs::temp_directory_path() / ("zorvel_assets_" + std::to_string(::getpid()));
  ScratchDir() { fs::remove_all(path); }
  ~ScratchDir() { fs::remove_all(path); }
};

int RunGenerator(const std::string& arguments) { return std::system((std::string(MKASSETS_PROGRAM) + " " + arguments).c_str()); }

std::vector<fs::path> FilesUnder(const fs::path& root) {
  std::vector<fs::path> files;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file()) files.push_back(fs::relative(e.path(), root));
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

TEST(Generator, ASecondRunWritesTheSameBytes) {
  ScratchDir scratch;
  ASSERT_EQ(0, RunGenerator("'" + scratch.path.string() + "'"));
  const fs::path game = ZORVEL_GAME_DIR;
  const auto files = FilesUnder(scratch.path);
  std::vector<std::string> made, listed = assets::ManifestPaths();
  for (const auto& file : files) made.push_back(file.generic_string());
  std::sort(made.begin(), made.end());
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, made) << "exactly the files of the asset manifest";
  for (const auto& file : files) {
    SCOPED_TRACE(file.string());
    const auto built = asset_files::ReadAll((game / file).string());
    ASSERT_FALSE(built.empty()) << "not in the build's folder";
    EXPECT_TRUE(built == asset_files::ReadAll((scratch.path / file).string()));
  }
}

TEST(Generator, DrawsTheContactSheetAndTheScreenPreview) {
  ScratchDir scratch;
  fs::create_directories(scratch.path);
  const fs::path sheet = scratch.path / "sheet.png", preview = scratch.path / "preview.png";
  ASSERT_EQ(0, RunGenerator("--contact-sheet '" + sheet.string() + "' --preview '" + preview.string() + "' '" +
                   std::string(ZORVEL_GAME_DIR) + "'"));
  for (const auto& png : {sheet, preview}) {
    const auto bytes = asset_files::ReadAll(png.string());
    ASSERT_GT(bytes.size(), 8u) << png;
    EXPECT_EQ(0, std::memcmp(bytes.data(), "\x89PNG\r\n\x1a\n", 8)) << png;
  }
  EXPECT_NE(0, RunGenerator("--contact-sheet '" + sheet.string() + "' '" + (scratch.path / "nowhere").string() +
                   "' 2>/dev/null"))
      << "a folder without art is an error, not an empty sheet";
}

#endif
