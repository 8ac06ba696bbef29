#include "popup_art.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "button_art.h"
#include "canvas.h"
#include "common/game_rules.h"
#include "keying.h"
#include "palette.h"
#include "screen_layout.h"

namespace mkassets {

namespace {

void Card(cairo_t* cr, int w, int h, Rgb body, Rgb frame) {
  RoundedRect(cr, 0, 0, w, h, 16);
  SetSource(cr, frame);
  cairo_fill(cr);
  RoundedRect(cr, 6, 6, w - 12, h - 12, 11);
  SetSource(cr, body);
  cairo_fill(cr);
  RoundedRect(cr, 9.5, 9.5, w - 19, h - 19, 8);
  SetSource(cr, palette::kGold);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  RoundedRect(cr, 1, 1, w - 2, h - 2, 15);
  SetSource(cr, palette::kGold);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
}

// "125, 250, ... and 100,000": the ladder's points as the rules read them out.
std::string LadderPointsInWords() {
  std::string words;
  for (size_t i = 0; i < rules::kLadderPoints.size(); ++i) {
    if (i > 0) words += i + 1 == rules::kLadderPoints.size() ? " and " : ", ";
    words += WithThousands(rules::kLadderPoints[i]);
  }
  return words;
}

const std::vector<std::string>& RulesText() {
  static const std::vector<std::string> text = {
      "Read the statement. Click True if it is right, False if it is wrong, or Pass if you are not sure.",
      "You have " + std::to_string(rules::kClockSeconds) +
          " seconds. The column on the right fills up as the clock runs down; when it is full, the game is over.",
      "A right answer scores the points of your step on the ladder and climbs one step: " +
          LadderPointsInWords() + " at the top.",
      "A wrong answer drops you back to the bottom step. A pass keeps your step and your score, but ends a run "
      "of right answers.",
      "Three right answers in a row grow three flowers and add " + std::to_string(rules::kBonusSeconds) +
          " seconds to the clock.",
      "After each answer the stamp says if the statement is true, and the words beside it if you were right. "
      "Click the panel to go on.",
      "When the time is up, a score good enough enters the hall of fame.",
  };
  return text;
}

// Every key and controller button, in three columns under the rules: what it is, then what it does. The third
// column is the controller's.
struct KeyLine {
  const char* key;
  const char* action;
};
constexpr int kControllerColumn = 2;
constexpr KeyLine kKeyColumns[3][5] = {
    {{"T, Left", "True"}, {"F, Right", "False"}, {"P, Down", "Pass"}, {"Space, Return", "go on"},
     {"Escape", "quit"}},
    {{"N", "new game"}, {"R", "rules"}, {"M", "menu"}, {"F1", "frame rate"}, {"Alt+Enter", "full screen"}},
    {{"A", "True, go on"}, {"B", "False"}, {"X, Y", "Pass"}, {"Start", "new game"}, {"Back", "rules"}},
};
constexpr const char* kKeyHeadings[3] = {"Keys", "", "Controller"};
constexpr double kRulesTextSize = 13;

// A notice's words, wrapped to the space beside its picture and centred there, 20 pixels a line; more than three
// lines would run off the card, so the art is refused instead.
void ShowNoticeLines(cairo_t* cr, const std::string& text, double centreX, double width, double firstY) {
  const auto lines = WrapWords(cr, text, width);
  if (lines.size() > 3) throw std::runtime_error("notice text does not fit its card: " + text);
  double y = firstY;
  for (const auto& line : lines) {
    ShowTextCentred(cr, line, centreX, y);
    y += 20;
  }
}

}  // namespace

void PopupCard(cairo_t* cr, int w, int h, Rgb body, Rgb frame) { Card(cr, w, h, body, frame); }

std::vector<RulesKey> RulesCardKeys() {
  std::vector<RulesKey> keys;
  for (int column = 0; column < 3; ++column)
    for (const KeyLine& line : kKeyColumns[column]) keys.push_back({line.key, line.action, column == kControllerColumn});
  return keys;
}

RgbImage PaintRules(const FontLibrary& fonts, const RgbImage& background) {
  const int w = layout::kRulesW, h = layout::kRulesH;
  Canvas canvas(w, h);
  cairo_t* cr = canvas.cr();
  Card(cr, w, h, palette::kPanel, palette::kWoodDark);
  fonts.Use(cr, FontId::SerifBold, 27);
  SetSource(cr, Rgb{120, 40, 24});
  ShowTextCentred(cr, "How to play", w / 2.0, 46);
  cairo_rectangle(cr, w / 2.0 - 120, 56, 240, 2);
  SetSource(cr, palette::kGold);
  cairo_fill(cr);

  const double textLeft = 62, textWidth = w - textLeft - 30, lineStep = 15.5;
  double y = 82;
  const Rgb badges[] = {palette::kTrue, palette::kFillDark, palette::kGoldDark, palette::kFalse,
                        Rgb{200, 120, 30}, palette::kWoodLight, Rgb{150, 110, 20}, palette::kPanelRim};
  for (size_t i = 0; i < RulesText().size(); ++i) {
    fonts.Use(cr, FontId::Sans, kRulesTextSize);
    const auto lines = WrapWords(cr, RulesText()[i], textWidth);
    cairo_arc(cr, textLeft - 20, y - 5, 10, 0, 2 * M_PI);
    SetSource(cr, badges[i]);
    cairo_fill(cr);
    fonts.Use(cr, FontId::SansBold, 12);
    SetSource(cr, palette::kWhite);
    ShowTextCentred(cr, std::to_string(i + 1), textLeft - 20, y - 0.5);
    fonts.Use(cr, FontId::Sans, kRulesTextSize);
    SetSource(cr, palette::kText);
    for (const auto& line : lines) {
      ShowTextAt(cr, line, textLeft, y);
      y += lineStep;
    }
    y += 3;
  }
  // The keys, in small print, each column as wide as its longest line.
  y += 4;
  cairo_rectangle(cr, textLeft - 30, y - 10, w - 2 * (textLeft - 30), 1);
  SetSource(cr, palette::kGold);
  cairo_fill(cr);
  y += 6;
  const double keyStep = 14, columnGap = 18;
  double x = textLeft - 30;
  for (int column = 0; column < 3; ++column) {
    double widest = 0;
    fonts.Use(cr, FontId::SansBold, 12);
    SetSource(cr, palette::kPanelRim);
    if (*kKeyHeadings[column]) ShowTextAt(cr, kKeyHeadings[column], x, y);
    double rowY = y + keyStep;
    for (const KeyLine& line : kKeyColumns[column]) {
      fonts.Use(cr, FontId::SansBold, 12);
      SetSource(cr, palette::kText);
      const std::string key = std::string(line.key) + " ";
      ShowTextAt(cr, key, x, rowY);
      const double keyWidth = TextWidth(cr, key);
      fonts.Use(cr, FontId::Sans, 12);
      ShowTextAt(cr, line.action, x + keyWidth, rowY);
      widest = std::max(widest, keyWidth + TextWidth(cr, line.action));
      rowY += keyStep;
    }
    x += widest + columnGap;
  }
  if (x - columnGap > w - (textLeft - 30))
    throw std::runtime_error("the keys do not fit across the rules card (they end at " + std::to_string(x) + ")");
  y += 5 * keyStep + 4;  // below the last row of keys
  if (y > h - 52) throw std::runtime_error("rules text does not fit its card (ends at " + std::to_string(y) + ")");

  RoundedRect(cr, w / 2.0 - 130, h - 46, 260, 28, 14);
  SetSource(cr, palette::kPanelRim);
  cairo_fill(cr);
  fonts.Use(cr, FontId::SansBold, 14);
  SetSource(cr, palette::kCream);
  ShowTextCentred(cr, "Click or press a key to close", w / 2.0, h - 27);
  return FlattenToKeyed(canvas, PictureUnderlay(background, layout::CentredLeft(w), layout::CentredTop(h)));
}

RgbImage PaintHallOfFameNotice(const FontLibrary& fonts, const RgbImage& background) {
  const int w = layout::kHallOfFameW, h = layout::kHallOfFameH;
  Canvas canvas(w, h);
  cairo_t* cr = canvas.cr();
  Card(cr, w, h, Rgb{120, 30, 30}, palette::kWoodDark);
  // A trophy cup.
  const double cx = 64, top = 36;
  cairo_move_to(cr, cx - 26, top);
  cairo_line_to(cr, cx + 26, top);
  cairo_curve_to(cr, cx + 26, top + 34, cx + 12, top + 46, cx, top + 48);
  cairo_curve_to(cr, cx - 12, top + 46, cx - 26, top + 34, cx - 26, top);
  cairo_close_path(cr);
  cairo_rectangle(cr, cx - 4, top + 46, 8, 16);
  cairo_rectangle(cr, cx - 18, top + 62, 36, 9);
  SetSource(cr, palette::kGold);
  cairo_fill(cr);
  cairo_set_line_width(cr, 5);
  cairo_arc(cr, cx - 26, top + 14, 10, M_PI * 0.5, M_PI * 1.5);
  cairo_stroke(cr);
  cairo_arc(cr, cx + 26, top + 14, 10, -M_PI * 0.5, M_PI * 0.5);
  cairo_stroke(cr);
  cairo_arc(cr, cx - 9, top + 14, 5, 0, 2 * M_PI);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
  cairo_fill(cr);
  // The notice means a place in the table, not necessarily the first: it says so, and must fit beside the cup.
  const double textLeft = 116, textWidth = w - textLeft - 18;
  const double textX = textLeft + textWidth / 2.0;
  fonts.Use(cr, FontId::SerifBold, 28);
  const std::string headline = "Hall of fame!";
  if (TextWidth(cr, headline) > textWidth) throw std::runtime_error("hall-of-fame headline wider than its notice");
  OutlinedTextCentred(cr, headline, textX, 50, 4, palette::kGold.r / 255.0, palette::kGold.g / 255.0,
                      palette::kGold.b / 255.0, 0.25, 0.05, 0.05);
  // The plate the game writes the player's name on, in the colour the font's glyphs are set on.
  const rules::PanelRect& plate = rules::kHallOfFameNamePlate;
  cairo_rectangle(cr, plate.x, plate.y, plate.w, plate.h);
  SetSource(cr, palette::kPanel);
  cairo_fill(cr);
  cairo_rectangle(cr, plate.x - 1.5, plate.y - 1.5, plate.w + 3, plate.h + 3);
  SetSource(cr, palette::kGold);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  fonts.Use(cr, FontId::SansBold, 14);
  SetSource(cr, palette::kCream);
  const auto lines = WrapWords(cr, "Your score has earned a place in the hall of fame.", textWidth);
  if (lines.size() > 2) throw std::runtime_error("hall-of-fame notice text does not fit under the name plate");
  ShowNoticeLines(cr, "Your score has earned a place in the hall of fame.", textX, textWidth, 106);
  return FlattenToKeyed(canvas, PictureUnderlay(background, layout::CentredLeft(w), layout::CentredTop(h)));
}

RgbImage PaintSaveFailedNotice(const FontLibrary& fonts, const RgbImage& background) {
  // The same card as the new-record notice, so it covers and leaves exactly the same area.
  const int w = layout::kHallOfFameW, h = layout::kHallOfFameH;
  Canvas canvas(w, h);
  cairo_t* cr = canvas.cr();
  Card(cr, w, h, Rgb{70, 50, 40}, palette::kWoodDark);
  // A sheet of paper with a cross over it.
  const double cx = 64, top = 30;
  cairo_rectangle(cr, cx - 22, top, 44, 58);
  SetSource(cr, palette::kCream);
  cairo_fill(cr);
  cairo_set_line_width(cr, 2);
  cairo_set_source_rgb(cr, 0.55, 0.50, 0.45);
  for (int line = 0; line < 4; ++line) {
    cairo_move_to(cr, cx - 14, top + 14 + 10 * line);
    cairo_line_to(cr, cx + 14, top + 14 + 10 * line);
  }
  cairo_stroke(cr);
  cairo_set_line_width(cr, 7);
  cairo_set_source_rgb(cr, 0.80, 0.12, 0.10);
  cairo_move_to(cr, cx - 26, top + 4);
  cairo_line_to(cr, cx + 26, top + 54);
  cairo_move_to(cr, cx + 26, top + 4);
  cairo_line_to(cr, cx - 26, top + 54);
  cairo_stroke(cr);
  fonts.Use(cr, FontId::SerifBold, 28);
  const double textX = 120 + (w - 126) / 2.0;
  OutlinedTextCentred(cr, "Not saved", textX, 66, 4, palette::kCream.r / 255.0, palette::kCream.g / 255.0,
                      palette::kCream.b / 255.0, 0.25, 0.05, 0.05);
  fonts.Use(cr, FontId::SansBold, 15);
  SetSource(cr, palette::kCream);
  // Like the hall-of-fame notice, it speaks of a place in the table, not of a record.
  ShowNoticeLines(cr, "Your place in the hall of fame could not be saved.", textX, w - 126 - 18, 90);
  return FlattenToKeyed(canvas, PictureUnderlay(background, layout::CentredLeft(w), layout::CentredTop(h)));
}

RgbImage PaintGameOver(const FontLibrary& fonts, const RgbImage& background) {
  const layout::Box& b = layout::kGameOver;
  Canvas canvas(b.w, b.h);
  cairo_t* cr = canvas.cr();
  Card(cr, b.w, b.h, Rgb{40, 46, 70}, palette::kWoodDark);
  fonts.Use(cr, FontId::SansBold, 16);
  SetSource(cr, palette::kCream);
  ShowTextCentred(cr, "Time's up!", b.w / 2.0, 44);
  fonts.Use(cr, FontId::SerifBold, 46);
  OutlinedTextCentred(cr, "GAME OVER", b.w / 2.0, 100, 6, 1.0, 0.80, 0.30, 0.35, 0.08, 0.05);
  fonts.Use(cr, FontId::Sans, 15);
  SetSource(cr, palette::kCream);
  ShowTextCentred(cr, "Click New game to play again.", b.w / 2.0, 138);
  return FlattenToKeyed(canvas, PictureUnderlay(background, b.x, b.y));
}

RgbImage PaintEndGameQuestion(const FontLibrary& fonts, const RgbImage& background) {
  // The hall-of-fame notice's size: inside the stage's width, so what the game redraws after it covers it all.
  const int w = rules::kEndGameCardW, h = rules::kEndGameCardH;
  Canvas canvas(w, h);
  cairo_t* cr = canvas.cr();
  Card(cr, w, h, Rgb{40, 46, 70}, palette::kWoodDark);
  fonts.Use(cr, FontId::SerifBold, 30);
  const std::string headline = "End this game?";
  if (TextWidth(cr, headline) > w - 40) throw std::runtime_error("end-game question wider than its card");
  OutlinedTextCentred(cr, headline, w / 2.0, 52, 4, palette::kGold.r / 255.0, palette::kGold.g / 255.0,
                      palette::kGold.b / 255.0, 0.25, 0.05, 0.05);
  fonts.Use(cr, FontId::Sans, 14);
  SetSource(cr, palette::kCream);
  ShowTextCentred(cr, "Its score will not be kept.", w / 2.0, 78);
  // The answers, where the game takes their clicks, each with its key.
  for (const rules::EndGameButton& b : rules::kEndGameButtons) {
    const bool yes = std::string(b.name) == "yes";
    RoundedRect(cr, b.x, b.y, b.w, b.h, 10);
    SetSource(cr, yes ? palette::kFalse : palette::kTrue);
    cairo_fill_preserve(cr);
    SetSource(cr, palette::kGold);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    fonts.Use(cr, FontId::SansBold, 16);
    const double cap = 16;
    const double labelW = TextWidth(cr, b.label);
    const double capW = KeyCapWidth(cr, fonts, b.key, cap);
    const double left = b.x + (b.w - labelW - 8 - capW) / 2.0;
    fonts.Use(cr, FontId::SansBold, 16);
    SetSource(cr, palette::kWhite);
    ShowTextAt(cr, b.label, left, b.y + b.h / 2.0 + 6);
    KeyCap(cr, fonts, b.key, left + labelW + 8, b.y + (b.h - cap) / 2.0, cap);
  }
  if (rules::kEndGameButtons[1].x + rules::kEndGameButtons[1].w > w - 12 ||
      rules::kEndGameButtons[0].y + rules::kEndGameButtons[0].h > h - 12)
    throw std::runtime_error("end-game answers do not fit their card");
  return FlattenToKeyed(canvas, PictureUnderlay(background, layout::CentredLeft(w), layout::CentredTop(h)));
}

}  // namespace mkassets
