#pragma once
// Where the end-of-game summary and the review put their figures and buttons, in pixels of their own cards: the
// art generator paints the cards to these and the game draws its numbers and texts, and hit-tests, at them.
#include <cstdint>

namespace summary_layout {

struct Box {
  int32_t x, y, w, h;
  constexpr bool Contains(int32_t px, int32_t py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// The summary card, centred on the screen.
inline constexpr Box kSummaryCard{160, 110, 480, 380};
// Its rows: a label painted at kLabelX, the figure drawn right-aligned at kValueRight, kRowH pixels a row.
inline constexpr int32_t kRows = 8;
inline constexpr int32_t kFirstRowY = 78;
inline constexpr int32_t kRowH = 30;
inline constexpr int32_t kLabelX = 40;
inline constexpr int32_t kValueRight = 440;
// The panel behind the rows (the text panel's colour, which the game's font is drawn on).
inline constexpr Box kSummaryRows{24, 70, 432, kRows * kRowH + 10};
inline constexpr Box kReviewButton{40, 322, 180, 40};
inline constexpr Box kCloseButton{260, 322, 180, 40};

// The review card: one statement a page.
inline constexpr Box kReviewCard{90, 40, 620, 520};
inline constexpr Box kReviewText{20, 62, 580, 386};  // panel-coloured area the page is written into
inline constexpr int32_t kReviewTextX = 40;
inline constexpr Box kPreviousButton{30, 462, 170, 40};
inline constexpr Box kNextButton{225, 462, 170, 40};
inline constexpr Box kDoneButton{420, 462, 170, 40};

// How long the summary stays by itself while the pointer is not over it: long enough to read the score and
// the place, short enough that a game left alone still comes back to "New game".
inline constexpr int32_t kSummaryMs = 3500;

}  // namespace summary_layout
