#pragma once
// A named bitmap placed at a screen position. A picture without a bitmap is still a valid named rectangle (the
// game screen uses such pictures for its text areas).
#include <cstdint>

#include "platform/video/surface.h"

class Picture {
 public:
  Picture();
  explicit Picture(const char* file);
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  // Loads the bitmap with the blue key; on success the name becomes the file name and the size the bitmap's.
  // A bitmap already held is released first, loaded or not.
  platform::Surface* Load(const char* file);
  // Load, name and place; a non-zero width or height replaces the bitmap's.
  void Define(const char* name, const char* file, int32_t x, int32_t y, int32_t width, int32_t height);
  void SetName(const char* text);
  void SetPosition(int32_t x, int32_t y);
  platform::Surface* GetSurface() const { return surface_; }
  void SetColorKey(int32_t r, int32_t g, int32_t b);
  // Transparent, clipped draw of the whole bitmap at x, y; nothing without a bitmap.
  void Draw(platform::Surface* destination, int32_t x, int32_t y);

  const char* GetName() const { return name_; }
  int32_t GetX() const { return x_; }
  int32_t GetY() const { return y_; }
  int32_t GetWidth() const { return width_; }
  int32_t GetHeight() const { return height_; }

 private:
  char name_[256];
  int32_t x_ = 0;
  int32_t y_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  platform::Surface* surface_ = nullptr;
};
