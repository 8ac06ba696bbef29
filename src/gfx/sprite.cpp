#include "gfx/sprite.h"

#include <cmath>
#include <cstdio>

#include "common/game_rules.h"
#include "common/ticker.h"
#include "gfx/refresh_manager.h"
#include "gfx/surface_utils.h"
#include "platform/window/message_box.h"
#include "zk/zk.h"

namespace {

// Far beyond any surface, yet small enough that adding a size to it cannot overflow.
constexpr float kFarAway = 1073741824.0f;

// Toward zero, like the game's float-to-int conversion; a sprite sent far off stops at a distance where the
// rectangle arithmetic stays defined.
int32_t Truncate(float value) {
  if (std::isnan(value)) return 0;
  if (value <= -kFarAway) return -static_cast<int32_t>(kFarAway);
  if (value >= kFarAway) return static_cast<int32_t>(kFarAway);
  return static_cast<int32_t>(value);
}

}  // namespace

Sprite::Sprite() : frames_(new PtrArray<platform::Surface>(1)) { name_[0] = '\0'; }

Sprite::Sprite(const Sprite& other) : Sprite() {
  for (int32_t i = 0; i < other.FrameCount(); ++i) AddFrame(other.frames_->Get(i));
  x = other.x;
  y = other.y;
  width_ = other.width_;
  height_ = other.height_;
  step_ = other.step_;
  current_ = other.current_;
  centered_ = other.centered_;
  vx = other.vx;
  vy = other.vy;
  timeMark_ = other.timeMark_;
  frameDelay_ = other.frameDelay_;
  first_ = other.first_;
  end_ = other.end_;
  markDirty_ = other.markDirty_;
  loopMode_ = other.loopMode_;
  playing_ = other.playing_;
  visible_ = other.visible_;
  SetName(other.name_);
  sharedFrames_ = 1;
}

Sprite::~Sprite() {
  if (!frames_) return;
  if (!sharedFrames_) {
    for (int32_t i = 0; i < frames_->Count(); ++i) {
      if (frames_->Get(i)) frames_->Get(i)->Release();
    }
  }
  delete frames_;
  frames_ = nullptr;
}

int32_t Sprite::AddFrame(platform::Surface* surface) {
  if (!surface || !frames_) return 1;
  SetColorKeyRGB(surface, rules::kKeyColour.r, rules::kKeyColour.g, rules::kKeyColour.b);
  int32_t w, h;
  GetSurfaceSize(surface, &w, &h);
  SetBox(0, 0, w, h);
  frames_->Push(surface);
  first_ = 0;
  end_ = frames_->Count();
  width_ = w;
  height_ = h;
  return 1;
}

int32_t Sprite::AddSharedFrame(platform::Surface* surface) {
  sharedFrames_ = 1;
  return AddFrame(surface);
}

int32_t Sprite::LoadFrame(const char* file) {
  if (!frames_) return 1;
  platform::Surface* surface = ZKLoadBitmap(file, 16);
  if (!surface) platform::MessageBox(file ? file : "", "ERROR: can't find file!", platform::MB_OK);
  AddFrame(surface);
  return 1;
}

void Sprite::SetPosition(int32_t px, int32_t py) {
  x = static_cast<float>(px);
  y = static_cast<float>(py);
}

void Sprite::DrawToScreen() { Draw(g_refreshManager.GetWorkSurface()); }

bool Sprite::HasCurrentFrame() const {
  return frames_ && current_ >= 0 && current_ < frames_->Count() && frames_->Get(current_);
}

void Sprite::DrawRegion(int32_t sx, int32_t sy, int32_t w, int32_t h, platform::Surface* destination, int32_t dx,
                        int32_t dy) {
  if (!HasCurrentFrame()) return;
  if (visible_ && destination) {
    BltClippedRect(frames_->Get(current_), sx, sy, w, h, destination, dx, dy, kTransparentBlit);
  }
  if (markDirty_) g_refreshManager.MarkRect(platform::Rect{dx, dy, dx + w, dy + h}, kMarkOneShot, kMarkPresent);
}

