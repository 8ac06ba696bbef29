#pragma once
// The picture the next flip shows: where a widget draws when it is given no surface, and where a screen brings
// its marked areas after a flip. The program names it once its display exists.
#include "platform/video/surface.h"

void SetBackSurface(platform::Surface* surface);
platform::Surface* BackSurface();
