#include "platform/video/keyed_blit.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZORVEL_X86 1
#else
#define ZORVEL_X86 0
#endif

namespace platform {

namespace {

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

bool RowPlain(const uint16_t* in, uint16_t* out, int n, uint16_t low, uint16_t high) {
  return KeyedPixels(in, out, 0, n, low, high);
}

#if ZORVEL_X86
// A pixel p is transparent when (p - low), wrapping, is at most (high - low): the saturating subtraction of the
// range then gives 0. This needs nothing beyond SSE2.
__attribute__((target("sse2"))) bool RowSse2(const uint16_t* in, uint16_t* out, int n, uint16_t low,
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

__attribute__((target("avx2"))) bool RowAvx2(const uint16_t* in, uint16_t* out, int n, uint16_t low,
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

// With 16-bit mask registers a keyed copy needs no blend: a masked store writes exactly the opaque pixels that
// differ, and masked loads and stores take a row's tail without a scalar loop.
__attribute__((target("avx512f,avx512bw,avx512vl"))) inline __mmask32 TailMask(int left) {
  return left >= 32 ? ~__mmask32{0} : static_cast<__mmask32>((1u << left) - 1u);
}

__attribute__((target("avx512f,avx512bw,avx512vl"))) bool RowAvx512(const uint16_t* in, uint16_t* out, int n,
                                                                   uint16_t low, uint16_t high) {
  const __m512i vLow = _mm512_set1_epi16(static_cast<short>(low));
  const __m512i vRange = _mm512_set1_epi16(static_cast<short>(high - low));
  __mmask32 stored = 0;
  int i = 0;
  for (; i + 32 <= n; i += 32) {
    const __m512i p = _mm512_loadu_si512(in + i);
    const __mmask32 opaque = _mm512_cmpgt_epu16_mask(_mm512_sub_epi16(p, vLow), vRange);
    if (!opaque) continue;  // all transparent: the destination is not even read
    const __mmask32 differ = _mm512_mask_cmpneq_epi16_mask(opaque, p, _mm512_loadu_si512(out + i));
    if (!differ) continue;  // already there: no store, no dirtied cache line
    _mm512_mask_storeu_epi16(out + i, differ, p);
    stored |= differ;
  }
  if (i < n) {
    const __mmask32 part = TailMask(n - i);
    const __m512i p = _mm512_maskz_loadu_epi16(part, in + i);
    const __mmask32 opaque = _mm512_mask_cmpgt_epu16_mask(part, _mm512_sub_epi16(p, vLow), vRange);
    const __mmask32 differ = _mm512_mask_cmpneq_epi16_mask(opaque, p, _mm512_maskz_loadu_epi16(opaque, out + i));
    _mm512_mask_storeu_epi16(out + i, differ, p);
    stored |= differ;
  }
  return stored != 0;
}

__attribute__((target("avx512f,avx512bw,avx512vl"))) bool CopyAvx512(const uint16_t* in, uint16_t* out, int n) {
  bool changed = false;
  int i = 0;
  for (; i + 64 <= n; i += 64) {  // two blocks a step: one test and branch for 128 bytes
    const __m512i p0 = _mm512_loadu_si512(in + i), p1 = _mm512_loadu_si512(in + i + 32);
    const __m512i diff = _mm512_or_si512(_mm512_xor_si512(p0, _mm512_loadu_si512(out + i)),
                                         _mm512_xor_si512(p1, _mm512_loadu_si512(out + i + 32)));
    if (!_mm512_test_epi64_mask(diff, diff)) continue;
    _mm512_storeu_si512(out + i, p0);
    _mm512_storeu_si512(out + i + 32, p1);
    changed = true;
  }
  for (; i < n; i += 32) {
    const __mmask32 part = TailMask(n - i);
    const __m512i p = _mm512_maskz_loadu_epi16(part, in + i);
    const __mmask32 differ = _mm512_mask_cmpneq_epi16_mask(part, p, _mm512_maskz_loadu_epi16(part, out + i));
    if (!differ) continue;
    _mm512_mask_storeu_epi16(out + i, differ, p);
    changed = true;
  }
  return changed;
}

// One opaque span: the same result as CopyAvx512, shaped for the short spans of buttons and glyphs. The span's last
// 32 pixels are one block that may overlap the one before it; it is compared before anything is stored, and the
// overlap is stored twice with the same pixels, so a span needs no masked tail and no loop exit on its length.
__attribute__((target("avx512f,avx512bw,avx512vl,bmi2"))) inline bool SpanAvx512(const uint16_t* in, uint16_t* out,
                                                                                int n) {
  if (n < 32) {
    const __mmask32 part = _bzhi_u32(~0u, static_cast<unsigned>(n));
    const __m512i p = _mm512_maskz_loadu_epi16(part, in);
    const __mmask32 differ = _mm512_mask_cmpneq_epi16_mask(part, p, _mm512_maskz_loadu_epi16(part, out));
    _mm512_mask_storeu_epi16(out, differ, p);
    return differ != 0;
  }
  const __m512i last = _mm512_loadu_si512(in + n - 32);
  const __mmask32 lastDiffer = _mm512_cmpneq_epi16_mask(last, _mm512_loadu_si512(out + n - 32));
  if (n <= 96) {
    // Every block read before any is stored, without a loop: the commonest lengths take no branch on the pixels.
    const __m512i p0 = _mm512_loadu_si512(in);
    const __mmask32 d0 = _mm512_cmpneq_epi16_mask(p0, _mm512_loadu_si512(out));
    const int mid = n > 64 ? 32 : 0;  // a span of 64 or fewer: the middle block is the first again
    const __m512i p1 = _mm512_loadu_si512(in + mid);
    const __mmask32 d1 = _mm512_cmpneq_epi16_mask(p1, _mm512_loadu_si512(out + mid));
    _mm512_mask_storeu_epi16(out, d0, p0);
    _mm512_mask_storeu_epi16(out + mid, d1, p1);
    _mm512_mask_storeu_epi16(out + n - 32, lastDiffer, last);
    return (d0 | d1 | lastDiffer) != 0;
  }
  __mmask32 differ = lastDiffer;
  for (int i = 0; i + 32 < n; i += 32) {
    const __m512i p = _mm512_loadu_si512(in + i);
    const __mmask32 d = _mm512_cmpneq_epi16_mask(p, _mm512_loadu_si512(out + i));
    _mm512_mask_storeu_epi16(out + i, d, p);
    differ |= d;
  }
  _mm512_mask_storeu_epi16(out + n - 32, lastDiffer, last);
  return differ != 0;
}

// A plain copy that reads the destination as it goes and stores only blocks that differ: one pass, where a compare
// and then a copy would be two.
__attribute__((target("avx2"))) bool CopyAvx2(const uint16_t* in, uint16_t* out, int n) {
  bool changed = false;
  int i = 0;
  for (; i + 32 <= n; i += 32) {  // two blocks a step: one test and branch for 64 bytes
    const __m256i p0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
    const __m256i p1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i + 16));
    const __m256i d0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out + i));
    const __m256i d1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out + i + 16));
    const __m256i diff = _mm256_or_si256(_mm256_xor_si256(p0, d0), _mm256_xor_si256(p1, d1));
    if (_mm256_testz_si256(diff, diff)) continue;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), p0);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i + 16), p1);
    changed = true;
  }
  for (; i + 16 <= n; i += 16) {
    const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out + i));
    const __m256i diff = _mm256_xor_si256(p, d);
    if (_mm256_testz_si256(diff, diff)) continue;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), p);
    changed = true;
  }
  for (; i + 8 <= n; i += 8) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + i));
    const __m128i diff = _mm_xor_si128(p, d);
    if (_mm_testz_si128(diff, diff)) continue;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), p);
    changed = true;
  }
  for (; i < n; ++i) {
    if (out[i] != in[i]) {
      out[i] = in[i];
      changed = true;
    }
  }
  return changed;
}
#endif