void Sprite::Draw(platform::Surface* destination) {
  if (!HasCurrentFrame()) return;
  int32_t px, py;
  if (centered_) {
    px = Truncate(x - static_cast<float>(width_ / 2));
    py = Truncate(y - static_cast<float>(height_ / 2));
  } else {
    px = Truncate(x);
    py = Truncate(y);
  }
  if (visible_ && destination) BltClipped(frames_->Get(current_), destination, px, py, kTransparentBlit);
  if (markDirty_) {
    g_refreshManager.MarkRect(platform::Rect{px, py, px + width_, py + height_}, kMarkOneShot, kMarkPresent);
  }
}

void Sprite::Move() {
  x += vx;
  y += vy;
}

void Sprite::SetBox(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  box_ = platform::Rect{left, top, right, bottom};
}

void Sprite::SetFrame(int32_t index) {
  if (index >= 0 && index < FrameCount()) current_ = index;
}

void Sprite::SetVisible(int32_t flag) { visible_ = flag; }
void Sprite::SetFrameDelay(int32_t milliseconds) { frameDelay_ = milliseconds; }

void Sprite::SetFramesColorKey(int32_t r, int32_t g, int32_t b) {
  for (int32_t i = 0; i < FrameCount(); ++i) {
    if (frames_->Get(i)) SetColorKeyRGB(frames_->Get(i), r, g, b);
  }
}

int32_t Sprite::StepFrame() {
  const int32_t now = TickNow();
  if (timeMark_ >= now) return 0;
  const int32_t next = current_ + step_;
  if (next >= 0 && next < FrameCount()) current_ = next;
  timeMark_ = now + frameDelay_;
  return 1;
}

void Sprite::SetFrameIndex(int32_t index) { current_ = index; }

void Sprite::LoadStrip(const char* file, int32_t count, int32_t vertical) {
  platform::Surface* sheet = ZKLoadBitmap(file, 16);
  if (!sheet) return;
  if (count >= 1) {  // no frame size to divide into otherwise
    int32_t sheetWidth, sheetHeight;
    GetSurfaceSize(sheet, &sheetWidth, &sheetHeight);
    if (vertical == 0) {
      CutSheetSurface(sheet, frames_, sheetWidth / count, sheetHeight, nullptr);
    } else {
      CutSheetSurface(sheet, frames_, sheetWidth, sheetHeight / count, nullptr);
    }
    width_ = sheetWidth;
    height_ = sheetHeight;
    first_ = 0;
    end_ = FrameCount();
  }
  sheet->Release();  // the frames are copies; nothing else holds the sheet
}

void Sprite::LoadSheet(const char* file, int32_t frameWidth, int32_t frameHeight) {
  if (!LoadSheetFrames(file, frames_, frameWidth, frameHeight, nullptr)) return;
  width_ = frameWidth;
  height_ = frameHeight;
  first_ = 0;
  end_ = FrameCount();
}

void Sprite::SetFrameRange(int32_t first, int32_t end) {
  first_ = first;
  end_ = end;
}

void Sprite::SetName(const char* text) { std::snprintf(name_, sizeof name_, "%s", text ? text : ""); }
void Sprite::SetPlaying(int32_t flag) { playing_ = flag; }
void Sprite::SetLoopMode(int32_t mode) { loopMode_ = mode; }
void Sprite::SetMarkDirty(int32_t flag) { markDirty_ = flag; }

void Sprite::Animate() {
  if (first_ == -1) return;
  if (TicksSince(timeMark_) <= frameDelay_) return;
  timeMark_ = TickNow();
  if (playing_ == 1) {
    current_ += step_;
    SetFrame(current_);
  }
  if (current_ >= end_) {
    switch (loopMode_) {
      case kLoopRepeat: current_ = first_; break;
      case kLoopOnceHold: playing_ = 0, current_ = end_ - 1; break;
      case kLoopOnceBlank: playing_ = 0, current_ = -1; break;
      case kLoopOnceRewind: playing_ = 0, current_ = first_; break;
      default: break;
    }
  }
  // Against 0, not against first: a backward loop wraps from below frame 0, not from below the range.
  if (current_ < 0) {
    switch (loopMode_) {
      case kLoopRepeat: current_ = end_ - 1; break;
      case kLoopOnceHold: playing_ = 0, current_ = first_; break;
      case kLoopOnceBlank: playing_ = 0, current_ = -1; break;
      case kLoopOnceRewind: playing_ = 0, current_ = first_; break;
      default: break;
    }
  }
}

void Sprite::SplitWidth() {
  if (FrameCount() > 0) width_ /= FrameCount();
}

void Sprite::SetCentered(int32_t flag) { centered_ = flag; }
