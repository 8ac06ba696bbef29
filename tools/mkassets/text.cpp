#include "text.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <sstream>
#include <stdexcept>

namespace mkassets {

struct FontLibrary::Impl {
  FT_Library library = nullptr;
  std::array<FT_Face, 4> faces{};
  std::array<cairo_font_face_t*, 4> cairoFaces{};
};

namespace {
const char* FileOf(FontId id) {
  switch (id) {
    case FontId::Sans: return "DejaVuSans.ttf";
    case FontId::SansBold: return "DejaVuSans-Bold.ttf";
    case FontId::SansCondensedBold: return "DejaVuSansCondensed-Bold.ttf";
    case FontId::SerifBold: return "DejaVuSerif-Bold.ttf";
  }
  return "";
}
}  // namespace

FontLibrary::FontLibrary(const std::filesystem::path& directory) : impl_(new Impl) {
  if (FT_Init_FreeType(&impl_->library) != 0) throw std::runtime_error("FreeType does not start");
  for (size_t i = 0; i < impl_->faces.size(); ++i) {
    const auto file = directory / FileOf(static_cast<FontId>(i));
    if (FT_New_Face(impl_->library, file.c_str(), 0, &impl_->faces[i]) != 0)
      throw std::runtime_error("cannot open font " + file.string());
    impl_->cairoFaces[i] = cairo_ft_font_face_create_for_ft_face(impl_->faces[i], 0);
  }
}

FontLibrary::~FontLibrary() {
  // The library lives until the tool ends, so cairo's glyph caches never outlive the faces in use.
  for (auto* face : impl_->cairoFaces) cairo_font_face_destroy(face);
  FT_Done_FreeType(impl_->library);
  delete impl_;
}

cairo_font_face_t* FontLibrary::Face(FontId id) const { return impl_->cairoFaces[static_cast<size_t>(id)]; }

void FontLibrary::Use(cairo_t* cr, FontId id, double pixelSize) const {
  cairo_set_font_face(cr, Face(id));
  cairo_set_font_size(cr, pixelSize);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_ON);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

double TextWidth(cairo_t* cr, const std::string& text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e.x_advance;
}

void ShowTextAt(cairo_t* cr, const std::string& text, double x, double baselineY) {
  cairo_move_to(cr, x, baselineY);
  cairo_show_text(cr, text.c_str());
}

void ShowTextCentred(cairo_t* cr, const std::string& text, double centreX, double baselineY) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  ShowTextAt(cr, text, centreX - e.x_bearing - e.width / 2, baselineY);
}

void ShowTextRight(cairo_t* cr, const std::string& text, double rightX, double baselineY) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  ShowTextAt(cr, text, rightX - e.x_bearing - e.width, baselineY);
}

void OutlinedTextCentred(cairo_t* cr, const std::string& text, double centreX, double baselineY, double strokeWidth,
                         double fr, double fg, double fb, double sr, double sg, double sb) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  cairo_new_path(cr);
  cairo_move_to(cr, centreX - e.x_bearing - e.width / 2, baselineY);
  cairo_text_path(cr, text.c_str());
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cr, strokeWidth);
  cairo_set_source_rgb(cr, sr, sg, sb);
  cairo_stroke_preserve(cr);
  cairo_set_source_rgb(cr, fr, fg, fb);
  cairo_fill(cr);
}

std::vector<std::string> WrapWords(cairo_t* cr, const std::string& text, double maxWidth) {
  std::vector<std::string> lines;
  std::istringstream words(text);
  std::string word, line;
  while (words >> word) {
    const std::string candidate = line.empty() ? word : line + " " + word;
    if (!line.empty() && TextWidth(cr, candidate) > maxWidth) {
      lines.push_back(line);
      line = word;
    } else {
      line = candidate;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::string WithThousands(int value) {
  const std::string digits = std::to_string(value);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

}  // namespace mkassets
