#include "button_art.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "canvas.h"
#include "keying.h"
#include "palette.h"

namespace mkassets {

namespace {

void Gradient(cairo_t* cr, double y0, double y1, Rgb top, Rgb bottom) {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
  cairo_pattern_add_color_stop_rgb(p, 0, top.r / 255.0, top.g / 255.0, top.b / 255.0);
  cairo_pattern_add_color_stop_rgb(p, 1, bottom.r / 255.0, bottom.g / 255.0, bottom.b / 255.0);
  cairo_set_source(cr, p);
  cairo_pattern_destroy(p);
}

}  // namespace

void KeyCap(cairo_t* cr, const FontLibrary& fonts, const std::string& key, double x, double y, double height) {
  fonts.Use(cr, FontId::SansBold, height * 0.62);
  const double w = std::max(height, TextWidth(cr, key) + height * 0.5);
  RoundedRect(cr, x, y, w, height, height * 0.25);
  SetSource(cr, Rgb{250, 244, 226});
  cairo_fill_preserve(cr);
  SetSource(cr, Rgb{60, 40, 24});
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  ShowTextCentred(cr, key, x + w / 2.0, y + height * 0.76);
}

double KeyCapWidth(cairo_t* cr, const FontLibrary& fonts, const std::string& key, double height) {
  fonts.Use(cr, FontId::SansBold, height * 0.62);
  return std::max(height, TextWidth(cr, key) + height * 0.5);
}

namespace {

RgbImage PaintButton(const FontLibrary& fonts, const RgbImage& background, const layout::ButtonPlace& place,
                     bool lit) {
  const int w = layout::kButtonW, h = layout::kButtonH;
  Canvas canvas(w, h);
  cairo_t* cr = canvas.cr();
  const Rgb base = lit ? palette::kButtonLit : palette::kButton;
  RoundedRect(cr, 0, 0, w, h, 12);
  Gradient(cr, 0, h, Mix(base, palette::kWhite, 0.3), Shade(base, 0.75));
  cairo_fill(cr);
  // Glossy upper half.
  RoundedRect(cr, 4, 3, w - 8, h / 2.0 - 2, 9);
  cairo_set_source_rgba(cr, 1, 1, 1, lit ? 0.35 : 0.16);
  cairo_fill(cr);
  RoundedRect(cr, 1, 1, w - 2, h - 2, 11);
  SetSource(cr, lit ? Rgb{120, 60, 10} : palette::kGold);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  fonts.Use(cr, FontId::SansCondensedBold, 14);
  const Rgb text = lit ? Rgb{70, 30, 6} : palette::kCream;
  const Rgb shadow = lit ? Rgb{255, 240, 190} : Rgb{50, 20, 8};
  // The label sits a little low to leave the top right corner to the key cap.
  SetSource(cr, shadow);
  ShowTextCentred(cr, place.label, w / 2.0 + 1, h / 2.0 + 10);
  SetSource(cr, text);
  ShowTextCentred(cr, place.label, w / 2.0, h / 2.0 + 9);
  const double cap = 13;
  KeyCap(cr, fonts, place.key, w - 7 - KeyCapWidth(cr, fonts, place.key, cap), 5, cap);
  return FlattenToKeyed(canvas, PictureUnderlay(background, place.x, place.y));
}

void Tick(cairo_t* cr, double cx, double cy, double s) {
  cairo_move_to(cr, cx - 10 * s, cy);
  cairo_line_to(cr, cx - 3 * s, cy + 7 * s);
  cairo_line_to(cr, cx + 11 * s, cy - 8 * s);
}

void Cross(cairo_t* cr, double cx, double cy, double s) {
  cairo_move_to(cr, cx - 8 * s, cy - 8 * s);
  cairo_line_to(cr, cx + 8 * s, cy + 8 * s);
  cairo_move_to(cr, cx + 8 * s, cy - 8 * s);
  cairo_line_to(cr, cx - 8 * s, cy + 8 * s);
}

// A curved arrow jumping over a dot: skip this one.
void SkipArrow(cairo_t* cr, double cx, double cy, double s) {
  cairo_arc(cr, cx, cy + 6 * s, 10 * s, M_PI * 1.1, M_PI * 1.9);
  cairo_stroke(cr);
  const double ax = cx + 10 * s * std::cos(M_PI * 1.9), ay = cy + 6 * s + 10 * s * std::sin(M_PI * 1.9);
  cairo_move_to(cr, ax + 4 * s, ay + 5 * s);
  cairo_line_to(cr, ax + 1 * s, ay - 3 * s);
  cairo_line_to(cr, ax - 6 * s, ay + 1 * s);
  cairo_stroke(cr);
  cairo_arc(cr, cx, cy + 8 * s, 2.4 * s, 0, 2 * M_PI);
  cairo_fill(cr);
}

RgbImage PaintAnswerButton(const FontLibrary& fonts, const RgbImage& background, const layout::PiePlace& pie,
                           bool lit) {
  const int d = pie.diameter;
  const double r = d / 2.0, c = d / 2.0;
  Canvas canvas(d, d);
  cairo_t* cr = canvas.cr();
  const std::string label = pie.label;
  const Rgb base = label == "True" ? palette::kTrue : label == "False" ? palette::kFalse : palette::kPass;
  const Rgb body = lit ? Mix(base, palette::kWhite, 0.28) : base;
  cairo_arc(cr, c, c, r, 0, 2 * M_PI);
  SetSource(cr, Shade(base, 0.45));
  cairo_fill(cr);
  cairo_arc(cr, c, c, r - 3, 0, 2 * M_PI);
  cairo_pattern_t* p = cairo_pattern_create_radial(c - r * 0.3, c - r * 0.35, r * 0.1, c, c, r);
  const Rgb hi = Mix(body, palette::kWhite, 0.35);
  cairo_pattern_add_color_stop_rgb(p, 0, hi.r / 255.0, hi.g / 255.0, hi.b / 255.0);
  cairo_pattern_add_color_stop_rgb(p, 1, Shade(body, 0.8).r / 255.0, Shade(body, 0.8).g / 255.0,
                                   Shade(body, 0.8).b / 255.0);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  // The ring: white when resting, gold when the pointer is over the button.
  cairo_arc(cr, c, c, r - 7, 0, 2 * M_PI);
  SetSource(cr, lit ? palette::kGold : palette::kWhite, lit ? 1.0 : 0.85);
  cairo_set_line_width(cr, lit ? 4 : 2.5);
  cairo_stroke(cr);
  // Icon above, word below.
  const double s = d / 112.0 * (lit ? 1.12 : 1.0);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  for (int pass = 0; pass < 2; ++pass) {
    if (pass == 0) {
      SetSource(cr, Shade(base, 0.4));
      cairo_set_line_width(cr, 9 * s);
    } else {
      SetSource(cr, palette::kWhite);
      cairo_set_line_width(cr, 5.5 * s);
    }
    if (label == "True") {
      Tick(cr, c, c - 14 * s, 1.3 * s);
      cairo_stroke(cr);
    } else if (label == "False") {
      Cross(cr, c, c - 14 * s, 1.15 * s);
      cairo_stroke(cr);
    } else {
      SkipArrow(cr, c, c - 18 * s, 1.25 * s);
    }
  }
  fonts.Use(cr, FontId::SansBold, d >= 110 ? 22 : 20);
  OutlinedTextCentred(cr, label, c, c + 27 * d / 112.0, 4, 1, 1, 1, Shade(base, 0.4).r / 255.0,
                      Shade(base, 0.4).g / 255.0, Shade(base, 0.4).b / 255.0);
  // The key cap on the ring, upper right.
  const double cap = 16;
  KeyCap(cr, fonts, pie.key, c + r * 0.62 - cap / 2, c - r * 0.62 - cap / 2, cap);
  return FlattenToKeyed(canvas, PictureUnderlay(background, pie.x, pie.y));
}

RgbImage SideBySide(const RgbImage& a, const RgbImage& b) {
  RgbImage out(a.width() + b.width(), a.height());
  out.Paste(a, 0, 0, false);
  out.Paste(b, a.width(), 0, false);
  return out;
}

}  // namespace

RgbImage PaintButtonStrip(const FontLibrary& fonts, const RgbImage& background, const layout::ButtonPlace& place) {
  return SideBySide(PaintButton(fonts, background, place, false), PaintButton(fonts, background, place, true));
}

RgbImage PaintAnswerButtonStrip(const FontLibrary& fonts, const RgbImage& background, const layout::PiePlace& pie) {
  return SideBySide(PaintAnswerButton(fonts, background, pie, false),
                    PaintAnswerButton(fonts, background, pie, true));
}

}  // namespace mkassets
