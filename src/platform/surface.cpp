#include "platform/surface.h"

#include <atomic>
#include <cassert>
#include <cstring>

namespace platform {

namespace {
std::atomic<int> g_liveSurfaces{0};
}

PixelFormat MakePixelFormat(PixelLayout layout) {
  PixelFormat f;
  switch (layout) {
    case PixelLayout::Rgb565:
      f.dwRGBBitCount = 16, f.dwRBitMask = 0xF800, f.dwGBitMask = 0x07E0, f.dwBBitMask = 0x001F;
      break;
    case PixelLayout::Rgb555:
      f.dwRGBBitCount = 16, f.dwRBitMask = 0x7C00, f.dwGBitMask = 0x03E0, f.dwBBitMask = 0x001F;
      break;
    case PixelLayout::Indexed8:
      f.dwRGBBitCount = 8;
      break;
  }
  return f;
}

Surface* Surface::Create(int width, int height, PixelLayout layout) {
  // The game never needs more than a few screens' worth; refusing absurd sizes keeps a broken file from
  // asking for gigabytes.
  if (width <= 0 || height <= 0 || width > 16384 || height > 16384) return nullptr;
  return new Surface(width, height, layout);
}

Surface::Surface(int width, int height, PixelLayout layout)
    : width_(width), height_(height), layout_(layout) {
  int bytesPerPixel = layout == PixelLayout::Indexed8 ? 1 : 2;
  pitch_ = (width * bytesPerPixel + 3) & ~3;  // rows aligned to 4 bytes, as display memory usually is
  pixels_.assign(static_cast<size_t>(pitch_) * height, 0);
  g_liveSurfaces.fetch_add(1);
}

Surface::~Surface() { g_liveSurfaces.fetch_sub(1); }

int Surface::LiveCount() { return g_liveSurfaces.load(); }

uint32_t Surface::AddRef() { return ++refs_; }

uint32_t Surface::Release() {
  assert(refs_ > 0);
  uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

bool Surface::Contains(const Rect& r) const {
  return r.left >= 0 && r.top >= 0 && r.right <= width_ && r.bottom <= height_ && r.left < r.right &&
         r.top < r.bottom;
}

int32_t Surface::Blt(const Rect* destRect, Surface* source, const Rect* sourceRect, uint32_t flags,
                     const BltFx* fx) {
  if (locked_ || (source && source->locked_)) return DDERR_SURFACEBUSY;
  Rect dst = destRect ? *destRect : Rect{0, 0, width_, height_};
  if (!Contains(dst)) return DDERR_INVALIDRECT;

  if (flags & DDBLT_COLORFILL) {
    if (!fx || fx->dwSize != kBltFxSize) return DDERR_INVALIDPARAMS;
    for (int y = dst.top; y < dst.bottom; ++y) {
      if (bitsPerPixel() == 8) {
        std::memset(bits() + static_cast<size_t>(y) * pitch_ + dst.left, static_cast<int>(fx->dwFillColor & 0xFF),
                    static_cast<size_t>(dst.Width()));
      } else {
        uint16_t* row = Row16(y);
        for (int x = dst.left; x < dst.right; ++x) row[x] = static_cast<uint16_t>(fx->dwFillColor);
      }
    }
    return DD_OK;
  }

  if (!source) return DDERR_INVALIDPARAMS;
  Rect src = sourceRect ? *sourceRect : Rect{0, 0, source->width_, source->height_};
  if (!source->Contains(src)) return DDERR_INVALIDRECT;
  // Every surface of the game shares the display's 16-bit format; mixing depths is a programming error.
  assert(source->bitsPerPixel() == 16 && bitsPerPixel() == 16);
  if (source->bitsPerPixel() != 16 || bitsPerPixel() != 16) return DDERR_INVALIDPARAMS;

  const bool keyed = (flags & DDBLT_KEYSRC) && source->hasSourceKey_;
  const uint16_t keyLow = static_cast<uint16_t>(source->sourceKey_.dwColorSpaceLowValue);
  const uint16_t keyHigh = static_cast<uint16_t>(source->sourceKey_.dwColorSpaceHighValue);

  // A blit within one surface may overlap; read from a snapshot so the result is as if copied at once.
  std::vector<uint8_t> snapshot;
  const Surface* from = source;
  if (source == this) {
    snapshot = pixels_;
  }
  auto srcRow = [&](int y) -> const uint16_t* {
    if (source == this) return reinterpret_cast<const uint16_t*>(snapshot.data() + static_cast<size_t>(y) * pitch_);
    return from->Row16(y);
  };

  const int dw = dst.Width(), dh = dst.Height(), sw = src.Width(), sh = src.Height();
  if (dw == sw && dh == sh) {
    for (int dy = 0; dy < dh; ++dy) {
      const uint16_t* in = srcRow(src.top + dy) + src.left;
      uint16_t* out = Row16(dst.top + dy) + dst.left;
      if (!keyed) {
        std::memmove(out, in, static_cast<size_t>(dw) * 2);
        continue;
      }
      // Written as a select so the compiler can do it many pixels at a time; most of a frame's work is here.
      for (int x = 0; x < dw; ++x) {
        const uint16_t p = in[x];
        out[x] = (p >= keyLow && p <= keyHigh) ? out[x] : p;
      }
    }
    return DD_OK;
  }
  for (int dy = 0; dy < dh; ++dy) {
    int sy = src.top + (sh == dh ? dy : static_cast<int>(static_cast<int64_t>(dy) * sh / dh));
    const uint16_t* in = srcRow(sy);
    uint16_t* out = Row16(dst.top + dy);
    for (int dx = 0; dx < dw; ++dx) {
      int sx = src.left + (sw == dw ? dx : static_cast<int>(static_cast<int64_t>(dx) * sw / dw));
      uint16_t p = in[sx];
      if (keyed && p >= keyLow && p <= keyHigh) continue;
      out[dst.left + dx] = p;
    }
  }
  return DD_OK;
}

int32_t Surface::Lock(const Rect* area, SurfaceDesc* desc, uint32_t /*flags*/) {
  assert(area == nullptr);  // the game only ever locks whole surfaces
  if (area) return DDERR_INVALIDPARAMS;
  if (!desc || desc->dwSize != kSurfaceDescSize) return DDERR_INVALIDPARAMS;
  if (locked_) return DDERR_SURFACEBUSY;
  GetSurfaceDesc(desc);
  desc->lpSurface = pixels_.data();
  locked_ = true;
  return DD_OK;
}

int32_t Surface::Unlock(const Rect* /*area*/) {
  if (!locked_) return DDERR_NOTLOCKED;
  locked_ = false;
  return DD_OK;
}

int32_t Surface::GetSurfaceDesc(SurfaceDesc* desc) const {
  if (!desc || desc->dwSize != kSurfaceDescSize) return DDERR_INVALIDPARAMS;
  desc->dwWidth = static_cast<uint32_t>(width_);
  desc->dwHeight = static_cast<uint32_t>(height_);
  desc->lPitch = pitch_;
  desc->lpSurface = locked_ ? const_cast<uint8_t*>(pixels_.data()) : nullptr;
  desc->ddpfPixelFormat = MakePixelFormat(layout_);
  return DD_OK;
}

int32_t Surface::GetPixelFormat(PixelFormat* format) const {
  if (!format) return DDERR_INVALIDPARAMS;
  *format = MakePixelFormat(layout_);
  return DD_OK;
}

int32_t Surface::SetColorKey(uint32_t flags, const ColorKey* key) {
  assert(flags == DDCKEY_SRCBLT);
  if (flags != DDCKEY_SRCBLT) return DDERR_INVALIDPARAMS;
  if (!key) {
    hasSourceKey_ = false;
    return DD_OK;
  }
  sourceKey_ = *key;
  hasSourceKey_ = true;
  return DD_OK;
}

int32_t Surface::GetColorKey(uint32_t flags, ColorKey* key) const {
  if (flags != DDCKEY_SRCBLT || !key) return DDERR_INVALIDPARAMS;
  if (!hasSourceKey_) return DDERR_NOCOLORKEY;
  *key = sourceKey_;
  return DD_OK;
}

}  // namespace platform
