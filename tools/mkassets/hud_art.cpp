#include "hud_art.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "canvas.h"
#include "keying.h"
#include "palette.h"
#include "screen_layout.h"

namespace mkassets {

namespace {

void Star(cairo_t* cr, double cx, double cy, double outer, double inner) {
  for (int i = 0; i < 10; ++i) {
    const double a = -M_PI / 2 + i * M_PI / 5;
    const double r = i % 2 == 0 ? outer : inner;
    if (i == 0)
      cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    else
      cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
  }
  cairo_close_path(cr);
}

}  // namespace

RgbImage PaintScoreDigits(const FontLibrary& fonts) {
  const int w = layout::kDigitW, h = layout::kDigitH;
  // Seven digits with a margin on both sides of the box and below: refuse art that would break it.
  const int margin = 4;
  for (const layout::Box& box : {layout::kBestScoreBox, layout::kScoreBox}) {
    const int right = box.x == layout::kBestScoreBox.x ? layout::kBestScoreRight : layout::kScoreRight;
    if (right - 7 * w < box.x + margin || right > box.right() - margin ||
        layout::kScoreTop + layout::kDigitGlyphH > box.bottom() - margin)
      throw std::runtime_error("seven score digits do not fit their box");
  }
  Canvas canvas(w * 10, h);
  cairo_t* cr = canvas.cr();
  // The largest size whose digits are at most kDigitGlyphH rows high and leave a pixel between neighbours.
  double size = 30;
  for (;; size -= 0.5) {
    fonts.Use(cr, FontId::SansCondensedBold, size);
    double tallest = 0, widest = 0;
    for (int d = 0; d < 10; ++d) {
      const std::string s(1, static_cast<char>('0' + d));
      cairo_text_extents_t e;
      cairo_text_extents(cr, s.c_str(), &e);
      tallest = std::max(tallest, e.height);
      widest = std::max(widest, e.width);
    }
    if (tallest <= layout::kDigitGlyphH && widest <= w - 2) break;
  }
  for (int d = 0; d < 10; ++d) {
    const std::string s(1, static_cast<char>('0' + d));
    const double cx = d * w + w / 2.0;
    // A darker edge keeps the digits crisp on the dark score box.
    cairo_new_path(cr);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    const double baseline = layout::kDigitGlyphH;  // digits sit on the glyph area's bottom row
    cairo_move_to(cr, cx - e.x_bearing - e.width / 2, baseline);
    cairo_text_path(cr, s.c_str());
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, baseline);
    cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.93, 0.55);
    cairo_pattern_add_color_stop_rgb(p, 1, 1.0, 0.70, 0.18);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
  }
  return FlattenToKeyed(canvas, FlatUnderlay(palette::kScoreBox));
}

RgbImage PaintLadderStrip(const FontLibrary& fonts, const RgbImage& background, bool highlighted) {
  const int w = layout::kLadderStepW, h = layout::kLadderStepH;
  RgbImage strip(w * 10, h);
  for (int i = 0; i < 10; ++i) {
    Canvas canvas(w, h);
    cairo_t* cr = canvas.cr();
    const Rgb top = highlighted ? Rgb{255, 236, 140} : Rgb{70, 178, 130};
    const Rgb bottom = highlighted ? Rgb{238, 168, 40} : Rgb{30, 118, 88};
    RoundedRect(cr, 0, 0, w, h, 7);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, h);
    cairo_pattern_add_color_stop_rgb(p, 0, top.r / 255.0, top.g / 255.0, top.b / 255.0);
    cairo_pattern_add_color_stop_rgb(p, 1, bottom.r / 255.0, bottom.g / 255.0, bottom.b / 255.0);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    RoundedRect(cr, 1, 1, w - 2, h - 2, 6);
    SetSource(cr, highlighted ? Rgb{140, 80, 10} : Rgb{230, 250, 220});
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // Step number in a round badge, points to the right; the top step gets a star.
    cairo_arc(cr, 14, h / 2.0, 10, 0, 2 * M_PI);
    SetSource(cr, highlighted ? Rgb{150, 84, 14} : Rgb{16, 80, 58});
    cairo_fill(cr);
    if (i == 9) {
      Star(cr, 14, h / 2.0, 9, 4);
      SetSource(cr, palette::kGold);
      cairo_fill(cr);
    } else {
      fonts.Use(cr, FontId::SansBold, 11);
      SetSource(cr, palette::kWhite);
      ShowTextCentred(cr, std::to_string(i + 1), 14, h / 2.0 + 4);
    }
    fonts.Use(cr, FontId::SansCondensedBold, 20);
    SetSource(cr, highlighted ? Rgb{90, 40, 0} : palette::kWhite);
    ShowTextRight(cr, WithThousands(layout::kLadderPoints[static_cast<size_t>(i)]), w - 9, h / 2.0 + 7.5);
    const RgbImage frame =
        FlattenToKeyed(canvas, PictureUnderlay(background, layout::kLadderX, layout::LadderStepY(i)));
    strip.Paste(frame, i * w, 0, false);
  }
  return strip;
}

