#pragma once
// A clickable button drawn from a list of images: normal, hover and pressed states, a click reported for exactly
// one update. Polled once per frame with the mouse snapshot (Update), or driven by window messages
// (HandleMessage). The two paths differ on purpose at the right and bottom edges. A key or a controller button
// presses it directly (Press).
#include <cstdint>

#include "common/ptr_array.h"
#include "platform/video/surface.h"

constexpr int32_t kWidgetNormal = 0;
constexpr int32_t kWidgetHover = 1;
constexpr int32_t kWidgetPressed = 2;

struct WidgetImage {
  int32_t tag = 0;  // the frame number when cut from a strip, otherwise the caller's value
  platform::Surface* surface = nullptr;
  bool owned = false;  // made by the widget itself (from a file), so released with it
};

class Widget {
 public:
  Widget();
  Widget(int32_t x, int32_t y);
  Widget(int32_t x, int32_t y, int32_t width, int32_t height);
  Widget(const Widget&) = delete;
  Widget& operator=(const Widget&) = delete;

  // Images given here stay the caller's; the last image added sets the drawing and hit sizes.
  virtual int32_t AddImage(int32_t tag, platform::Surface* surface);
  virtual int32_t AddImageFile(int32_t tag, const char* file);
  // Cuts a strip of count images, side by side or stacked; adds nothing unless it yields exactly count.
  virtual int32_t LoadStrip(const char* file, int32_t count, int32_t vertical);
  virtual int32_t HandleMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
  virtual int32_t Update(int32_t x, int32_t y, int32_t buttons);
  // Null draws onto the application's back surface.
  virtual void Draw(platform::Surface* destination);
  virtual void SetImageBase(int32_t n);
  virtual void DrawTo(platform::Surface* destination);
  virtual void Redraw();
  virtual int32_t WasClicked();
  virtual void ResetState();  // kept: part of the game's interface, unused by this game
  virtual void SetName(const char* text);
  virtual void SetOffset(int32_t dx, int32_t dy);
  virtual void SetEnabled(int32_t flag);
  // Draws the button into the clean and work surfaces so that it becomes part of the background.
  virtual void StampIntoScene(int32_t flag);
  virtual void SwapFirstImages();
  virtual void SetShowFirstImage(int32_t flag);
  virtual void SetState(int32_t state);
  virtual int32_t GetState();
  virtual void SetHitRect(int32_t x, int32_t y, int32_t width, int32_t height);
  virtual void SetMarkDirty(int32_t flag);
  virtual void SetPixelHitTest(int32_t flag);
  virtual int32_t IsMouseInside();
  virtual void SetForcedImage(int32_t index);
  virtual int32_t GetForcedImage();
  // Declared after the operations so that their slots keep their order; virtual because sets delete widgets
  // through Widget pointers.
  virtual ~Widget();

  // A click that comes from a key or a controller button: reported for one update, as a left-button release over
  // the button would be, and shown hovered. Nothing on a disabled button.
  void Press();

  const char* GetName() const { return name_; }
  int32_t IsEnabled() const { return enabled_; }
  int32_t GetClickButton() const { return clickButton_; }
  int32_t GetImageBase() const { return imageBase_; }
  int32_t ImageCount() const { return images_ ? images_->Count() : 0; }
  int32_t GetX() const { return x_; }
  int32_t GetY() const { return y_; }
  int32_t GetWidth() const { return width_; }
  int32_t GetHeight() const { return height_; }
  // Where clicks are taken, before any offset: the drawn box unless SetHitRect chose another.
  int32_t GetHitX() const { return hitX_; }
  int32_t GetHitY() const { return hitY_; }
  int32_t GetHitWidth() const { return hitWidth_; }
  int32_t GetHitHeight() const { return hitHeight_; }

 private:
  int32_t AddImageEntry(int32_t tag, platform::Surface* surface, bool owned);
  // 1 transparent, 0 solid, -1 undecided (no image to test against).
  int32_t TransparencyAt(int32_t x, int32_t y);
  void ShowState(int32_t state);
  void ShowStateIfChanged(int32_t state);

  int32_t x_ = 0, y_ = 0;
  int32_t width_ = 0, height_ = 0;
  int32_t hitX_ = 0, hitY_ = 0;
  int32_t hitWidth_ = 0, hitHeight_ = 0;
  int32_t offsetX_ = 0, offsetY_ = 0;
  int32_t state_ = kWidgetNormal;
  int32_t imageBase_ = 0;
  PtrArray<WidgetImage>* images_;
  int32_t clicked_ = 0;
  int32_t clickButton_ = 0;
  char name_[64];
  int32_t enabled_ = 1;
  int32_t showFirstImage_ = 0;
  int32_t markDirty_ = 0;
  int32_t pixelHitTest_ = 0;
  int32_t mouseInside_ = 0;
  int32_t forcedImage_ = -1;
};
