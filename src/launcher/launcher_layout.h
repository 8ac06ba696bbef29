#pragma once
// Where everything of the launcher's window stands on its 800 x 600 picture. The art generator paints the
// buttons to these sizes and the pages place them here, so the two cannot drift apart.
#include <cstdint>

namespace hubbix::layout {

struct Box {
  int32_t x, y, w, h;
  bool Contains(int32_t px, int32_t py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

// A button's file holds its images side by side in this order.
enum ButtonFrame : int32_t { kFrameNormal = 0, kFrameLit = 1, kFrameChosen = 2, kFrameDisabled = 3, kFrameCount = 4 };

// The column of page buttons on the left; Play stands first and biggest.
inline constexpr Box kPlay{24, 104, 220, 110};
inline constexpr Box kPlayers{24, 236, 220, 56};
inline constexpr Box kSettings{24, 302, 220, 56};
inline constexpr Box kHallOfFame{24, 368, 220, 56};
inline constexpr Box kQuit{24, 516, 220, 56};

// The cream panel the pages are written on.
inline constexpr Box kPanel{264, 104, 512, 468};
inline constexpr int32_t kPanelTextX = kPanel.x + 24;
inline constexpr int32_t kPanelTitleY = kPanel.y + 16;

// Small buttons inside the panel.
inline constexpr int32_t kSmallW = 112, kSmallH = 40;
// The players page: the name field, the roster rows and the buttons under them.
inline constexpr Box kNameField{kPanel.x + 24, kPanel.y + 60, 340, 40};
inline constexpr Box kAdd{kPanel.x + 376, kPanel.y + 60, kSmallW, kSmallH};
// The roster: eight players in two columns of four, each row a finger high on a phone (the name, and under it
// who plays next).
inline constexpr int32_t kRosterY = kPanel.y + 124;
inline constexpr int32_t kRowH = 52;
inline constexpr int32_t kRosterRowsPerColumn = 4;
inline constexpr int32_t kRosterColumnGap = 8;
inline constexpr Box kRoster{kPanel.x + 16, kRosterY, kPanel.w - 32, kRowH * kRosterRowsPerColumn};
inline constexpr int32_t kRosterColumnW = (kRoster.w - kRosterColumnGap) / 2;
// Where the n-th listed player's row stands (down the first column, then the second).
inline constexpr Box RosterRow(int32_t n) {
  return {kRoster.x + (n / kRosterRowsPerColumn) * (kRosterColumnW + kRosterColumnGap),
          kRosterY + (n % kRosterRowsPerColumn) * kRowH, kRosterColumnW, kRowH};
}
inline constexpr Box kSelect{kPanel.x + 24, kPanel.y + 404, kSmallW, kSmallH};
inline constexpr Box kRename{kPanel.x + 144, kPanel.y + 404, kSmallW, kSmallH};
inline constexpr Box kRemove{kPanel.x + 264, kPanel.y + 404, kSmallW, kSmallH};
// The question a removal asks, and its two answers.
inline constexpr Box kYes{kPanel.x + 264, kPanel.y + 404, kSmallW / 2 + 4, kSmallH};
inline constexpr Box kNo{kPanel.x + 328, kPanel.y + 404, kSmallW / 2 + 4, kSmallH};
// The player's record, reached from the players page: the figures, accuracy by topic as bars in two columns of
// twelve (the game has 23 topics), and the review of the last game.
inline constexpr Box kStats{kPanel.x + 384, kPanel.y + 404, kSmallW, kSmallH};
inline constexpr Box kLastGame{kPanel.x + 24, kPanel.y + 404, 200, kSmallH};
inline constexpr Box kBack{kPanel.x + 376, kPanel.y + 404, kSmallW, kSmallH};
inline constexpr int32_t kChartX = kPanel.x + 16;
inline constexpr int32_t kChartY = kPanel.y + 74;
inline constexpr int32_t kChartRows = 12;
inline constexpr int32_t kChartRowH = 27;
inline constexpr int32_t kChartColumnW = 232;
inline constexpr int32_t kChartGap = 16;
inline constexpr int32_t kBarH = 6;
// Every control takes a press at least this high, however small it is drawn: the picture is 390 pixels high on a
// phone held sideways (0.65 of its size), and a finger needs some 40 of them.
inline constexpr int32_t kMinHitH = 62;
// The settings page: one row a setting, its switch at the right.
inline constexpr int32_t kSettingY = kPanel.y + 80;
inline constexpr int32_t kSettingGap = 70;
inline constexpr int32_t kSwitchX = kPanel.x + 320;
inline constexpr int32_t kSwitchW = 150;
// The hall of fame: twenty rows.
inline constexpr int32_t kFameY = kPanel.y + 56;
inline constexpr int32_t kFameRowH = 20;

}  // namespace hubbix::layout