bool CopyPlain(const uint16_t* in, uint16_t* out, int n) {
  const size_t bytes = static_cast<size_t>(n) * 2;
  if (std::memcmp(out, in, bytes) == 0) return false;
  std::memcpy(out, in, bytes);
  return true;
}

using CopyFunction = bool (*)(const uint16_t*, uint16_t*, int);

CopyFunction BestCopy() {
#if ZORVEL_X86
  static const CopyFunction best = BestKeyedRowKind() == KeyedRowKind::Avx512 ? CopyAvx512
                                   : BestKeyedRowKind() == KeyedRowKind::Avx2   ? CopyAvx2
                                                                                 : CopyPlain;
#else
  static const CopyFunction best = CopyPlain;
#endif
  return best;
}

using RowFunction = bool (*)(const uint16_t*, uint16_t*, int, uint16_t, uint16_t);

RowFunction FunctionFor(KeyedRowKind kind) {
  switch (kind) {
#if ZORVEL_X86
    case KeyedRowKind::Avx512: return RowAvx512;
    case KeyedRowKind::Avx2: return RowAvx2;
    case KeyedRowKind::Sse2: return RowSse2;
#endif
    default: return RowPlain;
  }
}

RowFunction Best() {
  static const RowFunction best = FunctionFor(BestKeyedRowKind());
  return best;
}

}  // namespace