RgbImage PaintFlower() {
  const int s = layout::kFlowerSize;
  Canvas canvas(s, s);
  cairo_t* cr = canvas.cr();
  const double c = s / 2.0;
  // Twelve petals around a golden heart, outlined so that they read on glass and on the red filling alike.
  for (int i = 0; i < 12; ++i) {
    cairo_save(cr);
    cairo_translate(cr, c, c);
    cairo_rotate(cr, i * M_PI / 6);
    cairo_scale(cr, 1.0, 0.42);
    cairo_arc(cr, 11, 0, 7.5, 0, 2 * M_PI);
    cairo_restore(cr);
    SetSource(cr, palette::kWhite);
    cairo_fill_preserve(cr);
    SetSource(cr, Rgb{150, 96, 60});
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
  }
  cairo_arc(cr, c, c, 7.5, 0, 2 * M_PI);
  cairo_pattern_t* p = cairo_pattern_create_radial(c - 2, c - 2, 1, c, c, 8);
  cairo_pattern_add_color_stop_rgb(p, 0, 1, 0.9, 0.4);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.88, 0.55, 0.1);
  cairo_set_source(cr, p);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(p);
  SetSource(cr, Rgb{130, 70, 20});
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  // Edges blend with the glass of the flower places; the dark outline keeps them clean on the filling too.
  return FlattenToKeyed(canvas, FlatUnderlay(palette::kGlass));
}

RgbImage PaintClockFilling(const RgbImage& background) {
  const layout::Box& c = layout::kClock;
  const int inset = layout::kClockInset;
  Canvas canvas(c.w, c.h);
  cairo_t* cr = canvas.cr();
  // Row 0 is always the top of the filling, wherever it stands; below it the filling repeats row after row.
  const double x0 = inset, x1 = c.w - inset, top = inset;
  cairo_pattern_t* p = cairo_pattern_create_linear(x0, 0, x1, 0);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.72, 0.18, 0.10);
  cairo_pattern_add_color_stop_rgb(p, 0.3, palette::kFillLight.r / 255.0, palette::kFillLight.g / 255.0,
                                   palette::kFillLight.b / 255.0);
  cairo_pattern_add_color_stop_rgb(p, 1, palette::kFillDark.r / 255.0, palette::kFillDark.g / 255.0,
                                   palette::kFillDark.b / 255.0);
  cairo_move_to(cr, x0, top + 6);
  cairo_curve_to(cr, x0 + 30, top - 2, x1 - 30, top - 2, x1, top + 6);
  cairo_line_to(cr, x1, c.h);
  cairo_line_to(cr, x0, c.h);
  cairo_close_path(cr);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // A bright surface line and rising bubbles.
  cairo_move_to(cr, x0 + 4, top + 7);
  cairo_curve_to(cr, x0 + 32, top + 1, x1 - 32, top + 1, x1 - 4, top + 7);
  cairo_set_source_rgba(cr, 1, 0.9, 0.6, 0.9);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  for (int i = 0; i < 40; ++i) {
    const double bx = x0 + 10 + (i * 53 % 100);
    const double by = top + 18 + i * 10.3;
    const double r = 1.5 + (i * 7 % 5) * 0.6;
    cairo_arc(cr, bx, by, r, 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 1, 0.85, 0.6, 0.75);
    cairo_fill(cr);
  }
  cairo_rectangle(cr, x0 + 12, top + 8, 5, c.h - top - 8);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.22);
  cairo_fill(cr);
  // Edges blend with the empty glass of the column: the rows the meniscus covers are near its top.
  return FlattenToKeyed(canvas, PictureUnderlay(background, c.x, c.y));
}

