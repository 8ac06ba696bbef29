#pragma once
// What the keyed-copy tests check against: the pixel rule, one pixel at a time, and the vector units to try.
#include <cstdint>
#include <vector>

#include "platform/video/keyed_blit.h"

namespace pixel_rule {

constexpr uint16_t kBlue = 0x001F;

// A source pixel inside the key range leaves the destination as it was.
inline uint16_t Expected(uint16_t source, uint16_t dest, uint16_t low, uint16_t high) {
  return (source >= low && source <= high) ? dest : source;
}

inline std::vector<platform::KeyedRowKind> SupportedKinds() {
  using platform::KeyedRowKind;
  std::vector<KeyedRowKind> kinds;
  for (KeyedRowKind k : {KeyedRowKind::Plain, KeyedRowKind::Sse2, KeyedRowKind::Avx2, KeyedRowKind::Avx512})
    if (platform::KeyedRowKindSupported(k)) kinds.push_back(k);
  return kinds;
}

}  // namespace pixel_rule
