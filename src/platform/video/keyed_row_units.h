#pragma once
// The keyed row copies for each vector unit, out[i] = in[i] unless in[i] lies in the key range, shared by the row
// copy (keyed_blit.cpp) and the block copy (keyed_blocks.cpp), where they are inlined with a fixed length. Only for
// those two files.
#include <cstdint>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZORVEL_X86 1
#else
#define ZORVEL_X86 0
#endif

namespace platform::keyed_units {

// Pixels from..n-1 one at a time: the whole row without a vector unit, and the tail of every vector row copy.
inline bool KeyedPixels(const uint16_t* in, uint16_t* out, int from, int n, uint16_t low, uint16_t high) {
  uint16_t changed = 0;
  for (int i = from; i < n; ++i) {
    const uint16_t p = in[i];
    if (p < low || p > high) {
      changed |= static_cast<uint16_t>(out[i] ^ p);
      out[i] = p;
    }
  }
  return changed != 0;
}

inline bool RowPlain(const uint16_t* in, uint16_t* out, int n, uint16_t low, uint16_t high) {
  return KeyedPixels(in, out, 0, n, low, high);
}

#if ZORVEL_X86
// A pixel p is transparent when (p - low), wrapping, is at most (high - low): the saturating subtraction of the
// range then gives 0. This needs nothing beyond SSE2.
__attribute__((target("sse2"))) inline bool RowSse2(const uint16_t* in, uint16_t* out, int n, uint16_t low,
                                             uint16_t high) {
  const __m128i vLow = _mm_set1_epi16(static_cast<short>(low));
  const __m128i vRange = _mm_set1_epi16(static_cast<short>(high - low));
  const __m128i zero = _mm_setzero_si128();
  __m128i changed = zero;
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128i keep = _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(p, vLow), vRange), zero);
    if (_mm_movemask_epi8(keep) == 0xFFFF) continue;  // all transparent: leave the destination alone
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + i));
    const __m128i r = _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, p));
    changed = _mm_or_si128(changed, _mm_xor_si128(r, d));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), r);
  }
  const bool tail = KeyedPixels(in, out, i, n, low, high);
  return tail || _mm_movemask_epi8(_mm_cmpeq_epi16(changed, zero)) != 0xFFFF;
}

__attribute__((target("avx2"))) inline bool RowAvx2(const uint16_t* in, uint16_t* out, int n, uint16_t low,
                                             uint16_t high) {
  const __m256i vLow = _mm256_set1_epi16(static_cast<short>(low));
  const __m256i vRange = _mm256_set1_epi16(static_cast<short>(high - low));
  const __m256i zero = _mm256_setzero_si256();
  __m256i changed = zero;
  int i = 0;
  for (; i + 16 <= n; i += 16) {
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
    const __m256i keep = _mm256_cmpeq_epi16(_mm256_subs_epu16(_mm256_sub_epi16(p, vLow), vRange), zero);
    if (_mm256_movemask_epi8(keep) == -1) continue;
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out + i));
    const __m256i r = _mm256_blendv_epi8(p, d, keep);
    const __m256i diff = _mm256_xor_si256(r, d);
    if (_mm256_testz_si256(diff, diff)) continue;  // already there: no store, no dirtied cache line
    changed = _mm256_or_si256(changed, diff);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), r);
  }
  // The tail in the same encoding: mixing in legacy SSE code here costs a state transition per row on some
  // processors, which is slower than the whole row.
  const __m128i vLow8 = _mm256_castsi256_si128(vLow), vRange8 = _mm256_castsi256_si128(vRange);
  __m128i changed8 = _mm_or_si128(_mm256_castsi256_si128(changed), _mm256_extracti128_si256(changed, 1));
  for (; i + 8 <= n; i += 8) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128i keep = _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(p, vLow8), vRange8), _mm_setzero_si128());
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + i));
    const __m128i r = _mm_blendv_epi8(p, d, keep);
    changed8 = _mm_or_si128(changed8, _mm_xor_si128(r, d));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), r);
  }
  const bool tail = KeyedPixels(in, out, i, n, low, high);
  return tail || !_mm_testz_si128(changed8, changed8);
}
#endif

}  // namespace platform::keyed_units
