#pragma once
// A modal page over the game: a picture (centred unless placed), optional buttons, and a frame loop of its own
// that ends on a click, a held hotkey, a deadline on the tick counter or the program's quit message.
#include <cstdint>
#include <functional>

#include "common/ptr_array.h"
#include "game/game_shell.h"
#include "gfx/picture.h"
#include "platform/video/surface.h"
#include "ui/screen.h"

class PopupDialog final : public Screen {
 public:
  // The shell gives the popup's frame loop the mouse, the window's messages and the screen's size.
  explicit PopupDialog(GameShell& shell);
  ~PopupDialog();

  void Init() override;
  void Deactivate() override;

  virtual void PlaceAt(int32_t x, int32_t y);
  // SetResult, GetCurrentPicture, SetSwapWorkSurface and SetPollOverlay are kept: part of the game's interface,
  // unused by this game.
  virtual void SetResult(const char* text);
  virtual int32_t RunModal(char* destination, const char* pictureName);
  virtual int32_t PollInput(int32_t x, int32_t y, int32_t buttons);
  virtual int32_t CheckClose();
  virtual Picture* SelectPicture(Picture* picture);
  virtual Picture* SelectPictureByName(const char* name);
  virtual Picture* GetCurrentPicture();
  virtual Picture* FindPopupPicture(const char* name);
  virtual Picture* LoadPopupPicture(const char* file, const char* pictureName);
  virtual void SetSwapWorkSurface(int32_t flag);
  virtual void AddDefaultButton();
  virtual void SetCloseTime(int32_t tick);
  virtual void SetHotkey(int32_t virtualKey);
  virtual void SetPollOverlay(int32_t flag);

  // Keyboard and controller play: the popup closes with the result this reports for the keys pressed since the
  // last pass; null goes on.
  void SetKeyPress(std::function<const char*()> pressed) { keyPress_ = std::move(pressed); }
  // A left click that both presses and releases outside the picture closes the popup with this result; null (the
  // default) leaves such clicks alone.
  void SetOutsideClickResult(const char* result) { outsideResult_ = result; }

  const platform::Rect& GetPopupRect() const { return popupRect; }

 private:
  GameShell& shell_;
  PtrArray<Picture>* popupPictures = nullptr;
  Picture* currentPicture = nullptr;
  int32_t done = 0;
  platform::Rect popupRect{-1, -1, -1, -1};
  int32_t popupX = 0, popupY = 0;  // kept: part of the game's interface, unused by this game
  int32_t swapWorkSurface = 1;
  int32_t deadline = 0;
  int32_t hotkey = 0;
  int32_t pollOverlay = 0;
  std::function<const char*()> keyPress_;
  const char* outsideResult_ = nullptr;
  bool pressedOutside_ = false;
};
