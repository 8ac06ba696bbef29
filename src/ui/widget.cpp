#include "ui/widget.h"

#include <cstdio>
#include <cstring>

#include "common/game_rules.h"
#include "gfx/refresh_manager.h"
#include "gfx/surface_utils.h"
#include "platform/window/messages.h"
#include "ui/back_surface.h"
#include "zk/zk.h"

Widget::Widget() : Widget(0, 0, 0, 0) {}

Widget::Widget(int32_t x, int32_t y) : Widget(x, y, 0, 0) {}

Widget::Widget(int32_t x, int32_t y, int32_t width, int32_t height)
    : x_(x),
      y_(y),
      width_(width),
      height_(height),
      hitX_(x),
      hitY_(y),
      hitWidth_(width),
      hitHeight_(height),
      images_(new PtrArray<WidgetImage>(1)) {
  name_[0] = '\0';
}

Widget::~Widget() {
  if (!images_) return;
  for (int32_t i = 0; i < images_->Count(); ++i) {
    WidgetImage* image = images_->Get(i);
    if (image->owned && image->surface) image->surface->Release();
  }
  images_->FreeAll();
  delete images_;
  images_ = nullptr;
}

int32_t Widget::AddImageEntry(int32_t tag, platform::Surface* surface, bool owned) {
  SetColorKeyRGB(surface, rules::kKeyColour.r, rules::kKeyColour.g, rules::kKeyColour.b);
  if (!images_) images_ = new PtrArray<WidgetImage>(1);
  images_->Push(new WidgetImage{tag, surface, owned});
  GetSurfaceSize(surface, &width_, &height_);
  hitWidth_ = width_;
  hitHeight_ = height_;
  return 1;
}

int32_t Widget::AddImage(int32_t tag, platform::Surface* surface) {
  // A null image would crash every later draw and hit test; it is refused and nothing changes.
  if (!surface) return 1;
  return AddImageEntry(tag, surface, false);
}

int32_t Widget::AddImageFile(int32_t tag, const char* file) {
  platform::Surface* surface = ZKLoadBitmap(file, 16);
  if (!surface) return 0;
  return AddImageEntry(tag, surface, true);
}

int32_t Widget::LoadStrip(const char* file, int32_t count, int32_t vertical) {
  platform::Surface* sheet = ZKLoadBitmap(file, 16);
  if (!sheet) return 0;
  if (count < 1) {  // no frame size to divide into
    sheet->Release();
    return 0;
  }
  int32_t sheetWidth, sheetHeight;
  GetSurfaceSize(sheet, &sheetWidth, &sheetHeight);
  const int32_t frameWidth = vertical ? sheetWidth : sheetWidth / count;
  const int32_t frameHeight = vertical ? sheetHeight / count : sheetHeight;
  PtrArray<platform::Surface> frames(1);
  CutSheetSurface(sheet, &frames, frameWidth, frameHeight, nullptr);
  const bool exact = frames.Count() == count;
  for (int32_t i = 0; i < frames.Count(); ++i) {
    if (exact) {
      AddImageEntry(i, frames.Get(i), true);
    } else {
      frames.Get(i)->Release();  // a strip of another count is not used at all
    }
  }
  sheet->Release();
  return exact ? 1 : 0;
}

int32_t Widget::TransparencyAt(int32_t x, int32_t y) {
  if (!images_ || images_->Count() == 0 || !images_->Get(0)->surface) return -1;
  platform::Surface* image = images_->Get(0)->surface;
  const int32_t px = x - (hitX_ + offsetX_), py = y - (hitY_ + offsetY_);
  // A hit rectangle larger than the image: where the image has no pixel, nothing is shown, as over blue.
  int32_t w, h;
  GetSurfaceSize(image, &w, &h);
  if (px < 0 || py < 0 || px >= w || py >= h) return 1;
  const uint16_t key = RGBToPixel(image, rules::kKeyColour.r, rules::kKeyColour.g, rules::kKeyColour.b) & 0xFFFF;
  return GetSurfacePixel(image, px, py) == key ? 1 : 0;
}

// State changes go through the virtual SetState and are drawn at once.
void Widget::ShowState(int32_t state) {
  SetState(state);
  Draw(nullptr);
}

void Widget::ShowStateIfChanged(int32_t state) {
  if (state_ != state) ShowState(state);
}

int32_t Widget::Update(int32_t x, int32_t y, int32_t buttons) {
  if (enabled_ == 0) return state_;
  const int32_t left = hitX_ + offsetX_, top = hitY_ + offsetY_;
  mouseInside_ = (left <= x && x < left + hitWidth_ && top <= y && y < top + hitHeight_) ? 1 : 0;
  clicked_ = 0;
  clickButton_ = 0;

  if (buttons & 1) {
    if (!mouseInside_) ShowStateIfChanged(kWidgetNormal);
    else if (state_ != kWidgetPressed && (pixelHitTest_ == 0 || TransparencyAt(x, y) == 0)) ShowState(kWidgetPressed);
    return state_;
  }

  if (!mouseInside_) {
    ShowStateIfChanged(kWidgetNormal);
    return state_;
  }
  const int32_t transparency = pixelHitTest_ ? TransparencyAt(x, y) : 0;
  if (transparency == -1) return state_;
  if (transparency == 1) {
    ShowState(kWidgetNormal);  // even when already normal
    return state_;
  }
  if (state_ == kWidgetPressed) {
    clicked_ = 1;
    clickButton_ = 1;
  }
  ShowStateIfChanged(kWidgetHover);
  return state_;
}

