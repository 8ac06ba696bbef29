#pragma once
// The display object off-screen surfaces are made from; it knows the display's pixel layout.
#include <cstdint>

#include "platform/video/surface.h"

namespace platform {

class DirectDraw {
 public:
  explicit DirectDraw(PixelLayout displayLayout) : layout_(displayLayout) {}
  uint32_t AddRef() { return ++refs_; }
  uint32_t Release() {
    uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  // A new surface in the display's format; null when the size is impossible.
  Surface* CreateSurface(int width, int height) { return Surface::Create(width, height, layout_); }
  PixelLayout displayLayout() const { return layout_; }

 private:
  ~DirectDraw() = default;
  PixelLayout layout_;
  uint32_t refs_ = 1;
};

}  // namespace platform
