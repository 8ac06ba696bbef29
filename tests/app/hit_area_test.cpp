// Every control the game draws is large enough to hit with a finger on a phone: at least 37 picture pixels each
// way where it takes clicks (24 CSS pixels in a phone's 844 x 390 landscape view, where the picture is 520 x 390).
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "app/game_buttons.h"
#include "common/game_rules.h"
#include "common/summary_layout.h"

namespace {

struct HitBox {
  std::string control;
  int32_t w, h;
};

// The size of a BMP file of the game's folder, from its header.
bool BitmapSize(const std::string& file, int32_t* w, int32_t* h) {
  std::ifstream in(std::string(ZORVEL_GAME_DIR) + "/" + file, std::ios::binary);
  unsigned char header[26] = {};
  if (!in.read(reinterpret_cast<char*>(header), sizeof header) || header[0] != 'B' || header[1] != 'M') return false;
  const auto le32 = [&](int at) {
    return static_cast<int32_t>(header[at] | header[at + 1] << 8 | header[at + 2] << 16 |
                                static_cast<uint32_t>(header[at + 3]) << 24);
  };
  *w = le32(18);
  *h = le32(22) < 0 ? -le32(22) : le32(22);
  return true;
}

}  // namespace

TEST(HitAreas, EveryControlOfTheGameTakesClicksOverAtLeastAFingersWidth) {
  std::vector<HitBox> boxes;
  // The screen's buttons: half their two-image strip.
  for (const GameButton& b : kGameButtons) {
    int32_t w = 0, h = 0;
    ASSERT_TRUE(BitmapSize(b.bitmap, &w, &h)) << b.bitmap;
    boxes.push_back({b.name, w / 2, h});
  }
  boxes.push_back({"text panel", rules::kTextPanel.w, rules::kTextPanel.h});
  // "End this game?": the answers take clicks beyond where they are drawn.
  for (const rules::EndGameButton& b : rules::kEndGameButtons)
    boxes.push_back({std::string("end game ") + b.name, b.w + 2 * rules::kEndGameHitMargin,
                     b.h + 2 * rules::kEndGameHitMargin});
  // The summary's and the review's buttons.
  using namespace summary_layout;
  for (const auto& [name, box] : {std::pair{"summary review", kReviewButton}, {"summary close", kCloseButton},
                                  {"review previous", kPreviousButton}, {"review next", kNextButton},
                                  {"review done", kDoneButton}})
    boxes.push_back({name, box.w, box.h});
  // The popups closed by a click anywhere on their picture: the rules and the game over.
  for (const char* picture : {"title/HowToPlay.bmp", "gameover.bmp"}) {
    int32_t w = 0, h = 0;
    ASSERT_TRUE(BitmapSize(picture, &w, &h)) << picture;
    boxes.push_back({picture, w, h});
  }

  ASSERT_GE(boxes.size(), 17u);
  for (const HitBox& b : boxes) {
    EXPECT_GE(b.w, 37) << b.control << " is " << b.w << " x " << b.h;
    EXPECT_GE(b.h, 37) << b.control << " is " << b.w << " x " << b.h;
  }
  EXPECT_EQ(rules::kMinimumHitSize, 37);
}
