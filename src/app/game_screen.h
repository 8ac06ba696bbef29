#pragma once
// The game's one screen, "Zorvel": activating it loads every picture, button, sprite and sound and starts a game;
// each frame lets the quiz run one step and presents the picture.
#include <cstdint>
#include <vector>

#include "game/quiz_scene.h"
#include "gfx/sprite.h"
#include "ui/screen.h"

class GameScreen : public Screen, public QuizScene {
 public:
  GameScreen();
  ~GameScreen();

  void Activate(platform::DirectDraw* directDraw, platform::Surface* backSurface) override;
  void Deactivate() override;
  int32_t HandleMessage(platform::Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  int32_t HandleFrame(int32_t active) override;
  int32_t Present() override;

  // What the quiz sees of this screen.
  WidgetSet* Buttons() override { return GetWidgetSet(); }
  // Keyboard and controller play: for each key pressed since the quiz last took them, the buttons it stands for.
  std::vector<KeyPress> TakePressedKeys() override;
  void ForgetPressedKeys() override { pressedKeys_.clear(); }
  void SetEscapeAnswers(bool answers) override { escapeAnswers_ = answers; }

 private:
  bool backgroundMissing_ = false;
  std::vector<KeyPress> pressedKeys_;
  bool escapeAnswers_ = false;
  bool escapeReleaseTaken_ = false;
};

extern GameScreen g_gameScreen;
