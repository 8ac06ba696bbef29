#include "launcher_art.h"

#include <cmath>
#include <string>

#include "canvas.h"
#include "keying.h"
#include "launcher/launcher_layout.h"
#include "palette.h"

namespace mkassets {

namespace {

namespace lay = hubbix::layout;

struct LauncherButton {
  const char* file;
  const char* label;
  int w, h;
};

constexpr LauncherButton kButtons[] = {
    {"play.bmp", "Play Zorvel", lay::kPlay.w, lay::kPlay.h},
    {"players.bmp", "Players", lay::kPlayers.w, lay::kPlayers.h},
    {"settings.bmp", "Settings", lay::kSettings.w, lay::kSettings.h},
    {"halloffame.bmp", "Hall of fame", lay::kHallOfFame.w, lay::kHallOfFame.h},
    {"quit.bmp", "Quit", lay::kQuit.w, lay::kQuit.h},
    {"add.bmp", "Add", lay::kSmallW, lay::kSmallH},
    {"select.bmp", "Select", lay::kSmallW, lay::kSmallH},
    {"rename.bmp", "Rename", lay::kSmallW, lay::kSmallH},
    {"remove.bmp", "Remove", lay::kSmallW, lay::kSmallH},
    {"yes.bmp", "Yes", lay::kYes.w, lay::kYes.h},
    {"no.bmp", "No", lay::kNo.w, lay::kNo.h},
    {"on.bmp", "On", lay::kSwitchW, lay::kSmallH},
    {"off.bmp", "Off", lay::kSwitchW, lay::kSmallH},
    {"window.bmp", "Window", lay::kSwitchW, lay::kSmallH},
    {"fullscreen.bmp", "Full screen", lay::kSwitchW, lay::kSmallH},
    {"stats.bmp", "Stats", lay::kStats.w, lay::kStats.h},
    {"lastgame.bmp", "Review last game", lay::kLastGame.w, lay::kLastGame.h},
    {"back.bmp", "Back", lay::kBack.w, lay::kBack.h},
};

// A wooden board with a gold rim, as the game's ladder and panels are framed.
void Board(cairo_t* cr, double x, double y, double w, double h) {
  RoundedRect(cr, x, y, w, h, 14);
  VerticalGradient(cr, y, y + h, palette::kWoodLight, palette::kWoodDark);
  cairo_fill(cr);
  RoundedRect(cr, x + 3, y + 3, w - 6, h - 6, 12);
  SetSource(cr, palette::kGold);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
}

// One image of a button: the game's glossy rounded button in the colour of its state.
void PaintButtonFrame(cairo_t* cr, const FontLibrary& fonts, const LauncherButton& b, int frame) {
  const double x = frame * b.w, w = b.w, h = b.h;
  const bool big = b.h >= 80;
  Rgb base = palette::kButton;
  if (frame == lay::kFrameLit) base = palette::kButtonLit;
  if (frame == lay::kFrameChosen) base = palette::kTrue;
  if (frame == lay::kFrameDisabled) base = Rgb{120, 110, 100};
  if (big && frame == lay::kFrameNormal) base = palette::kFalse;
  const double r = big ? 20 : 10;
  RoundedRect(cr, x + 1, 1, w - 2, h - 2, r);
  VerticalGradient(cr, 0, h, Mix(base, palette::kWhite, 0.3), Shade(base, 0.72));
  cairo_fill(cr);
  RoundedRect(cr, x + 5, 4, w - 10, h / 2.0 - 3, r - 3);
  cairo_set_source_rgba(cr, 1, 1, 1, frame == lay::kFrameLit ? 0.35 : 0.16);
  cairo_fill(cr);
  RoundedRect(cr, x + 2, 2, w - 4, h - 4, r - 1);
  SetSource(cr, frame == lay::kFrameLit ? Rgb{120, 60, 10} : palette::kGold);
  cairo_set_line_width(cr, big ? 4 : 2);
  cairo_stroke(cr);
  const double size = big ? 30 : (h >= 50 ? 22 : 17);
  fonts.Use(cr, big ? FontId::SerifBold : FontId::SansCondensedBold, size);
  const Rgb text = frame == lay::kFrameLit ? Rgb{70, 30, 6}
                   : frame == lay::kFrameDisabled ? Rgb{200, 192, 180} : palette::kCream;
  const Rgb shadow = frame == lay::kFrameLit ? Rgb{255, 240, 190} : Rgb{50, 20, 8};
  const double baseline = h / 2.0 + size * 0.36;
  SetSource(cr, shadow);
  ShowTextCentred(cr, b.label, x + w / 2.0 + 1.5, baseline + 1.5);
  SetSource(cr, text);
  ShowTextCentred(cr, b.label, x + w / 2.0, baseline);
}

RgbImage PaintButtonStrip(const FontLibrary& fonts, const RgbImage& background, const LauncherButton& b,
                          int left, int top) {
  Canvas canvas(b.w * lay::kFrameCount, b.h);
  for (int frame = 0; frame < lay::kFrameCount; ++frame) PaintButtonFrame(canvas.cr(), fonts, b, frame);
  // Every image lands on the same place of the backdrop, so each one's edge is blended with what lies there.
  const Underlay under = [&background, &b, left, top](int x, int y) {
    return background.At(std::min(background.width() - 1, left + x % b.w), std::min(background.height() - 1, top + y));
  };
  return FlattenToKeyed(canvas, under);
}

}  // namespace

RgbImage PaintLauncherBackground(const FontLibrary& fonts) {
  Canvas canvas(800, 600);
  cairo_t* cr = canvas.cr();
  cairo_rectangle(cr, 0, 0, 800, 600);
  VerticalGradient(cr, 0, 600, palette::kBackdropTop, palette::kBackdropBottom);
  cairo_fill(cr);
  // Faint rays from the title, as the game's backdrop has behind its bull.
  cairo_save(cr);
  for (int i = 0; i < 18; ++i) {
    const double a0 = i * M_PI / 9.0, a1 = a0 + M_PI / 22.0;
    cairo_move_to(cr, 400, 50);
    cairo_line_to(cr, 400 + 900 * std::cos(a0), 50 + 900 * std::sin(a0));
    cairo_line_to(cr, 400 + 900 * std::cos(a1), 50 + 900 * std::sin(a1));
    cairo_close_path(cr);
  }
  cairo_set_source_rgba(cr, 1, 1, 1, 0.035);
  cairo_fill(cr);
  cairo_restore(cr);
  // The title board.
  Board(cr, 20, 12, 760, 76);
  fonts.Use(cr, FontId::SerifBold, 44);
  OutlinedTextCentred(cr, "Hubbix", 400, 66, 5, palette::kGold.r / 255.0, palette::kGold.g / 255.0,
                      palette::kGold.b / 255.0, palette::kInk.r / 255.0, palette::kInk.g / 255.0,
                      palette::kInk.b / 255.0);
  fonts.Use(cr, FontId::SansCondensedBold, 15);
  SetSource(cr, palette::kCream);
  ShowTextAt(cr, "the games of the suite", 44, 58);
  ShowTextRight(cr, "Zorvel: true or false?", 756, 58);
  // The column of page buttons sits on a darker board.
  Board(cr, 12, 96, 244, 488);
  // The page panel: the text panel's cream in the ladder's wooden frame.
  const auto& p = lay::kPanel;
  Board(cr, p.x - 8, p.y - 8, p.w + 16, p.h + 16);
  cairo_rectangle(cr, p.x, p.y, p.w, p.h);
  SetSource(cr, palette::kPanel);
  cairo_fill(cr);
  cairo_rectangle(cr, p.x + 0.5, p.y + 0.5, p.w - 1, p.h - 1);
  SetSource(cr, palette::kPanelRim);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  return canvas.ToOpaque();
}

void GenerateLauncherArt(const FontLibrary& fonts, const std::filesystem::path& gameDir,
                         void (*write)(const std::filesystem::path&, const RgbImage&)) {
  const RgbImage background = PaintLauncherBackground(fonts);
  const std::filesystem::path dir = gameDir / "hubbix";
  write(dir / "background.bmp", background);
  for (const LauncherButton& b : kButtons) {
    // Buttons in the column stand on the column's board, the others on the panel.
    const bool column = b.w == lay::kPlay.w;
    write(dir / b.file, PaintButtonStrip(fonts, background, b, column ? lay::kPlay.x : lay::kPanel.x + 24,
                                         column ? lay::kPlayers.y : lay::kAdd.y));
  }
}

}  // namespace mkassets
