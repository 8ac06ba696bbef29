#pragma once
// Free functions over surfaces that every drawing class uses: size, creation, colour conversion, the blue colour
// key, single pixels, sheet cutting and blits clipped against the destination.
#include <cstdint>

#include "common/ptr_array.h"
#include "platform/video/surface.h"

using platform::Surface;

// -1 as blit flags: a transparent blit that waits (source colour key + wait).
constexpr int32_t kTransparentBlit = -1;
constexpr uint32_t kTransparentBltFlags = platform::DDBLT_KEYSRC | platform::DDBLT_WAIT;  // 0x01008000

void GetSurfaceSize(Surface* surface, int32_t* width, int32_t* height);
Surface* CreateOffscreenSurface(int32_t width, int32_t height);
uint16_t RGBToPixel(Surface* surface, int32_t r, int32_t g, int32_t b);
void SetColorKeyRGB(Surface* surface, int32_t r, int32_t g, int32_t b);
uint16_t GetSurfacePixel(Surface* surface, int32_t x, int32_t y);
void FillSurfacePixel(Surface* surface, uint32_t pixel);
void* LockSurface(Surface* surface, platform::SurfaceDesc* description);
void UnlockSurface(Surface* surface);
platform::Rect* CenterSurfaceRect(Surface* surface, int32_t x, int32_t y, int32_t w, int32_t h,
                                  platform::Rect* out);
int32_t CutSheetSurface(Surface* sheet, PtrArray<Surface>* frames, int32_t frameWidth, int32_t frameHeight,
                        int32_t* columns);
int32_t LoadSheetFrames(const char* file, PtrArray<Surface>* frames, int32_t frameWidth, int32_t frameHeight,
                        int32_t* columns);
void BltClipped(Surface* source, Surface* destination, int32_t x, int32_t y, int32_t flags);
void BltClippedRect(Surface* source, int32_t sx, int32_t sy, int32_t w, int32_t h, Surface* destination,
                    int32_t dx, int32_t dy, int32_t flags);
