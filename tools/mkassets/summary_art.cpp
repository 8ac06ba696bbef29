#include "summary_art.h"

#include <cmath>
#include <stdexcept>
#include <string>

#include "canvas.h"
#include "common/summary_layout.h"
#include "keying.h"
#include "palette.h"
#include "popup_art.h"
#include "screen_layout.h"

namespace mkassets {

namespace {

using summary_layout::Box;

void Star(cairo_t* cr, double cx, double cy, double outer) {
  for (int i = 0; i < 10; ++i) {
    const double angle = -M_PI / 2 + i * M_PI / 5;
    const double r = i % 2 == 0 ? outer : outer * 0.45;
    if (i == 0) cairo_move_to(cr, cx + r * std::cos(angle), cy + r * std::sin(angle));
    else cairo_line_to(cr, cx + r * std::cos(angle), cy + r * std::sin(angle));
  }
  cairo_close_path(cr);
  SetSource(cr, palette::kGold);
  cairo_fill_preserve(cr);
  SetSource(cr, palette::kGoldDark);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
}

// A button painted into the card: the game hit-tests the same box.
void CardButton(const FontLibrary& fonts, cairo_t* cr, const Box& box, const std::string& label, const std::string& key) {
  RoundedRect(cr, box.x, box.y, box.w, box.h, 12);
  SetSource(cr, palette::kButton);
  cairo_fill_preserve(cr);
  SetSource(cr, palette::kGold);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  fonts.Use(cr, FontId::SansBold, 15);
  const double keyWidth = key.empty() ? 0 : TextWidth(cr, key) + 14;
  fonts.Use(cr, FontId::SansBold, 16);
  const double labelWidth = TextWidth(cr, label);
  if (labelWidth + keyWidth > box.w - 16) throw std::runtime_error("card button text wider than its button: " + label);
  const double left = box.x + (box.w - labelWidth - keyWidth) / 2.0;
  SetSource(cr, palette::kCream);
  ShowTextAt(cr, label, left, box.y + box.h / 2.0 + 6);
  if (key.empty()) return;
  fonts.Use(cr, FontId::SansBold, 12);
  const double keyLeft = left + labelWidth + 8, keyW = TextWidth(cr, key) + 8;
  RoundedRect(cr, keyLeft, box.y + box.h / 2.0 - 9, keyW, 18, 4);
  SetSource(cr, palette::kCream);
  cairo_fill(cr);
  SetSource(cr, palette::kButton);
  ShowTextAt(cr, key, keyLeft + 4, box.y + box.h / 2.0 + 4.5);
}

void PanelArea(cairo_t* cr, const Box& box) {
  RoundedRect(cr, box.x - 1.5, box.y - 1.5, box.w + 3, box.h + 3, 9);
  SetSource(cr, palette::kGoldDark);
  cairo_fill(cr);
  RoundedRect(cr, box.x, box.y, box.w, box.h, 8);
  SetSource(cr, palette::kPanel);
  cairo_fill(cr);
}

}  // namespace

RgbImage PaintSummary(const FontLibrary& fonts, const RgbImage& background, bool newRecord) {
  using namespace summary_layout;
  const Box& card = kSummaryCard;
  Canvas canvas(card.w, card.h);
  cairo_t* cr = canvas.cr();
  PopupCard(cr, card.w, card.h, newRecord ? Rgb{120, 30, 30} : Rgb{40, 46, 70}, palette::kWoodDark);
  fonts.Use(cr, FontId::SerifBold, 32);
  const std::string title = newRecord ? "New record!" : "Your game";
  OutlinedTextCentred(cr, title, card.w / 2.0, 52, 5, palette::kGold.r / 255.0, palette::kGold.g / 255.0,
                      palette::kGold.b / 255.0, 0.25, 0.05, 0.05);
  if (newRecord) {
    const double half = TextWidth(cr, title) / 2.0;
    Star(cr, card.w / 2.0 - half - 30, 40, 16);
    Star(cr, card.w / 2.0 + half + 30, 40, 16);
  }
  PanelArea(cr, kSummaryRows);
  static const char* const kLabels[kRows] = {"Score",  "Hall of fame",          "Right answers", "Wrong answers",
                                             "Passed", "Accuracy",              "Longest run of right answers",
                                             "Time bonuses"};
  for (int row = 0; row < kRows; ++row) {
    const double top = kFirstRowY + row * kRowH;
    if (row > 0) {
      cairo_rectangle(cr, kSummaryRows.x + 10, top, kSummaryRows.w - 20, 1);
      SetSource(cr, Mix(palette::kPanel, palette::kGoldDark, 0.35));
      cairo_fill(cr);
    }
    fonts.Use(cr, row == 0 ? FontId::SansBold : FontId::Sans, 15);
    SetSource(cr, palette::kText);
    ShowTextAt(cr, kLabels[row], kLabelX, top + kRowH / 2.0 + 5);
  }
  CardButton(fonts, cr, kReviewButton, "Review", "R");
  CardButton(fonts, cr, kCloseButton, "Go on", "Space");
  return FlattenToKeyed(canvas, PictureUnderlay(background, card.x, card.y));
}

RgbImage PaintReview(const FontLibrary& fonts, const RgbImage& background) {
  using namespace summary_layout;
  const Box& card = kReviewCard;
  Canvas canvas(card.w, card.h);
  cairo_t* cr = canvas.cr();
  PopupCard(cr, card.w, card.h, Rgb{40, 46, 70}, palette::kWoodDark);
  fonts.Use(cr, FontId::SerifBold, 28);
  OutlinedTextCentred(cr, "Your answers", card.w / 2.0, 46, 4, palette::kGold.r / 255.0, palette::kGold.g / 255.0,
                      palette::kGold.b / 255.0, 0.25, 0.05, 0.05);
  PanelArea(cr, kReviewText);
  CardButton(fonts, cr, kPreviousButton, "Back", "Left");
  CardButton(fonts, cr, kNextButton, "Next", "Right");
  CardButton(fonts, cr, kDoneButton, "Close", "P");
  return FlattenToKeyed(canvas, PictureUnderlay(background, card.x, card.y));
}

RgbImage PaintNewRoundNotice(const FontLibrary& fonts, const RgbImage& background) {
  // The size of the hall-of-fame notice, so it covers and leaves the same area.
  const int w = layout::kHallOfFameW, h = layout::kHallOfFameH;
  Canvas canvas(w, h);
  cairo_t* cr = canvas.cr();
  PopupCard(cr, w, h, Rgb{30, 80, 60}, palette::kWoodDark);
  // Two arrows chasing each other round: the statements come round again.
  const double cx = 62, cy = 74, r = 30;
  cairo_set_line_width(cr, 8);
  SetSource(cr, palette::kGold);
  for (int half = 0; half < 2; ++half) {
    const double start = half * M_PI + 0.35, end = half * M_PI + M_PI - 0.35;
    cairo_arc(cr, cx, cy, r, start, end);
    cairo_stroke(cr);
    const double tipX = cx + r * std::cos(end), tipY = cy + r * std::sin(end);
    const double dx = -std::sin(end), dy = std::cos(end);  // along the arc
    const double nx = std::cos(end), ny = std::sin(end);   // across it
    cairo_move_to(cr, tipX + dx * 14, tipY + dy * 14);
    cairo_line_to(cr, tipX + nx * 11, tipY + ny * 11);
    cairo_line_to(cr, tipX - nx * 11, tipY - ny * 11);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
  const double textLeft = 112, textWidth = w - textLeft - 16, textX = textLeft + textWidth / 2.0;
  fonts.Use(cr, FontId::SerifBold, 24);
  OutlinedTextCentred(cr, "All seen!", textX, 56, 4, palette::kGold.r / 255.0, palette::kGold.g / 255.0,
                      palette::kGold.b / 255.0, 0.25, 0.05, 0.05);
  fonts.Use(cr, FontId::SansBold, 14);
  SetSource(cr, palette::kCream);
  const auto lines = WrapWords(cr, "You have seen every statement \u2014 starting again", textWidth);
  if (lines.size() > 3) throw std::runtime_error("new-round notice text does not fit its card");
  double y = 84;
  for (const auto& line : lines) {
    ShowTextCentred(cr, line, textX, y);
    y += 19;
  }
  return FlattenToKeyed(canvas, PictureUnderlay(background, layout::CentredLeft(w), layout::CentredTop(h)));
}

}  // namespace mkassets
