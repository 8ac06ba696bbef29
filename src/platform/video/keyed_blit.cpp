#include "platform/video/keyed_blit.h"

#include <algorithm>
#include <cstring>

#include "platform/video/block_store.h"
#include "platform/video/keyed_row_units.h"

namespace platform {

namespace {

using namespace keyed_units;

#if ZORVEL_X86
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

// A piece of a span, 1 to 32 pixels from one shared block, onto out: the pixels that differ are stored. The block
// is a whole cache line, so it is read in one load whatever the piece's length; the destination only where the
// piece lies.
__attribute__((target("avx512f,avx512bw,avx512vl,bmi2"))) inline bool PieceAvx512(const uint16_t* in, uint16_t* out,
                                                                                 int n) {
  const __mmask32 part = _bzhi_u32(~0u, static_cast<unsigned>(n));
  const __m512i p = _mm512_maskz_loadu_epi16(part, in);
  const __mmask32 differ = _mm512_mask_cmpneq_epi16_mask(part, p, _mm512_maskz_loadu_epi16(part, out));
  _mm512_mask_storeu_epi16(out, differ, p);
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

OpaqueRuns::~OpaqueRuns() { Clear(); }

void OpaqueRuns::Clear() {
  BlockStore::Shared().Release(blocks_);
  blocks_.clear();
  pixels_.clear();
  runs_.clear();
  rowStart_.clear();
  opaquePixels_ = 0;
  meanRunLength_ = 0.0;
}

double OpaqueRuns::MeanRunLength(const uint16_t* pixels, int pitchPixels, int width, int height, uint16_t low,
                                 uint16_t high) {
  uint64_t runs = 0, opaque = 0;
  for (int y = 0; y < height; ++y) {
    const uint16_t* row = pixels + static_cast<size_t>(y) * pitchPixels;
    bool inRun = false;
    for (int x = 0; x < width; ++x) {
      const bool isOpaque = row[x] < low || row[x] > high;
      runs += isOpaque && !inRun;
      opaque += isOpaque;
      inRun = isOpaque;
    }
  }
  return runs == 0 ? 0.0 : static_cast<double>(opaque) / static_cast<double>(runs);
}

bool OpaqueRuns::Build(const uint16_t* pixels, int pitchPixels, int width, int height, uint16_t low,
                       uint16_t high) {
  Clear();
  BlockStore& store = BlockStore::Shared();
  width_ = width, height_ = height;
  rowStart_.assign(1, 0);
  alignas(64) uint16_t block[BlockStore::kPixels];
  for (int y = 0; y < height; ++y) {
    const uint16_t* row = pixels + static_cast<size_t>(y) * pitchPixels;
    int x = 0;
    while (x < width) {
      while (x < width && row[x] >= low && row[x] <= high) ++x;
      const int start = x;
      while (x < width && (row[x] < low || row[x] > high)) ++x;
      if (x == start) continue;
      // Lengths fit 16 bits: surfaces are at most 16384 wide.
      runs_.push_back({static_cast<uint16_t>(start), static_cast<uint16_t>(x - start), static_cast<uint16_t>(y),
                       static_cast<uint32_t>(blocks_.size())});
      opaquePixels_ += static_cast<uint64_t>(x - start);
      // The span in blocks from its first pixel on, the last one padded: equal spans of different pictures (a
      // button's two states, buttons of one shape) share theirs.
      for (int from = start; from < x; from += BlockStore::kPixels) {
        const int n = std::min(BlockStore::kPixels, x - from);
        std::copy_n(row + from, n, block);
        std::fill(block + n, block + BlockStore::kPixels, uint16_t{0});
        const uint32_t number = store.Hold(block);
        if (number == 0) {
          Clear();
          return false;
        }
        blocks_.push_back(number);
        pixels_.push_back(store.Pixels(number));
      }
    }
    rowStart_.push_back(static_cast<uint32_t>(runs_.size()));
  }
  meanRunLength_ = runs_.empty() ? 0.0 : static_cast<double>(opaquePixels_) / static_cast<double>(runs_.size());
  return true;
}

namespace {

struct RunsLayout {
  const OpaqueRuns::Run* begin;  // the part's spans
  const OpaqueRuns::Run* end;
  const uint16_t* const* blocks;
  int width;
};

// The span loop, with the piece copy inlined where the caller is built for the same unit. One loop over all the
// part's spans rather than a loop per row: rows of one span or none (buttons) would mispredict at every row's end.
template <bool (*Piece)(const uint16_t*, uint16_t*, int)>
inline __attribute__((always_inline)) bool CopyRuns(const RunsLayout& l, int sx, int sy, int w, uint16_t* out,
                                                    int outPitchPixels, int* rows) {
  const OpaqueRuns::Run* run = l.begin;
  const OpaqueRuns::Run* const end = l.end;
  const uint16_t* const* const blocks = l.blocks;
  constexpr int kBlock = BlockStore::kPixels;
  // Kept with masks, not a branch on whether a span changed, which mispredicts wherever a button's two states
  // alternate (the compiler turns a conditional expression back into that branch). Spans come in row order.
  int first = -1, last = -1;
  auto note = [&first, &last](bool changed, int y) {
    const int all = -static_cast<int>(changed);  // every bit set when the span changed
    const int setFirst = all & (first >> 31);    // ... and none changed before
    first = (first & ~setFirst) | (y & setFirst);
    last = (last & ~all) | (y & all);
  };
  if (sx == 0 && w == l.width) {
    for (; run < end; ++run) {
      uint16_t* o = out + static_cast<ptrdiff_t>(run->y - sy) * outPitchPixels + run->x;
      const uint16_t* const* block = blocks + run->firstBlock;
      bool changed = false;
      int left = run->length;
      for (; left > kBlock; left -= kBlock, o += kBlock, ++block) changed |= Piece(*block, o, kBlock);
      changed |= Piece(*block, o, left);
      note(changed, run->y);
    }
  } else {
    const int right = sx + w;
    for (; run < end; ++run) {
      const int a = std::max<int>(run->x, sx), b = std::min<int>(run->x + run->length, right);
      if (a >= b) continue;
      uint16_t* const outRow = out + static_cast<ptrdiff_t>(run->y - sy) * outPitchPixels;
      bool changed = false;
      // The pieces of [a, b) block by block: the first may start inside its block.
      for (int x = a; x < b;) {
        const int k = (x - run->x) / kBlock, blockStart = run->x + k * kBlock;
        const int to = std::min(b, blockStart + kBlock);
        changed |= Piece(blocks[run->firstBlock + k] + (x - blockStart), outRow + (x - sx), to - x);
        x = to;
      }
      note(changed, run->y);
    }
  }
  if (first < 0) return false;
  rows[0] = first - sy;
  rows[1] = last - sy;
  return true;
}

using RunsFunction = bool (*)(const RunsLayout&, int, int, int, uint16_t*, int, int*);

#if ZORVEL_X86
// Whole rows of spans, the commonest copy (every button), with as few instructions a span as can be: a button's
// span is two or three blocks, so what is done once a span costs as much as the copy.
__attribute__((target("avx512f,avx512bw,avx512vl,bmi2"))) bool WholeRunsAvx512(const RunsLayout& l, int sy,
                                                                               uint16_t* out, int outPitch,
                                                                               int* rows) {
  const OpaqueRuns::Run* const begin = l.begin;
  const OpaqueRuns::Run* const end = l.end;
  const uint16_t* const* const blocks = l.blocks;
  // Whether each span changed is written down as it is copied and looked at afterwards, from both ends: anything
  // more in the loop (a branch, or conditional moves for the first and last row) cost a tenth of a button's time.
  constexpr ptrdiff_t kChunk = 256;
  __mmask32 changed[kChunk];
  const OpaqueRuns::Run* first = nullptr;
  const OpaqueRuns::Run* last = nullptr;
  for (const OpaqueRuns::Run* chunk = begin; chunk < end; chunk += kChunk) {
    const ptrdiff_t count = std::min(kChunk, end - chunk);
    for (ptrdiff_t i = 0; i < count; ++i) {
      const OpaqueRuns::Run& run = chunk[i];
      uint16_t* o = out + static_cast<ptrdiff_t>(run.y - sy) * outPitch + run.x;
      const uint16_t* const* block = blocks + run.firstBlock;
      __mmask32 any = 0;
      for (int left = run.length; left > 0; left -= BlockStore::kPixels, o += BlockStore::kPixels, ++block) {
        const __mmask32 part =
            left >= BlockStore::kPixels ? ~__mmask32{0} : _bzhi_u32(~0u, static_cast<unsigned>(left));
        const __m512i p = _mm512_load_si512(*block);
        const __mmask32 differ = _mm512_mask_cmpneq_epi16_mask(part, p, _mm512_maskz_loadu_epi16(part, o));
        _mm512_mask_storeu_epi16(o, differ, p);
        any |= differ;
      }
      changed[i] = any;
    }
    for (ptrdiff_t i = 0; !first && i < count; ++i)
      if (changed[i]) first = chunk + i;
    for (ptrdiff_t i = count - 1; first && i >= 0; --i) {
      if (changed[i]) {
        last = chunk + i;
        break;
      }
    }
  }
  if (!first) return false;
  rows[0] = first->y - sy;
  rows[1] = last->y - sy;
  return true;
}

__attribute__((target("avx512f,avx512bw,avx512vl,bmi2"), flatten)) bool RunsAvx512(const RunsLayout& l, int sx,
                                                                                   int sy, int w, uint16_t* out,
                                                                                   int outPitch, int* rows) {
  if (sx == 0 && w == l.width) return WholeRunsAvx512(l, sy, out, outPitch, rows);
  return CopyRuns<PieceAvx512>(l, sx, sy, w, out, outPitch, rows);
}

__attribute__((target("avx2"), flatten)) bool RunsAvx2(const RunsLayout& l, int sx, int sy, int w, uint16_t* out,
                                                       int outPitch, int* rows) {
  return CopyRuns<CopyAvx2>(l, sx, sy, w, out, outPitch, rows);
}
#endif

bool RunsPlain(const RunsLayout& l, int sx, int sy, int w, uint16_t* out, int outPitch, int* rows) {
  return CopyRuns<CopyPlain>(l, sx, sy, w, out, outPitch, rows);
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

bool OpaqueRuns::Copy(int sx, int sy, int w, int h, uint16_t* out, int outPitchPixels, int* firstRow,
                      int* lastRow) const {
  return CopyWith(BestKeyedRowKind(), sx, sy, w, h, out, outPitchPixels, firstRow, lastRow);
}

bool OpaqueRuns::CopyWith(KeyedRowKind kind, int sx, int sy, int w, int h, uint16_t* out, int outPitchPixels,
                          int* firstRow, int* lastRow) const {
  // A whole picture's spans are all of them: the row index, one more line to wait for, is not read.
  const bool allRows = sy == 0 && h == height_;
  const RunsLayout layout{allRows ? runs_.data() : runs_.data() + rowStart_[sy],
                          allRows ? runs_.data() + runs_.size() : runs_.data() + rowStart_[sy + h], pixels_.data(),
                          width_};
  int rows[2] = {-1, -1};
  if (!RunsFunctionFor(kind)(layout, sx, sy, w, out, outPitchPixels, rows)) return false;
  if (firstRow) *firstRow = rows[0];
  if (lastRow) *lastRow = rows[1];
  return true;
}

}  // namespace platform
