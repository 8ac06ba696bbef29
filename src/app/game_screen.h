#pragma once
// The game's one screen, "Zorvel": activating it loads every picture, button, sprite and sound and starts a game;
// each frame lets the quiz run one step and presents the picture.
#include <cstdint>
#include <vector>

#include "gfx/picture.h"
#include "gfx/sprite.h"
#include "ui/screen.h"

class GameScreen : public Screen {
 public:
  GameScreen();
  ~GameScreen();

  void Activate(platform::DirectDraw* directDraw, platform::Surface* backSurface) override;
  void Deactivate() override;
  int32_t HandleMessage(platform::Window* window, uint32_t message, uintptr_t wParam, intptr_t lParam) override;
  int32_t HandleFrame(int32_t active) override;

  // Keyboard and controller play: for each key pressed since the quiz last took them, the names of the buttons it
  // stands for (one, or for a controller's A first "true" then "next").
  using KeyPress = std::vector<const char*>;
  std::vector<KeyPress> TakePressedKeys();
  void ForgetPressedKeys() { pressedKeys_.clear(); }

  Picture panelPicture;
  Picture questionPicture;
  Picture answerPicture;
  Sprite* flowerSprite = nullptr;
  Sprite* verdictSprite = nullptr;
  Sprite* bullSprite = nullptr;
  Sprite* bullTimerSprite = nullptr;
  Sprite* scoreDigitsSprite = nullptr;
  Sprite* allScoreSprite = nullptr;
  Sprite* allScoreHighlightSprite = nullptr;
  Sprite* continueSprite = nullptr;

 private:
  bool backgroundMissing_ = false;
  std::vector<KeyPress> pressedKeys_;
};

extern GameScreen g_gameScreen;
