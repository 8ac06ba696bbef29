#pragma once
// The mouse as the game sees it: a position in the 800 x 600 drawing area and the buttons held.
#include <cstdint>

class InputState {
 public:
  void SetPosition(int32_t x, int32_t y) {
    x_ = x;
    y_ = y;
  }
  void SetLeftButton(int32_t down) { buttons_ = down ? (buttons_ | 1) : (buttons_ & ~1); }
  void SetRightButton(int32_t down) { buttons_ = down ? (buttons_ | 2) : (buttons_ & ~2); }
  void GetMouse(int32_t* x, int32_t* y, int32_t* buttons) const {
    if (x) *x = x_;
    if (y) *y = y_;
    if (buttons) *buttons = buttons_;
  }
  // Holds nothing that needs freeing; kept so shutdown reads as the order it follows.
  void Release() {}

 private:
  int32_t x_ = 0, y_ = 0, buttons_ = 0;
};

extern InputState g_inputState;
