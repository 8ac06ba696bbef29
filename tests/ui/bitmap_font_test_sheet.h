#pragma once
// Glyph sheets and scratch folders for the font, question and bank tests: a 24-bit BMP with 94 white blocks of
// chosen widths on pure blue, separated by blue columns.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace test_sheet {

inline void PutLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// Columns are given left to right: true for a glyph column (white below a blue top row), false for a blue one.
inline void WriteSheet(const std::string& path, const std::vector<bool>& inkColumns, int height) {
  const int width = static_cast<int>(inkColumns.size());
  const int rowBytes = (width * 3 + 3) & ~3;
  std::vector<uint8_t> bmp = {'B', 'M'};
  PutLittleEndian(bmp, 54 + rowBytes * height, 4);
  PutLittleEndian(bmp, 0, 4);
  PutLittleEndian(bmp, 54, 4);
  PutLittleEndian(bmp, 40, 4);
  PutLittleEndian(bmp, static_cast<uint32_t>(width), 4);
  PutLittleEndian(bmp, static_cast<uint32_t>(height), 4);
  PutLittleEndian(bmp, 1, 2);
  PutLittleEndian(bmp, 24, 2);
  for (int i = 0; i < 6; ++i) PutLittleEndian(bmp, 0, 4);
  for (int fileRow = 0; fileRow < height; ++fileRow) {
    const int y = height - 1 - fileRow;  // BMP rows run bottom-up
    for (int x = 0; x < width; ++x) {
      // The top row stays blue inside glyphs too, so that drawing shows whether blue is kept transparent.
      bool ink = inkColumns[static_cast<size_t>(x)] && y != 0;
      bmp.push_back(255);             // blue
      bmp.push_back(ink ? 255 : 0);   // green
      bmp.push_back(ink ? 255 : 0);   // red
    }
    for (int pad = width * 3; pad < rowBytes; ++pad) bmp.push_back(0);
  }
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bmp.data()),
                                              static_cast<std::streamsize>(bmp.size()));
}

// Glyph g (character 33 + g) gets widths[g] columns, preceded by `gap` blue columns.
inline void WriteGlyphSheet(const std::string& path, const std::vector<int>& widths, int height, int gap = 1) {
  std::vector<bool> columns;
  for (int width : widths) {
    columns.insert(columns.end(), static_cast<size_t>(gap), false);
    columns.insert(columns.end(), static_cast<size_t>(width), true);
  }
  columns.push_back(false);
  WriteSheet(path, columns, height);
}

// The sheet the layout tests measure with: glyphs 9 wide except '~' at 10, so every glyph advances 9 + 1 = 10
// and a space advances 5 (except '~', which advances 11).
inline std::vector<int> EvenWidths() {
  std::vector<int> widths(94, 9);
  widths['~' - 33] = 10;
  return widths;
}

// A fresh folder under /tmp, removed with its content when the object goes.
struct ScratchFolder {
  std::filesystem::path path;
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zorvel-test-XXXXXX").string();
    path = ::mkdtemp(pattern.data());
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string File(const std::string& name) const { return (path / name).string(); }
  std::string Write(const std::string& name, const std::string& content) const {
    std::ofstream(File(name), std::ios::binary) << content;
    return File(name);
  }
};

}  // namespace test_sheet
