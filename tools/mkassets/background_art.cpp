#include "background_art.h"

#include <cmath>
#include <string>

#include "canvas.h"
#include "common/game_rules.h"
#include "keying.h"
#include "palette.h"
#include "screen_layout.h"

namespace mkassets {

namespace {

using layout::Box;

void Backdrop(cairo_t* cr) {
  VerticalGradient(cr, 0, layout::kScreenH, palette::kBackdropTop, palette::kBackdropBottom);
  cairo_paint(cr);
  // Soft light from above the stage.
  cairo_pattern_t* glow = cairo_pattern_create_radial(371, 120, 20, 371, 120, 520);
  cairo_pattern_add_color_stop_rgba(glow, 0, 1, 0.95, 0.75, 0.22);
  cairo_pattern_add_color_stop_rgba(glow, 1, 1, 0.95, 0.75, 0.0);
  cairo_set_source(cr, glow);
  cairo_paint(cr);
  cairo_pattern_destroy(glow);
  // Faint diagonal stripes give the flat areas some texture.
  cairo_save(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.035);
  for (int x = -600; x < 800; x += 28) {
    cairo_move_to(cr, x, 600);
    cairo_line_to(cr, x + 600, 0);
    cairo_line_to(cr, x + 614, 0);
    cairo_line_to(cr, x + 14, 600);
    cairo_close_path(cr);
  }
  cairo_fill(cr);
  cairo_restore(cr);
}

void Bevel(cairo_t* cr, const Box& b, double radius, Rgb fill, Rgb rim, double rimWidth) {
  // Drop shadow first, then the body and its rim inside the box.
  RoundedRect(cr, b.x + 2, b.y + 3, b.w, b.h, radius);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.28);
  cairo_fill(cr);
  RoundedRect(cr, b.x, b.y, b.w, b.h, radius);
  SetSource(cr, fill);
  cairo_fill(cr);
  RoundedRect(cr, b.x + rimWidth / 2, b.y + rimWidth / 2, b.w - rimWidth, b.h - rimWidth, radius - rimWidth / 2);
  SetSource(cr, rim);
  cairo_set_line_width(cr, rimWidth);
  cairo_stroke(cr);
}

void ScoreBox(cairo_t* cr, const FontLibrary& fonts, const Box& b, const std::string& label) {
  Bevel(cr, b, 7, palette::kScoreBox, palette::kGold, 2);
  fonts.Use(cr, FontId::SansBold, 12);
  // Lighter than the box's gold rim: small text on the backdrop needs 4.5:1.
  SetSource(cr, palette::kLabelGold);
  ShowTextCentred(cr, label, b.x + b.w / 2.0, b.bottom() + 15);
}

void LadderPanel(cairo_t* cr, const FontLibrary& fonts) {
  const Box& p = layout::kLadderPanel;
  RoundedRect(cr, p.x + 2, p.y + 3, p.w, p.h, 10);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
  cairo_fill(cr);
  RoundedRect(cr, p.x, p.y, p.w, p.h, 10);
  VerticalGradient(cr, p.y, p.bottom(), palette::kWoodLight, palette::kWoodDark);
  cairo_fill_preserve(cr);
  SetSource(cr, palette::kGold);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  // The rails of the ladder, behind the steps.
  SetSource(cr, Shade(palette::kWoodDark, 0.8));
  cairo_rectangle(cr, p.x + 4, p.y + 6, 4, p.h - 12);
  cairo_rectangle(cr, p.right() - 8, p.y + 6, 4, p.h - 12);
  cairo_fill(cr);
  for (int i = 0; i < 10; ++i) {
    const double x = layout::kLadderX, y = layout::LadderStepY(i);
    RoundedRect(cr, x, y, layout::kLadderStepW, layout::kLadderStepH, 7);
    SetSource(cr, palette::kSlot);
    cairo_fill(cr);
    // Inner shadow along the top edge makes the slot look recessed.
    cairo_save(cr);
    RoundedRect(cr, x, y, layout::kLadderStepW, layout::kLadderStepH, 7);
    cairo_clip(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_rectangle(cr, x, y, layout::kLadderStepW, 3);
    cairo_fill(cr);
    cairo_restore(cr);
    SetSource(cr, palette::kSlotText);
    fonts.Use(cr, FontId::SansBold, 11);
    ShowTextCentred(cr, std::to_string(i + 1), x + 14, y + 25);
    fonts.Use(cr, FontId::SansCondensedBold, 17);
    ShowTextRight(cr, WithThousands(layout::kLadderPoints[static_cast<size_t>(i)]), x + layout::kLadderStepW - 10, y + 27);
  }
}

void Cloud(cairo_t* cr, double x, double y, double s) {
  cairo_set_source_rgba(cr, 1, 1, 1, 0.92);
  cairo_arc(cr, x, y, 12 * s, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_arc(cr, x + 14 * s, y - 7 * s, 15 * s, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_arc(cr, x + 30 * s, y, 12 * s, 0, 2 * M_PI);
  cairo_fill(cr);
  RoundedRect(cr, x - 6 * s, y - 2 * s, 42 * s, 13 * s, 6 * s);
  cairo_fill(cr);
}

void Stage(cairo_t* cr, const FontLibrary& fonts) {
  const Box s{layout::kStage.x, layout::kStage.y, layout::kStage.w, layout::kStageVisibleH};
  RoundedRect(cr, s.x + 2, s.y + 3, s.w, s.h, 12);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
  cairo_fill(cr);
  cairo_save(cr);
  RoundedRect(cr, s.x, s.y, s.w, s.h, 12);
  cairo_clip(cr);
  VerticalGradient(cr, s.y, s.y + 170, palette::kSkyTop, palette::kSkyBottom);
  cairo_paint(cr);
  // Sun with a soft halo.
  cairo_pattern_t* halo = cairo_pattern_create_radial(530, 50, 10, 530, 50, 60);
  cairo_pattern_add_color_stop_rgba(halo, 0, 1, 0.96, 0.7, 0.8);
  cairo_pattern_add_color_stop_rgba(halo, 1, 1, 0.96, 0.7, 0);
  cairo_set_source(cr, halo);
  cairo_paint(cr);
  cairo_pattern_destroy(halo);
  cairo_arc(cr, 530, 50, 17, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, 1, 0.88, 0.42);
  cairo_fill(cr);
  Cloud(cr, 200, 46, 1.0);
  Cloud(cr, 330, 32, 0.8);
  Cloud(cr, 440, 70, 0.7);
  // Two rows of hills.
  cairo_move_to(cr, s.x, 150);
  cairo_curve_to(cr, 230, 104, 300, 128, 360, 136);
  cairo_curve_to(cr, 430, 146, 480, 100, s.right(), 128);
  cairo_line_to(cr, s.right(), s.bottom());
  cairo_line_to(cr, s.x, s.bottom());
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, 0.55, 0.76, 0.50);
  cairo_fill(cr);
  cairo_move_to(cr, s.x, 170);
  cairo_curve_to(cr, 260, 146, 380, 170, 460, 156);
  cairo_curve_to(cr, 520, 146, 560, 160, s.right(), 158);
  cairo_line_to(cr, s.right(), s.bottom());
  cairo_line_to(cr, s.x, s.bottom());
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, 0.47, 0.70, 0.40);
  cairo_fill(cr);
  // The meadow the bull stands on.
  VerticalGradient(cr, 186, s.bottom(), palette::kGrass, palette::kGrassDark);
  cairo_move_to(cr, s.x, 192);
  cairo_curve_to(cr, 300, 182, 450, 184, s.right(), 190);
  cairo_line_to(cr, s.right(), s.bottom());
  cairo_line_to(cr, s.x, s.bottom());
  cairo_close_path(cr);
  cairo_fill(cr);
  // A paddock fence across the back of the meadow.
  const Rgb post{176, 122, 74};
  for (double x = s.x + 14; x < s.right(); x += 46) {
    RoundedRect(cr, x, 150, 8, 42, 2);
    SetSource(cr, post);
    cairo_fill_preserve(cr);
    SetSource(cr, Shade(post, 0.6));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  for (double y : {160.0, 176.0}) {
    cairo_rectangle(cr, s.x, y, s.w, 6);
    SetSource(cr, Mix(post, palette::kWhite, 0.1));
    cairo_fill_preserve(cr);
    SetSource(cr, Shade(post, 0.6));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  }
  // A sign on the fence with the game's name.
  RoundedRect(cr, 488, 112, 84, 28, 4);
  SetSource(cr, Mix(post, palette::kWhite, 0.25));
  cairo_fill_preserve(cr);
  SetSource(cr, Shade(post, 0.5));
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  SetSource(cr, Shade(post, 0.5));
  cairo_rectangle(cr, 506, 140, 4, 12);
  cairo_rectangle(cr, 550, 140, 4, 12);
  cairo_fill(cr);
  fonts.Use(cr, FontId::SerifBold, 17);
  SetSource(cr, Rgb{120, 40, 24});
  ShowTextCentred(cr, "ZORVEL", 530, 132);
  // Tufts and small flowers in the grass.
  for (int i = 0; i < 26; ++i) {
    const double x = s.x + 10 + i * 15.7 + (i % 3) * 4;
    const double y = 200 + (i * 37 % 29);
    cairo_set_source_rgba(cr, 0.2, 0.45, 0.15, 0.7);
    cairo_set_line_width(cr, 1.3);
    cairo_move_to(cr, x, y + 6);
    cairo_line_to(cr, x - 3, y);
    cairo_move_to(cr, x, y + 6);
    cairo_line_to(cr, x + 1, y - 1);
    cairo_move_to(cr, x, y + 6);
    cairo_line_to(cr, x + 4, y + 1);
    cairo_stroke(cr);
    if (i % 4 == 1) {
      cairo_arc(cr, x + 6, y + 2, 2.2, 0, 2 * M_PI);
      cairo_set_source_rgb(cr, 1, i % 8 == 1 ? 0.95 : 0.75, i % 8 == 1 ? 0.5 : 0.85);
      cairo_fill(cr);
    }
  }
  cairo_restore(cr);
  RoundedRect(cr, s.x + 1.5, s.y + 1.5, s.w - 3, s.h - 3, 11);
  SetSource(cr, palette::kGold);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
}

void TextPanel(cairo_t* cr) {
  const Box& p = layout::kTextPanel;
  RoundedRect(cr, p.x + 2, p.y + 3, p.w, p.h, 10);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
  cairo_fill(cr);
  RoundedRect(cr, p.x, p.y, p.w, p.h, 10);
  SetSource(cr, palette::kPanel);
  cairo_fill(cr);
  RoundedRect(cr, p.x + 1.5, p.y + 1.5, p.w - 3, p.h - 3, 9);
  SetSource(cr, palette::kPanelRim);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  RoundedRect(cr, p.x + 5.5, p.y + 5.5, p.w - 11, p.h - 11, 6);
  SetSource(cr, Mix(palette::kPanel, palette::kGold, 0.45));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

void ClockColumn(cairo_t* cr) {
  const Box& c = layout::kClock;
  const int inset = layout::kClockInset;
  const Box frame{c.x, c.y, c.w, c.h + 6};
  RoundedRect(cr, frame.x + 2, frame.y + 3, frame.w, frame.h, 10);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.3);
  cairo_fill(cr);
  RoundedRect(cr, frame.x, frame.y, frame.w, frame.h, 10);
  VerticalGradient(cr, frame.y, frame.bottom(), palette::kWoodLight, palette::kWoodDark);
  cairo_fill_preserve(cr);
  SetSource(cr, palette::kGold);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  // The glass the time fills, lit from the left.
  const Box glass{c.x + inset, c.y + inset, c.w - 2 * inset, c.h - inset};
  cairo_pattern_t* p = cairo_pattern_create_linear(glass.x, 0, glass.right(), 0);
  cairo_pattern_add_color_stop_rgb(p, 0, 0.70, 0.82, 0.84);
  cairo_pattern_add_color_stop_rgb(p, 0.25, palette::kGlass.r / 255.0, palette::kGlass.g / 255.0,
                                   palette::kGlass.b / 255.0);
  cairo_pattern_add_color_stop_rgb(p, 0.75, palette::kGlass.r / 255.0, palette::kGlass.g / 255.0,
                                   palette::kGlass.b / 255.0);
  cairo_pattern_add_color_stop_rgb(p, 1, 0.64, 0.76, 0.78);
  cairo_rectangle(cr, glass.x, glass.y, glass.w, glass.h);
  cairo_set_source(cr, p);
  cairo_fill(cr);
  cairo_pattern_destroy(p);
  cairo_rectangle(cr, glass.x + 10, glass.y + 4, 6, glass.h - 8);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.45);
  cairo_fill(cr);
  // Marks on the rims, one per 30 seconds of the clock.
  const int marks = rules::kClockSeconds / 30;
  SetSource(cr, palette::kGold);
  cairo_set_line_width(cr, 2);
  for (int i = 1; i < marks; ++i) {
    const double y = std::round(c.bottom() - c.h * i / static_cast<double>(marks)) + 0.0;
    cairo_move_to(cr, c.x + 1, y);
    cairo_line_to(cr, c.x + inset - 1, y);
    cairo_move_to(cr, c.right() - inset + 1, y);
    cairo_line_to(cr, c.right() - 1, y);
  }
  cairo_stroke(cr);
  // Places for the three streak flowers.
  for (int x : layout::kFlowerX) {
    const double r = layout::kFlowerSize / 2.0 - 2;
    cairo_arc(cr, x + layout::kFlowerSize / 2.0, layout::kFlowerY + layout::kFlowerSize / 2.0, r, 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
    cairo_fill_preserve(cr);
    const double dash[] = {4, 3};
    cairo_set_dash(cr, dash, 2, 0);
    SetSource(cr, Shade(palette::kGlass, 0.6));
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_set_dash(cr, nullptr, 0, 0);
  }
}

void ButtonRow(cairo_t* cr, const FontLibrary& fonts) {
  // A band behind the four buttons and a console holding the answer buttons.
  cairo_rectangle(cr, 0, 516, layout::kScreenW, layout::kScreenH - 516);
  VerticalGradient(cr, 516, layout::kScreenH, Rgb{36, 26, 22}, Rgb{20, 14, 12});
  cairo_fill(cr);
  cairo_rectangle(cr, 0, 516, layout::kScreenW, 2);
  SetSource(cr, palette::kGoldDark);
  cairo_fill(cr);
  const Box console{196, 470, 408, 150};
  RoundedRect(cr, console.x + 2, console.y + 3, console.w, console.h, 18);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
  cairo_fill(cr);
  RoundedRect(cr, console.x, console.y, console.w, console.h, 18);
  VerticalGradient(cr, console.y, layout::kScreenH, palette::kWoodLight, palette::kWoodDark);
  cairo_fill_preserve(cr);
  SetSource(cr, palette::kGold);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  // Wells under the round buttons.
  for (const auto& pie : layout::kPies) {
    const double r = pie.diameter / 2.0;
    cairo_arc(cr, pie.x + r, pie.y + r, r + 3, 0, 2 * M_PI);
    SetSource(cr, Shade(palette::kWoodDark, 0.7));
    cairo_fill(cr);
  }
  // The game's name between the text and the answers.
  fonts.Use(cr, FontId::SerifBold, 24);
  OutlinedTextCentred(cr, "Z O R V E L", 397, 455, 4, palette::kGold.r / 255.0, palette::kGold.g / 255.0,
                      palette::kGold.b / 255.0, 0.12, 0.08, 0.05);
}

}  // namespace

RgbImage PaintBackground(const FontLibrary& fonts) {
  Canvas canvas(layout::kScreenW, layout::kScreenH);
  cairo_t* cr = canvas.cr();
  Backdrop(cr);
  ScoreBox(cr, fonts, layout::kBestScoreBox, "BEST");
  ScoreBox(cr, fonts, layout::kScoreBox, "SCORE");
  LadderPanel(cr, fonts);
  Stage(cr, fonts);
  ClockColumn(cr);
  ButtonRow(cr, fonts);
  TextPanel(cr);
  RgbImage out = canvas.ToOpaque();
  for (int y = 0; y < out.height(); ++y)
    for (int x = 0; x < out.width(); ++x) out.Set(x, y, AwayFromKey(out.At(x, y)));
  return out;
}

}  // namespace mkassets
