#pragma once
// A page over the game with a frame loop of its own, for the summary and the review: each frame it reads the
// mouse and the game keys, lets its owner draw and decide, and presents, until the owner is done or the program's
// quit message arrives. Unlike the popup, it reports where a click happened, so a click beside the page can close
// it and still reach the button it was aimed at.
#include <cstdint>
#include <functional>
#include <vector>

#include "game/quiz_scene.h"
#include "platform/video/surface.h"

class GameShell;

class ModalPage {
 public:
  struct Frame {
    int32_t x = 0, y = 0;        // the mouse in screen pixels
    bool pressed = false;        // the left button went down since the last frame
    bool released = false;       // and came up
    std::vector<QuizScene::KeyPress> keys;
    platform::Surface* surface = nullptr;  // the back surface to draw the page on
  };

  ModalPage(GameShell& shell, QuizScene& scene) : shell_(shell), scene_(scene) {}

  // Runs frames while `step` returns true. 1 when the page ended, 0 on the program's quit message.
  int32_t Run(const std::function<bool(const Frame&)>& step);

 private:
  GameShell& shell_;
  QuizScene& scene_;
};
