#include "common/random_generator.h"

#include <atomic>

namespace {
std::atomic<uint32_t> state{1};
}

void SeedRandom(uint32_t seed) { state.store(seed); }

int32_t NextRandom() {
  uint32_t next = state.load() * 214013u + 2531011u;
  state.store(next);
  return static_cast<int32_t>((next >> 16) & 0x7FFF);
}

int32_t RandomIndex(int32_t count) {
  if (count <= 32768) return NextRandom() % count;
  const int32_t high = NextRandom();
  return static_cast<int32_t>((static_cast<uint32_t>(high) << 15 | static_cast<uint32_t>(NextRandom())) %
                              static_cast<uint32_t>(count));
}