bool KeyedRowKindSupported(KeyedRowKind kind) {
  switch (kind) {
    case KeyedRowKind::Plain: return true;
#if ZORVEL_X86
    case KeyedRowKind::Sse2: return __builtin_cpu_supports("sse2");
    case KeyedRowKind::Avx2: return __builtin_cpu_supports("avx2");
    case KeyedRowKind::Avx512:
      return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
             __builtin_cpu_supports("avx512vl");
#endif
    default: return false;
  }
}

KeyedRowKind BestKeyedRowKind() {
  static const KeyedRowKind kind = KeyedRowKindSupported(KeyedRowKind::Avx512) ? KeyedRowKind::Avx512
                                   : KeyedRowKindSupported(KeyedRowKind::Avx2)   ? KeyedRowKind::Avx2
                                   : KeyedRowKindSupported(KeyedRowKind::Sse2)   ? KeyedRowKind::Sse2
                                                                                 : KeyedRowKind::Plain;
  return kind;
}

const char* KeyedRowKindName(KeyedRowKind kind) {
  switch (kind) {
    case KeyedRowKind::Avx512: return "avx512";
    case KeyedRowKind::Avx2: return "avx2";
    case KeyedRowKind::Sse2: return "sse2";
    default: return "plain";
  }
}

bool CopyRowIfChanged(const uint16_t* in, uint16_t* out, int n) { return BestCopy()(in, out, n); }

bool CopyRowIfChangedWith(KeyedRowKind kind, const uint16_t* in, uint16_t* out, int n) {
#if ZORVEL_X86
  if (kind == KeyedRowKind::Avx512) return CopyAvx512(in, out, n);
  if (kind == KeyedRowKind::Avx2) return CopyAvx2(in, out, n);
#endif
  (void)kind;
  return CopyPlain(in, out, n);
}

bool KeyedRow(const uint16_t* in, uint16_t* out, int n, uint16_t low, uint16_t high) {
  if (low > high) return CopyRowIfChanged(in, out, n);
  return Best()(in, out, n, low, high);
}

bool KeyedRowWith(KeyedRowKind kind, const uint16_t* in, uint16_t* out, int n, uint16_t low, uint16_t high) {
  if (low > high) return CopyRowIfChanged(in, out, n);
  return FunctionFor(kind)(in, out, n, low, high);
}

void OpaqueRuns::Build(const uint16_t* pixels, int pitchPixels, int width, int height, uint16_t low,
                       uint16_t high) {
  width_ = width;
  rowStart_.assign(1, 0);
  runs_.clear();
  opaquePixels_ = 0;
  for (int y = 0; y < height; ++y) {
    const uint16_t* row = pixels + static_cast<size_t>(y) * pitchPixels;
    int x = 0;
    while (x < width) {
      while (x < width && row[x] >= low && row[x] <= high) ++x;
      const int start = x;
      while (x < width && (row[x] < low || row[x] > high)) ++x;
      // Lengths fit 16 bits: surfaces are at most 16384 wide.
      if (x > start)
        runs_.push_back({static_cast<uint16_t>(start), static_cast<uint16_t>(x - start), static_cast<uint16_t>(y)});
      opaquePixels_ += static_cast<uint64_t>(x - start);
    }
    rowStart_.push_back(static_cast<uint32_t>(runs_.size()));
  }
  meanRunLength_ = runs_.empty() ? 0.0 : static_cast<double>(opaquePixels_) / static_cast<double>(runs_.size());
}

