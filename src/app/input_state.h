#pragma once
// The mouse as the game sees it: a position in the 800 x 600 drawing area and the buttons held.
#include <cstdint>

class InputState {
 public:
  void SetPosition(int32_t x, int32_t y) {
    x_ = x;
    y_ = y;
  }
  void SetLeftButton(int32_t down) { SetButton(1, down); }
  void SetRightButton(int32_t down) { SetButton(2, down); }
  // The buttons held right now; reading changes nothing.
  void GetMouse(int32_t* x, int32_t* y, int32_t* buttons) const {
    if (x) *x = x_;
    if (y) *y = y_;
    if (buttons) *buttons = buttons_;
  }
  // The mouse as one frame (or one pass of a popup) sees it. A tap, a touch or a synthetic click presses and
  // releases between two frames; held-state alone would show neither edge and the click would be lost. So a
  // press since the last view reads as down and a release since then as up, each for this one view; an edge
  // still owed (released and pressed again in one frame) shows in the next view.
  void TakeFrameMouse(int32_t* x, int32_t* y, int32_t* buttons) {
    const int32_t view = (seen_ & ~released_) | (~seen_ & pressed_);
    pressed_ = ~view & buttons_;
    released_ = view & ~buttons_;
    seen_ = view;
    if (x) *x = x_;
    if (y) *y = y_;
    if (buttons) *buttons = view;
  }
  // Holds nothing that needs freeing; kept so shutdown reads as the order it follows.
  void Release() {}

 private:
  void SetButton(int32_t bit, int32_t down) {
    if (down) {
      buttons_ |= bit;
      pressed_ |= bit;
    } else {
      buttons_ &= ~bit;
      released_ |= bit;
    }
  }

  int32_t x_ = 0, y_ = 0, buttons_ = 0;
  int32_t seen_ = 0;      // the buttons the last frame's view reported
  int32_t pressed_ = 0;   // buttons pressed since that view
  int32_t released_ = 0;  // buttons released since that view
};

extern InputState g_inputState;
