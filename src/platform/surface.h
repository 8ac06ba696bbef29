#pragma once
// Off-screen pixel surfaces with the blit, lock and colour-key behaviour the game was written against.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

// Result codes, kept at the values the game's code compares against.
constexpr int32_t DD_OK = 0;
constexpr int32_t DDERR_INVALIDRECT = static_cast<int32_t>(0x88760096u);
constexpr int32_t DDERR_INVALIDPARAMS = static_cast<int32_t>(0x80070057u);
constexpr int32_t DDERR_SURFACEBUSY = static_cast<int32_t>(0x887601CCu);
constexpr int32_t DDERR_NOTLOCKED = static_cast<int32_t>(0x887601E6u);
constexpr int32_t DDERR_NOCOLORKEY = static_cast<int32_t>(0x887600D7u);

// Blit flags the game uses.
constexpr uint32_t DDBLT_COLORFILL = 0x00000400;
constexpr uint32_t DDBLT_KEYSRC = 0x00008000;
constexpr uint32_t DDBLT_WAIT = 0x01000000;
constexpr uint32_t DDLOCK_WAIT = 0x00000001;
constexpr uint32_t DDCKEY_SRCBLT = 0x00000008;

constexpr uint32_t kSurfaceDescSize = 108;
constexpr uint32_t kBltFxSize = 100;

struct Rect {
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
};

struct PixelFormat {
  uint32_t dwSize = 32;
  uint32_t dwRGBBitCount = 16;
  uint32_t dwRBitMask = 0, dwGBitMask = 0, dwBBitMask = 0, dwRGBAlphaBitMask = 0;
};

struct SurfaceDesc {
  uint32_t dwSize = kSurfaceDescSize;
  uint32_t dwHeight = 0;
  uint32_t dwWidth = 0;
  int32_t lPitch = 0;
  void* lpSurface = nullptr;
  PixelFormat ddpfPixelFormat;
};

struct ColorKey {
  uint32_t dwColorSpaceLowValue = 0;
  uint32_t dwColorSpaceHighValue = 0;
};

struct BltFx {
  uint32_t dwSize = kBltFxSize;
  uint32_t dwFillColor = 0;
};

enum class PixelLayout { Rgb565, Rgb555, Indexed8 };

PixelFormat MakePixelFormat(PixelLayout layout);

// A reference-counted pixel surface. Created with one reference; Release at zero frees it.
class Surface {
 public:
  static Surface* Create(int width, int height, PixelLayout layout = PixelLayout::Rgb565);

  uint32_t AddRef();
  uint32_t Release();

  // Copies, keys or fills like the display hardware would: null rectangles mean the whole surface, rectangles of
  // different sizes scale, empty, inverted or out-of-bounds rectangles are refused with DDERR_INVALIDRECT.
  int32_t Blt(const Rect* destRect, Surface* source, const Rect* sourceRect, uint32_t flags, const BltFx* fx);
  int32_t Lock(const Rect* area, SurfaceDesc* desc, uint32_t flags);
  int32_t Unlock(const Rect* area);
  int32_t GetSurfaceDesc(SurfaceDesc* desc) const;
  int32_t GetPixelFormat(PixelFormat* format) const;
  int32_t SetColorKey(uint32_t flags, const ColorKey* key);
  int32_t GetColorKey(uint32_t flags, ColorKey* key) const;

  // Direct access for the graphics library and the backends (not for game code).
  int width() const { return width_; }
  int height() const { return height_; }
  int pitch() const { return pitch_; }
  int bitsPerPixel() const { return layout_ == PixelLayout::Indexed8 ? 8 : 16; }
  PixelLayout layout() const { return layout_; }
  uint8_t* bits() { return pixels_.data(); }
  const uint8_t* bits() const { return pixels_.data(); }
  uint16_t* Row16(int y) { return reinterpret_cast<uint16_t*>(pixels_.data() + static_cast<size_t>(y) * pitch_); }
  const uint16_t* Row16(int y) const {
    return reinterpret_cast<const uint16_t*>(pixels_.data() + static_cast<size_t>(y) * pitch_);
  }
  bool locked() const { return locked_; }
  uint32_t refCount() const { return refs_; }
  // Surfaces alive in the process; tests use it to find leaks.
  static int LiveCount();

 private:
  Surface(int width, int height, PixelLayout layout);
  ~Surface();
  bool Contains(const Rect& r) const;

  int width_, height_, pitch_;
  PixelLayout layout_;
  std::vector<uint8_t> pixels_;
  uint32_t refs_ = 1;
  bool locked_ = false;
  bool hasSourceKey_ = false;
  ColorKey sourceKey_;
};

}  // namespace platform
