#pragma once
// Reads Windows BMP files (1, 4, 8, 16, 24 and 32 bits, bottom-up or top-down, BI_RGB or BI_BITFIELDS) into a
// 16-bit surface. Anything truncated, inconsistent or absurdly large gives null.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/video/surface.h"

namespace zk {

platform::Surface* DecodeBmp(const std::vector<uint8_t>& file, platform::PixelLayout layout);
platform::Surface* LoadBmpFile(const std::string& hostPath, platform::PixelLayout layout);

// Converts 8-bit components to a 16-bit pixel of the layout (5-6-5 or 5-5-5).
uint16_t PackRgb(int r, int g, int b, platform::PixelLayout layout);

}  // namespace zk
