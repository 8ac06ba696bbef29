#pragma once
// Real fonts for the art: DejaVu faces opened with FreeType and set with cairo.
#include <cairo.h>

#include <filesystem>
#include <string>
#include <vector>

namespace mkassets {

enum class FontId { Sans, SansBold, SansCondensedBold, SerifBold };

class FontLibrary {
 public:
  explicit FontLibrary(const std::filesystem::path& directory);
  ~FontLibrary();
  FontLibrary(const FontLibrary&) = delete;
  FontLibrary& operator=(const FontLibrary&) = delete;

  // Selects the face at a pixel size, with grey anti-aliasing and light hinting.
  void Use(cairo_t* cr, FontId id, double pixelSize) const;
  cairo_font_face_t* Face(FontId id) const;

 private:
  struct Impl;
  Impl* impl_;
};

double TextWidth(cairo_t* cr, const std::string& text);
// Horizontal placement uses the ink, so centred words look centred.
void ShowTextCentred(cairo_t* cr, const std::string& text, double centreX, double baselineY);
void ShowTextAt(cairo_t* cr, const std::string& text, double x, double baselineY);
void ShowTextRight(cairo_t* cr, const std::string& text, double rightX, double baselineY);
// Text outlined with a stroke under the fill, for labels on busy backgrounds.
void OutlinedTextCentred(cairo_t* cr, const std::string& text, double centreX, double baselineY, double strokeWidth,
                         double fr, double fg, double fb, double sr, double sg, double sb);
// 25000 as "25,000".
std::string WithThousands(int value);
std::vector<std::string> WrapWords(cairo_t* cr, const std::string& text, double maxWidth);

}  // namespace mkassets
