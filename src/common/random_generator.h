#pragma once
// The program's own pseudo-random generator, so that a seed gives the same questions on every machine:
// state = state * 214013 + 2531011 (mod 2^32), result = bits 16 to 30 of the new state.
#include <cstdint>

void SeedRandom(uint32_t seed);
int32_t NextRandom();  // 0 to 32767

// An index below `count` (above 0): NextRandom() % count while the generator's 15 bits can reach every index,
// two results joined (30 bits) for a larger count, so that no index is out of reach.
int32_t RandomIndex(int32_t count);