RgbImage PaintVerdict(const FontLibrary& fonts, bool isTrue) {
  // The stamp states whether the statement is true, nothing more: both share one neutral ink and paper, with no
  // tick, cross, green or red that would read as the player's result (a right "False" must not look like a
  // mistake). TRUE is ink on paper in a round badge, FALSE paper on ink with cut corners: told apart at a glance.
  const layout::Box& b = layout::kVerdict;
  Canvas canvas(b.w, b.h);
  cairo_t* cr = canvas.cr();
  const Rgb ink = palette::kStampInk;
  auto outline = [&](double inset, double corner) {
    const double l = 1 + inset, t = 1 + inset, r = b.w - 1 - inset, btm = b.h - 1 - inset;
    if (isTrue) {
      RoundedRect(cr, l, t, r - l, btm - t, (btm - t) / 2.0);
      return;
    }
    cairo_move_to(cr, l + corner, t);
    cairo_line_to(cr, r - corner, t);
    cairo_line_to(cr, r, t + corner);
    cairo_line_to(cr, r, btm - corner);
    cairo_line_to(cr, r - corner, btm);
    cairo_line_to(cr, l + corner, btm);
    cairo_line_to(cr, l, btm - corner);
    cairo_line_to(cr, l, t + corner);
    cairo_close_path(cr);
  };
  const Rgb paper = palette::kCream;
  const Rgb face = isTrue ? paper : ink, letters = isTrue ? ink : paper;
  outline(0, 9);
  SetSource(cr, face);
  cairo_fill_preserve(cr);
  SetSource(cr, ink);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  outline(3.5, 7);
  SetSource(cr, letters);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  fonts.Use(cr, FontId::SansBold, 18);
  SetSource(cr, letters);
  ShowTextCentred(cr, isTrue ? "TRUE" : "FALSE", b.w / 2.0, b.h / 2.0 + 6.5);
  return FlattenToKeyed(canvas, FlatUnderlay(palette::kPanel));
}

RgbImage PaintContinuePrompt(const FontLibrary& fonts, const RgbImage& background) {
  const layout::Box& b = layout::kContinue;
  Canvas canvas(b.w, b.h);
  cairo_t* cr = canvas.cr();
  RoundedRect(cr, 0.5, 0.5, b.w - 1, b.h - 1, (b.h - 1) / 2.0);
  SetSource(cr, palette::kPanelRim);
  cairo_fill_preserve(cr);
  SetSource(cr, palette::kGold);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // The words, then a small arrow pointing on, centred together.
  fonts.Use(cr, FontId::SansCondensedBold, 11);
  SetSource(cr, palette::kCream);
  const double textW = TextWidth(cr, "Click to continue"), arrowW = 5, gap = 3;
  const double left = std::round((b.w - textW - gap - arrowW) / 2);
  ShowTextAt(cr, "Click to continue", left, 13);
  const double ax = left + textW + gap;
  cairo_move_to(cr, ax, 5.5);
  cairo_line_to(cr, ax + arrowW, 9);
  cairo_line_to(cr, ax, 12.5);
  cairo_close_path(cr);
  cairo_fill(cr);
  return FlattenToKeyed(canvas, PictureUnderlay(background, b.x, b.y));
}

}  // namespace mkassets