int32_t Widget::HandleMessage(uint32_t message, uintptr_t /*wParam*/, intptr_t lParam) {
  if (enabled_ == 0) return state_;
  const int32_t x = static_cast<int32_t>(platform::LowWord(static_cast<uintptr_t>(lParam)));
  const int32_t y = static_cast<int32_t>(platform::HighWord(static_cast<uintptr_t>(lParam)));
  const int32_t left = hitX_ + offsetX_, top = hitY_ + offsetY_;
  mouseInside_ = (left <= x && x <= left + hitWidth_ && top <= y && y <= top + hitHeight_) ? 1 : 0;
  clicked_ = 0;
  clickButton_ = 0;

  switch (message) {
    case platform::WM_MOUSEMOVE:
      if (!mouseInside_) ShowStateIfChanged(kWidgetNormal);
      else if (state_ != kWidgetPressed) ShowStateIfChanged(kWidgetHover);
      break;
    case platform::WM_LBUTTONDOWN:
      ShowStateIfChanged(mouseInside_ ? kWidgetPressed : kWidgetNormal);
      break;
    case platform::WM_LBUTTONUP:
      if (mouseInside_) {
        clicked_ = 1;
        clickButton_ = 1;
      }
      ShowStateIfChanged(mouseInside_ ? kWidgetHover : kWidgetNormal);
      break;
    case platform::WM_RBUTTONUP:
      if (mouseInside_) {
        clicked_ = 1;
        clickButton_ = 2;
      }
      break;
    default:
      break;
  }
  return state_;
}

void Widget::Press() {
  if (enabled_ == 0) return;
  mouseInside_ = 1;
  clicked_ = 1;
  clickButton_ = 1;
  ShowStateIfChanged(kWidgetHover);
}

void Widget::Draw(platform::Surface* destination) { DrawTo(destination ? destination : BackSurface()); }

void Widget::SetImageBase(int32_t n) {
  imageBase_ = n;
  Redraw();
}

void Widget::DrawTo(platform::Surface* destination) {
  const int32_t count = ImageCount();
  if (count == 0 || !destination) return;
  platform::Rect rect;
  rect.left = x_ + offsetX_;
  rect.top = y_ + offsetY_;
  rect.right = rect.left + width_;
  rect.bottom = rect.top + height_;

  int32_t index = state_ + imageBase_;
  if (showFirstImage_ != 0) index = 0;
  if (forcedImage_ != -1) index = forcedImage_;
  if (state_ + imageBase_ >= count) index = count - 1;  // a two-image button shows its second image when pressed
  // A forced image or image base outside the list has no image to show.
  if (index < 0 || index >= count) return;

  if (markDirty_) g_refreshManager.MarkRect(rect, kMarkOneShot, kMarkPresent);
  // Scales to the rectangle and does not clip: a rectangle off the destination is refused by the blit.
  destination->Blt(&rect, images_->Get(index)->surface, nullptr, kTransparentBltFlags, nullptr);
}

void Widget::Redraw() {
  if (enabled_) DrawTo(BackSurface());
}

int32_t Widget::WasClicked() { return clicked_; }

void Widget::ResetState() {
  SetState(kWidgetNormal);
  Redraw();
}

void Widget::SetName(const char* text) { std::snprintf(name_, sizeof name_, "%s", text ? text : ""); }

void Widget::SetOffset(int32_t dx, int32_t dy) {
  offsetX_ = dx;
  offsetY_ = dy;
}

void Widget::SetEnabled(int32_t flag) { enabled_ = flag; }

void Widget::StampIntoScene(int32_t flag) {
  if (flag == 0) return;
  // Draw(null) would mean the back surface; a missing scene surface is skipped instead.
  if (platform::Surface* clean = g_refreshManager.GetCleanSurface()) Draw(clean);
  if (platform::Surface* work = g_refreshManager.GetWorkSurface()) Draw(work);
}

void Widget::SwapFirstImages() {
  if (ImageCount() >= 2) {
    WidgetImage* first = images_->Get(0);
    images_->Set(0, images_->Get(1));
    images_->Set(1, first);
  }
  Redraw();
}

void Widget::SetShowFirstImage(int32_t flag) { showFirstImage_ = flag; }
void Widget::SetState(int32_t state) { state_ = state; }
int32_t Widget::GetState() { return state_; }

void Widget::SetHitRect(int32_t x, int32_t y, int32_t width, int32_t height) {
  hitX_ = x;
  hitY_ = y;
  hitWidth_ = width;
  hitHeight_ = height;
}

void Widget::SetMarkDirty(int32_t flag) { markDirty_ = flag; }
void Widget::SetPixelHitTest(int32_t flag) { pixelHitTest_ = flag; }
int32_t Widget::IsMouseInside() { return mouseInside_; }
void Widget::SetForcedImage(int32_t index) { forcedImage_ = index; }
int32_t Widget::GetForcedImage() { return forcedImage_; }
