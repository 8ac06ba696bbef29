// Every button of the launcher is large enough to hit with a finger on a phone: at least 37 picture pixels each
// way (24 CSS pixels in a phone's 844 x 390 landscape view, where the picture is 520 x 390).
#include <gtest/gtest.h>

#include "common/game_rules.h"
#include "launcher/launcher_layout.h"
#include "launcher/launcher_pages.h"

using hubbix::Control;
using hubbix::LauncherPages;

TEST(LauncherHitAreas, EveryControlTakesClicksOverAtLeastAFingersWidth) {
  for (int c = 0; c < static_cast<int>(Control::None); ++c) {
    const auto control = static_cast<Control>(c);
    const hubbix::layout::Box box = LauncherPages::HitBox(control);
    EXPECT_GE(box.w, rules::kMinimumHitSize) << hubbix::ControlName(control) << " is " << box.w << " x " << box.h;
    EXPECT_GE(box.h, rules::kMinimumHitSize) << hubbix::ControlName(control) << " is " << box.w << " x " << box.h;
  }
  // The roster is one control for the keys, but a finger picks one of its rows.
  for (int32_t n = 0; n < 8; ++n) {
    const hubbix::layout::Box row = hubbix::layout::RosterRow(n);
    EXPECT_GE(row.w, rules::kMinimumHitSize) << "roster row " << n;
    EXPECT_GE(row.h, rules::kMinimumHitSize) << "roster row " << n;
    EXPECT_TRUE(hubbix::layout::kRoster.Contains(row.x, row.y) &&
                hubbix::layout::kRoster.Contains(row.x + row.w - 1, row.y + row.h - 1))
        << "roster row " << n << " lies outside the roster";
  }
}
