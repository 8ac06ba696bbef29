#pragma once
// Where the game puts each piece of art on its 800 x 600 screen, and the sizes the art is made to.
#include <array>

#include "common/game_rules.h"
#include "game/game_names.h"

namespace mkassets {

namespace layout {

struct Box {
  int x, y, w, h;
  int right() const { return x + w; }
  int bottom() const { return y + h; }
};

inline constexpr int kScreenW = 800;
inline constexpr int kScreenH = 600;

// Score numbers: right-aligned at these edges, top at kScoreTop.
inline constexpr Box kBestScoreBox{10, 10, 136, 34};
inline constexpr Box kScoreBox{650, 10, 136, 34};
inline constexpr int kBestScoreRight = 134;
inline constexpr int kScoreRight = 774;
inline constexpr int kScoreTop = 20;
// Every score up to seven digits stays inside its box with a margin: 7 x 15 = 105 pixels from the right edge
// leave 17 to the box's left side, and the digits' 15 rows from the top leave 9 to its bottom.
inline constexpr int kDigitW = 15;
inline constexpr int kDigitH = 20;
inline constexpr int kDigitGlyphH = 15;

inline constexpr Box kLadderPanel{2, 70, 150, 442};
inline constexpr int kLadderX = 10;
inline constexpr int kLadderStepW = 134;
inline constexpr int kLadderStepH = 40;
inline constexpr int LadderStepY(int step) { return 466 - 43 * step; }
using rules::kLadderPoints;

// The bull's sheet frame covers the stage; its lowest rows lie under the text panel and stay transparent.
inline constexpr Box kStage{164, 14, 415, 251};
inline constexpr int kBullFrameW = 415;
inline constexpr int kBullFrameH = 251;
inline constexpr int kBullFrames = kBullFrameCount;
inline constexpr int kBullSheetColumns = 4;
inline constexpr int kStageVisibleH = 230;  // rows above the text panel at y 244

inline constexpr Box kTextPanel{rules::kTextPanel.x, rules::kTextPanel.y, rules::kTextPanel.w, rules::kTextPanel.h};
using rules::kTextX;
using rules::kTextY;
inline constexpr int kTextWidth = 420;
inline constexpr int kTextLines = 5;

inline constexpr Box kVerdict{345, 254, 110, 32};
inline constexpr Box kContinue{347, 403, 106, 18};

// The clock column is erased every frame over its whole size, which must include the flowers so that they vanish
// when the streak falls; its bottom edge stays clear of the button row at y 520.
inline constexpr Box kClock{649, 74, 136, 436};
inline constexpr int kClockInset = 8;  // frame rim on each side, kept transparent in the filling image
inline constexpr std::array<int, 3> kFlowerX{655, 697, 739};
inline constexpr int kFlowerY = 466;
inline constexpr int kFlowerSize = 38;

// `key`: the key that stands for the button, shown on it as a small key cap.
struct ButtonPlace {
  const char* file;
  const char* label;
  const char* key;
  int x, y;
};
inline constexpr int kButtonW = 86;
inline constexpr int kButtonH = 46;
inline constexpr std::array<ButtonPlace, 4> kButtons{{{"newgame.bmp", "New game", "N", 10, 520},
                                                       {"info.bmp", "Rules", "R", 104, 520},
                                                       {"back.bmp", "Menu", "M", 610, 520},
                                                       {"exit.bmp", "Exit", "Esc", 704, 520}}};

struct PiePlace {
  const char* file;
  const char* label;
  const char* key;
  int x, y, diameter;
};
inline constexpr std::array<PiePlace, 3> kPies{{{"truepie.bmp", "True", "T", 212, 479, 112},
                                                 {"falsepie.bmp", "False", "F", 476, 479, 112},
                                                 {"passpie.bmp", "Pass", "P", 350, 479, 100}}};

inline constexpr Box kGameOver{175, 299, 450, 172};
inline constexpr int kRulesW = 540;
inline constexpr int kRulesH = 460;
// The new-record notice leaves nothing behind only inside what the game redraws after it: the stage (x 164 to
// 579) and the text panel. Centred on x 400, that allows 358 pixels.
inline constexpr int kHallOfFameW = 356;
inline constexpr int kHallOfFameH = 150;
// Popups without a position are centred the way the game centres them.
inline constexpr int CentredLeft(int w) { return kScreenW / 2 - w / 2; }
inline constexpr int CentredTop(int h) { return kScreenH / 2 - h / 2; }

}  // namespace layout

}  // namespace mkassets
