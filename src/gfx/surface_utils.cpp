#include "gfx/surface_utils.h"

#include "common/game_rules.h"
#include "zk/zk.h"

using platform::Rect;
using platform::SurfaceDesc;

void GetSurfaceSize(Surface* surface, int32_t* width, int32_t* height) {
  SurfaceDesc desc;
  surface->GetSurfaceDesc(&desc);
  if (width) *width = static_cast<int32_t>(desc.dwWidth);
  if (height) *height = static_cast<int32_t>(desc.dwHeight);
}

Surface* CreateOffscreenSurface(int32_t width, int32_t height) {
  platform::DirectDraw* dd = ZKGetLPDD();
  Surface* surface = dd ? dd->CreateSurface(width, height) : Surface::Create(width, height);
  if (!surface) return nullptr;
  platform::ColorKey key;  // pixel value 0
  surface->SetColorKey(platform::DDCKEY_SRCBLT, &key);
  return surface;
}

uint16_t RGBToPixel(Surface* surface, int32_t r, int32_t g, int32_t b) {
  SurfaceDesc desc;
  surface->GetSurfaceDesc(&desc);
  int rb, gb, bb, ab;
  ZKGetRGBABits(desc.ddpfPixelFormat, &rb, &gb, &bb, &ab);
  int32_t pixel = ((r >> (8 - rb)) << (gb + bb)) + ((g >> (8 - gb)) << bb) + (b >> (8 - bb));
  return static_cast<uint16_t>(pixel);
}

void SetColorKeyRGB(Surface* surface, int32_t r, int32_t g, int32_t b) {
  platform::ColorKey key;
  key.dwColorSpaceLowValue = key.dwColorSpaceHighValue = RGBToPixel(surface, r, g, b);
  surface->SetColorKey(platform::DDCKEY_SRCBLT, &key);
}

uint16_t GetSurfacePixel(Surface* surface, int32_t x, int32_t y) {
  SurfaceDesc desc;
  surface->Lock(nullptr, &desc, platform::DDLOCK_WAIT);
  uint16_t value;
  if (desc.ddpfPixelFormat.dwRGBBitCount == 8) {
    value = static_cast<const uint8_t*>(desc.lpSurface)[y * desc.lPitch + x];
  } else {
    value = static_cast<const uint16_t*>(desc.lpSurface)[y * (desc.lPitch / 2) + x];
  }
  surface->Unlock(nullptr);
  return value;
}

void FillSurfacePixel(Surface* surface, uint32_t pixel) {
  platform::BltFx fx;
  fx.dwFillColor = pixel & 0xFFFF;
  surface->Blt(nullptr, nullptr, nullptr, platform::DDBLT_COLORFILL | platform::DDBLT_WAIT, &fx);
}

void* LockSurface(Surface* surface, SurfaceDesc* description) {
  SurfaceDesc desc;
  surface->Lock(nullptr, &desc, platform::DDLOCK_WAIT);
  if (description) *description = desc;
  return desc.lpSurface;
}

void UnlockSurface(Surface* surface) { surface->Unlock(nullptr); }

Rect* CenterSurfaceRect(Surface* surface, int32_t x, int32_t y, int32_t w, int32_t h, Rect* out) {
  int32_t sw, sh;
  GetSurfaceSize(surface, &sw, &sh);
  out->left = x + (w / 2 - sw / 2);
  out->right = out->left + sw;
  out->top = y + (h / 2 - sh / 2);
  out->bottom = out->top + sh;
  return out;
}

int32_t CutSheetSurface(Surface* sheet, PtrArray<Surface>* frames, int32_t frameWidth, int32_t frameHeight,
                        int32_t* columns) {
  if (frameWidth < 1 || frameHeight < 1) return 0;  // a zero size would divide by zero
  int32_t width, height;
  GetSurfaceSize(sheet, &width, &height);
  const int32_t cols = width / frameWidth, rows = height / frameHeight;
  if (columns) *columns = cols;
  for (int32_t i = 0; i < cols * rows; ++i) {
    Surface* frame = CreateOffscreenSurface(frameWidth, frameHeight);
    if (!frame) return 0;
    SetColorKeyRGB(frame, rules::kKeyColour.r, rules::kKeyColour.g, rules::kKeyColour.b);
    frames->Push(frame);
    Rect source;
    source.left = (i % cols) * frameWidth;
    source.top = (i / cols) * frameHeight;
    source.right = source.left + frameWidth;
    source.bottom = source.top + frameHeight;
    frame->Blt(nullptr, sheet, &source, platform::DDBLT_WAIT, nullptr);
  }
  return 1;
}

int32_t LoadSheetFrames(const char* file, PtrArray<Surface>* frames, int32_t frameWidth, int32_t frameHeight,
                        int32_t* columns) {
  Surface* sheet = ZKLoadBitmap(file, 16);
  if (!sheet) return 0;
  int32_t result = CutSheetSurface(sheet, frames, frameWidth, frameHeight, columns);
  sheet->Release();
  return result;
}

void BltClippedRect(Surface* source, int32_t sx, int32_t sy, int32_t w, int32_t h, Surface* destination,
                    int32_t dx, int32_t dy, int32_t flags) {
  int32_t dw, dh;
  GetSurfaceSize(destination, &dw, &dh);
  Rect dst, src;
  if (dx < 0) dst.left = 0, src.left = sx - dx;
  else dst.left = dx, src.left = sx;
  if (dx + w > dw) dst.right = dw, src.right = sx + w - (dx + w - dw);
  else dst.right = dx + w, src.right = sx + w;
  if (dy < 0) dst.top = 0, src.top = sy - dy;
  else dst.top = dy, src.top = sy;
  if (dy + h > dh) dst.bottom = dh, src.bottom = sy + h - (dy + h - dh);
  else dst.bottom = dy + h, src.bottom = sy + h;
  const uint32_t bltFlags = flags == kTransparentBlit ? kTransparentBltFlags : static_cast<uint32_t>(flags);
  destination->Blt(&dst, source, &src, bltFlags, nullptr);  // an empty or inverted result is refused
}

void BltClipped(Surface* source, Surface* destination, int32_t x, int32_t y, int32_t flags) {
  int32_t w, h;
  GetSurfaceSize(source, &w, &h);
  BltClippedRect(source, 0, 0, w, h, destination, x, y, flags);
}
