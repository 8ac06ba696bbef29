#pragma once
// The rules of a game and its timings, each written once: the game, its displays and the art generator all read
// them from here, so a change to a rule is one edit.
#include <array>
#include <cstdint>

namespace rules {

// The game clock, in seconds: a new game starts with the full clock, and the time bonus never lifts it above it.
inline constexpr int32_t kClockSeconds = 180;
inline constexpr int32_t kBonusSeconds = 20;

// The points ladder: a right answer pays the points of the step it is on and climbs one step; the top step stays.
inline constexpr int32_t kLadderSteps = 10;
inline constexpr int32_t kTopStep = kLadderSteps - 1;
inline constexpr std::array<int32_t, kLadderSteps> kLadderPoints{
    125, 250, 500, 1000, 2000, 5000, 10000, 25000, 50000, 100000};

// Right answers in a row: the third earns the time bonus (one flower each until then); a wrong answer after the
// second angers the bull.
inline constexpr int32_t kBonusStreak = 3;
inline constexpr int32_t kAngryStreak = 2;

// How long each moment lasts, in milliseconds of the ticker.
inline constexpr int32_t kNewGameBlinkMs = 500;   // "New game" blinks while no game runs
inline constexpr int32_t kCorrectPauseMs = 500;   // the reached ladder step blinks after a right answer
inline constexpr int32_t kLadderBlinkMs = 100;    // one blink of that step
inline constexpr int32_t kRevealDelayMs = 100;    // from the answer to the verdict and explanation
inline constexpr int32_t kExplanationMs = 10000;  // the explanation stays this long unless the panel is clicked
inline constexpr int32_t kBullFrameMs = 200;      // one frame of the bull's animations
inline constexpr int32_t kNoticeMs = 1000;        // the new-record and save-failed notices

// Places in the hall of fame.
inline constexpr int32_t kHallOfFamePlaces = 20;

// The text panel: statements and explanations are written into it from the text origin, and a click anywhere on
// it goes on after the explanation.
struct PanelRect {
  int32_t x, y, w, h;
};
inline constexpr PanelRect kTextPanel{164, 244, 466, 168};
// On the hall-of-fame notice, inside its picture: a plate of the text panel's colour on which the game writes the
// player's name with the text panel's font.
inline constexpr PanelRect kHallOfFameNamePlate{110, 62, 228, 24};
inline constexpr int32_t kTextX = 195, kTextY = 289;

// The "End this game?" card, centred on the screen inside the stage's width, and its two answers: where each
// is drawn on the card (and clicked), its words and its key.
inline constexpr int32_t kEndGameCardW = 356, kEndGameCardH = 150;
struct EndGameButton {
  const char* name;
  const char* label;
  const char* key;
  int32_t x, y, w, h;
};
inline constexpr std::array<EndGameButton, 2> kEndGameButtons{{{"yes", "Yes", "Y", 40, 96, 120, 36},
                                                               {"no", "No", "N", 196, 96, 120, 36}}};

// The least a control's hit area measures each way, in picture pixels: 24 CSS pixels on a phone held sideways,
// where the whole picture is 390 CSS pixels tall (0.65 CSS pixels a picture pixel).
inline constexpr int32_t kMinimumHitSize = 37;
// The answers of "End this game?" take clicks this far beyond their drawn edges, all round: drawn 36 pixels tall,
// they are too small for a finger on a phone.
inline constexpr int32_t kEndGameHitMargin = 8;

// The one transparent colour of every bitmap: pure blue.
struct KeyRgb {
  uint8_t r, g, b;
};
inline constexpr KeyRgb kKeyColour{0, 0, 255};

}  // namespace rules
