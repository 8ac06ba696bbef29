#include "gfx/picture.h"

#include <cstdio>

#include "common/game_rules.h"
#include "gfx/surface_utils.h"
#include "zk/zk.h"

Picture::Picture() { name_[0] = '\0'; }

Picture::Picture(const char* file) : Picture() { Load(file); }

Picture::~Picture() {
  if (surface_) {
    surface_->Release();
    surface_ = nullptr;
  }
}

platform::Surface* Picture::Load(const char* file) {
  // The picture owns its bitmap, so a bitmap it already holds is let go rather than leaked.
  if (surface_) surface_->Release();
  surface_ = nullptr;
  if (!file) {
    name_[0] = '\0';
    return nullptr;
  }
  surface_ = ZKLoadBitmap(file, 16);
  if (!surface_) return nullptr;
  SetColorKeyRGB(surface_, rules::kKeyColour.r, rules::kKeyColour.g, rules::kKeyColour.b);
  SetName(file);
  GetSurfaceSize(surface_, &width_, &height_);
  return surface_;
}

void Picture::Define(const char* name, const char* file, int32_t x, int32_t y, int32_t width, int32_t height) {
  Load(file);
  SetName(name);
  SetPosition(x, y);
  if (width != 0) width_ = width;
  if (height != 0) height_ = height;
}

void Picture::SetName(const char* text) { std::snprintf(name_, sizeof name_, "%s", text ? text : ""); }

void Picture::SetPosition(int32_t x, int32_t y) {
  x_ = x;
  y_ = y;
}

void Picture::SetColorKey(int32_t r, int32_t g, int32_t b) {
  if (surface_) SetColorKeyRGB(surface_, r, g, b);
}

void Picture::Draw(platform::Surface* destination, int32_t x, int32_t y) {
  if (surface_ && destination) BltClipped(surface_, destination, x, y, kTransparentBlit);
}