namespace {

// The span loop, with the span copy inlined where the caller is built for the same unit: a button's row is one or
// two spans, and a call for each would cost more than its copy. One loop over all the part's spans rather than a
// loop per row: rows of one span or none (buttons, the bull) would mispredict at every row's end.
template <bool (*Span)(const uint16_t*, uint16_t*, int)>
inline __attribute__((always_inline)) bool CopyRuns(const uint32_t* rowStart, const OpaqueRuns::Run* runs,
                                                    int width, const uint16_t* pixels, int pitchPixels, int sx, int sy,
                                                    int w, int h, uint16_t* out, int outPitchPixels, int* rows) {
  const OpaqueRuns::Run* run = runs + rowStart[sy];
  const OpaqueRuns::Run* const end = runs + rowStart[sy + h];
  int first = -1, last = -1;
  auto note = [&first, &last](bool changed, int y) {
    first = (changed && first < 0) ? y : first;
    last = changed ? y : last;
  };
  if (sx == 0 && w == width) {
    for (; run < end; ++run) {
      const int y = run->y;
      note(Span(pixels + static_cast<ptrdiff_t>(y) * pitchPixels + run->x,
                out + static_cast<ptrdiff_t>(y - sy) * outPitchPixels + run->x, run->length),
           y);
    }
  } else {
    const int right = sx + w;
    for (; run < end; ++run) {
      int a = run->x, b = a + run->length;
      if (b <= sx || a >= right) continue;
      if (a < sx) a = sx;
      if (b > right) b = right;
      const int y = run->y;
      note(Span(pixels + static_cast<ptrdiff_t>(y) * pitchPixels + a,
                out + static_cast<ptrdiff_t>(y - sy) * outPitchPixels + (a - sx), b - a),
           y);
    }
  }
  if (first < 0) return false;
  rows[0] = first - sy;
  rows[1] = last - sy;
  return true;
}

using RunsFunction = bool (*)(const uint32_t*, const OpaqueRuns::Run*, int, const uint16_t*, int, int, int, int,
                              int, uint16_t*, int, int*);

#if ZORVEL_X86
__attribute__((target("avx512f,avx512bw,avx512vl,bmi2"), flatten)) bool RunsAvx512(
    const uint32_t* rowStart, const OpaqueRuns::Run* runs, int width, const uint16_t* pixels, int pitch, int sx,
    int sy, int w, int h, uint16_t* out, int outPitch, int* rows) {
  return CopyRuns<SpanAvx512>(rowStart, runs, width, pixels, pitch, sx, sy, w, h, out, outPitch, rows);
}

__attribute__((target("avx2"), flatten)) bool RunsAvx2(const uint32_t* rowStart, const OpaqueRuns::Run* runs,
                                                       int width, const uint16_t* pixels, int pitch, int sx, int sy,
                                                       int w, int h, uint16_t* out, int outPitch, int* rows) {
  return CopyRuns<CopyAvx2>(rowStart, runs, width, pixels, pitch, sx, sy, w, h, out, outPitch, rows);
}
#endif

bool RunsPlain(const uint32_t* rowStart, const OpaqueRuns::Run* runs, int width, const uint16_t* pixels, int pitch,
               int sx, int sy, int w, int h, uint16_t* out, int outPitch, int* rows) {
  return CopyRuns<CopyPlain>(rowStart, runs, width, pixels, pitch, sx, sy, w, h, out, outPitch, rows);
}

// Keyed spans need no key test, so SSE2 machines copy them with the plain loop, whose memcmp and memcpy are vector
// code already.
RunsFunction RunsFunctionFor(KeyedRowKind kind) {
  switch (kind) {
#if ZORVEL_X86
    case KeyedRowKind::Avx512: return RunsAvx512;
    case KeyedRowKind::Avx2: return RunsAvx2;
#endif
    default: return RunsPlain;
  }
}

}  // namespace

bool OpaqueRuns::Copy(const uint16_t* pixels, int pitchPixels, int sx, int sy, int w, int h, uint16_t* out,
                      int outPitchPixels, int* firstRow, int* lastRow) const {
  return CopyWith(BestKeyedRowKind(), pixels, pitchPixels, sx, sy, w, h, out, outPitchPixels, firstRow, lastRow);
}

bool OpaqueRuns::CopyWith(KeyedRowKind kind, const uint16_t* pixels, int pitchPixels, int sx, int sy, int w, int h,
                          uint16_t* out, int outPitchPixels, int* firstRow, int* lastRow) const {
  int rows[2] = {-1, -1};
  if (!RunsFunctionFor(kind)(rowStart_.data(), runs_.data(), width_, pixels, pitchPixels, sx, sy, w, h, out,
                             outPitchPixels, rows))
    return false;
  if (firstRow) *firstRow = rows[0];
  if (lastRow) *lastRow = rows[1];
  return true;
}

}  // namespace platform
