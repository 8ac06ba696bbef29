#include "ui/back_surface.h"

namespace {
platform::Surface* backSurface = nullptr;
}

void SetBackSurface(platform::Surface* surface) { backSurface = surface; }

platform::Surface* BackSurface() { return backSurface; }
