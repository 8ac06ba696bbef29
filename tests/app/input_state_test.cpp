// The mouse buttons as each frame sees them: a press or a release between two frames is never lost, while the
// buttons held stay readable as they are.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/input_state.h"

namespace {

int32_t FrameButtons(InputState& input) {
  int32_t buttons = -1;
  input.TakeFrameMouse(nullptr, nullptr, &buttons);
  return buttons;
}

int32_t HeldButtons(const InputState& input) {
  int32_t buttons = -1;
  input.GetMouse(nullptr, nullptr, &buttons);
  return buttons;
}

}  // namespace

TEST(InputState, APressAndReleaseBetweenFramesReadAsDownForOneFrameThenUp) {
  InputState input;
  input.SetPosition(232, 499);
  input.SetLeftButton(1);
  input.SetLeftButton(0);
  EXPECT_EQ(0, HeldButtons(input)) << "the held state is as it always was: nothing held";
  int32_t x = 0, y = 0, buttons = 0;
  input.TakeFrameMouse(&x, &y, &buttons);
  EXPECT_EQ(232, x);
  EXPECT_EQ(499, y);
  EXPECT_EQ(1, buttons) << "the tap's press";
  EXPECT_EQ(0, FrameButtons(input)) << "its release, one frame later";
  EXPECT_EQ(0, FrameButtons(input));

  // The right button the same way, while the left one is held through several frames.
  input.SetLeftButton(1);
  EXPECT_EQ(1, FrameButtons(input));
  input.SetRightButton(1);
  input.SetRightButton(0);
  EXPECT_EQ(3, FrameButtons(input));
  EXPECT_EQ(1, FrameButtons(input));
  EXPECT_EQ(1, HeldButtons(input));
  input.SetLeftButton(0);
  EXPECT_EQ(0, FrameButtons(input));
}

TEST(InputState, AReleaseAndPressAgainBetweenFramesShowBothEdges) {
  InputState input;
  input.SetLeftButton(1);
  EXPECT_EQ(1, FrameButtons(input));
  // The second click of a quick double click: the button goes up and down again inside one frame.
  input.SetLeftButton(0);
  input.SetLeftButton(1);
  EXPECT_EQ(0, FrameButtons(input)) << "the release first";
  EXPECT_EQ(1, FrameButtons(input)) << "then the new press, still held";
  EXPECT_EQ(1, FrameButtons(input));

  // Pressing both and releasing the left one: the frame sees both once, then the right one alone, as held.
  InputState both;
  both.SetLeftButton(1);
  both.SetRightButton(1);
  both.SetLeftButton(0);
  EXPECT_EQ(2, HeldButtons(both));
  std::vector<int32_t> frames;
  for (int i = 0; i < 3; ++i) frames.push_back(FrameButtons(both));
  EXPECT_EQ(frames, std::vector<int32_t>({3, 2, 2}));
}
