#pragma once
#include <string>

#include "platform/video/surface.h"

namespace platform {

// Writes a 16-bit surface as an 8-bit RGB PNG (each channel widened by repeating its high bits).
bool WritePng(const Surface& surface, const std::string& path);

}  // namespace platform
