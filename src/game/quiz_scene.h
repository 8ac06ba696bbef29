#pragma once
// What the quiz may draw on and touch of the screen it plays on: the buttons, the three text areas, the sprites,
// the end of a frame and the game keys pressed. The screen owns all of it and fills it in when it is activated.
#include <cstdint>
#include <vector>

#include "gfx/picture.h"

class Sprite;
class WidgetSet;

class QuizScene {
 public:
  // What a key means to a yes-or-no question the game asks ("End this game?").
  enum class Reply { kNone, kYes, kNo };
  struct KeyPress {
    // The names of the buttons the key stands for: none, one, or for a controller's A first "true" then "next".
    std::vector<const char*> buttons;
    Reply reply = Reply::kNone;
  };

  // Null once the screen has let its buttons go.
  virtual WidgetSet* Buttons() = 0;
  // Ends a frame: flips and brings the marked areas onto the new back surface.
  virtual int32_t Present() = 0;
  // The game keys pressed since the quiz last took them, oldest first.
  virtual std::vector<KeyPress> TakePressedKeys() = 0;
  virtual void ForgetPressedKeys() = 0;
  // While set, Escape answers the game's question ("no") instead of closing the program: its press is reported
  // with the keys and its release is not passed on to the window, even when it comes after the question closed.
  virtual void SetEscapeAnswers(bool answers) = 0;

  // Rectangles without a bitmap, where the quiz erases and paints its texts.
  Picture panelPicture;
  Picture questionPicture;
  Picture answerPicture;
  // Null until the screen is active.
  Sprite* flowerSprite = nullptr;
  Sprite* verdictSprite = nullptr;
  Sprite* bullSprite = nullptr;
  Sprite* bullTimerSprite = nullptr;
  Sprite* scoreDigitsSprite = nullptr;
  Sprite* allScoreSprite = nullptr;
  Sprite* allScoreHighlightSprite = nullptr;
  Sprite* continueSprite = nullptr;

 protected:
  ~QuizScene() = default;
};
