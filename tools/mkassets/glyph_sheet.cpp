#include "glyph_sheet.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "canvas.h"
#include "common/glyph_repertoire.h"
#include "common/utf8_text.h"
#include "palette.h"

namespace mkassets {

namespace {

constexpr double kPixelSize = 16;

struct GlyphCell {
  std::string text;
  int originX = 0;  // pen position inside the cell
  int inkWidth = 0;
  int advance = 0;
  int width = 0;
};

}  // namespace

RgbImage PaintGlyphSheet(const FontLibrary& fonts) {
  Canvas probe(8, 8);
  fonts.Use(probe.cr(), FontId::Sans, kPixelSize);
  cairo_font_extents_t fe;
  cairo_font_extents(probe.cr(), &fe);
  const int baseline = 1 + static_cast<int>(std::ceil(fe.ascent));
  const int height = baseline + static_cast<int>(std::ceil(fe.descent));
  if (height > 24) throw std::runtime_error("glyph sheet taller than five lines of the text panel allow");

  // Find each glyph's real ink by rendering it: extents are only approximate. A column with no more than a faint
  // trace of coverage is left outside the cell rather than widening it for nothing.
  constexpr int kPad = 8;
  constexpr int kFaintInk = 48;
  std::vector<char32_t> codes;
  for (char32_t code = glyphs::kFirstAscii; code <= glyphs::kLastAscii; ++code) codes.push_back(code);
  for (char32_t code = glyphs::kFirstExtra; code <= glyphs::kLastExtra; ++code) codes.push_back(code);
  std::vector<GlyphCell> cells;
  for (char32_t code : codes) {
    GlyphCell g;
    g.text = utf8::Encode(code == glyphs::kSoftHyphen ? U'-' : code);
    Canvas trial(64, height);
    fonts.Use(trial.cr(), FontId::Sans, kPixelSize);
    cairo_set_source_rgb(trial.cr(), 0, 0, 0);
    ShowTextAt(trial.cr(), g.text, kPad, baseline);
    int first = trial.width(), last = -1;
    for (int x = 0; x < trial.width(); ++x)
      for (int y = 0; y < height; ++y)
        if (trial.At(x, y).a >= kFaintInk) {
          first = std::min(first, x);
          last = std::max(last, x);
        }
    if (last < 0) throw std::runtime_error("glyph without ink: " + g.text);
    const int left = std::min(first, kPad);
    g.originX = kPad - left;
    g.inkWidth = last + 1 - left;
    g.advance = static_cast<int>(std::lround(TextWidth(trial.cr(), g.text))) + g.originX;
    cells.push_back(g);
  }
  // The game adds a tenth of the widest cell after every glyph; take it out of the cells so that the text keeps
  // the face's own spacing. The widest cell decides that amount, so settle both together. The game measures it on
  // the ASCII glyphs alone, and so does the sheet: the letters after them change nothing of ASCII text.
  const auto ascii = cells.begin() + glyphs::kAsciiCount;
  int spacing = 0;
  for (int round = 0; round < 4; ++round) {
    int widest = 0;
    for (auto g = cells.begin(); g != ascii; ++g) {
      g->width = std::max({g->inkWidth, g->advance - spacing, 1});
      widest = std::max(widest, g->width);
    }
    spacing = widest / 10;
  }
  for (auto g = ascii; g != cells.end(); ++g) g->width = std::max({g->inkWidth, g->advance - spacing, 1});
  int width = kGlyphGap;
  for (const auto& g : cells) width += g.width + kGlyphGap;
  RgbImage sheet(width, height);
  int x = kGlyphGap;
  for (const auto& g : cells) {
    Canvas cell(g.width, height);
    cairo_t* cr = cell.cr();
    SetSource(cr, palette::kPanel);
    cairo_paint(cr);
    fonts.Use(cr, FontId::Sans, kPixelSize);
    SetSource(cr, palette::kText);
    ShowTextAt(cr, g.text, g.originX, baseline);
    sheet.Paste(cell.ToOpaque(), x, 0, false);
    x += g.width + kGlyphGap;
  }
  return sheet;
}

}  // namespace mkassets
