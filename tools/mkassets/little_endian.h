#pragma once
// BMP and WAV headers are little-endian whatever the machine: numbers are written and read a byte at a time.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mkassets {

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace mkassets
