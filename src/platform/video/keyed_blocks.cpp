#include "platform/video/keyed_blocks.h"

#include <algorithm>

#include "platform/video/block_store.h"
#include "platform/video/keyed_row_units.h"


namespace platform {

namespace {

constexpr int kBlock = BlockStore::kPixels;

// A whole block onto out: the opaque pixels that differ are stored. True when one did. Past the picture's right
// edge a block holds the key, so a unit with masked loads and stores may take a row's last block whole.
bool BlockPlain(const uint16_t* in, uint16_t* out, uint16_t low, uint16_t high) {
  return keyed_units::RowPlain(in, out, kBlock, low, high);
}

#if ZORVEL_X86
__attribute__((target("sse2"))) inline bool BlockSse2(const uint16_t* in, uint16_t* out, uint16_t low,
                                                      uint16_t high) {
  return keyed_units::RowSse2(in, out, kBlock, low, high);
}

__attribute__((target("avx2"))) inline bool BlockAvx2(const uint16_t* in, uint16_t* out, uint16_t low,
                                                      uint16_t high) {
  return keyed_units::RowAvx2(in, out, kBlock, low, high);
}

__attribute__((target("avx512f,avx512bw,avx512vl"))) inline bool BlockAvx512(const uint16_t* in, uint16_t* out,
                                                                            uint16_t low, uint16_t high) {
  const __m512i p = _mm512_load_si512(in);
  const __mmask32 opaque = _mm512_cmpgt_epu16_mask(_mm512_sub_epi16(p, _mm512_set1_epi16(static_cast<short>(low))),
                                                   _mm512_set1_epi16(static_cast<short>(high - low)));
  // The destination is read only where the block is opaque: past the picture's edge it may not be there at all.
  const __mmask32 differ = _mm512_mask_cmpneq_epi16_mask(opaque, p, _mm512_maskz_loadu_epi16(opaque, out));
  _mm512_mask_storeu_epi16(out, differ, p);
  return differ != 0;
}
#endif

template <bool (*Block)(const uint16_t*, uint16_t*, uint16_t, uint16_t), bool kMasked>
inline __attribute__((always_inline)) bool CopyBlocks(KeyedRowKind kind, const KeyedBlocks::Layout& l, int sx,
                                                      int sy, int w, int h, uint16_t* out, int outPitch, int* rows) {
  // Everything the loop reads, in locals: stores through out could otherwise alias them and force reloads.
  const uint32_t* const rowStart = l.rowStart;
  const uint16_t* const rowFirstColumn = l.rowFirstColumn;
  const uint16_t* const* const blocks = l.blocks;
  const uint16_t low = l.low, high = l.high;
  const int right = sx + w;
  // The right end up to which a block may be taken whole: past the part's right edge only where nothing but the
  // key's padding lies there, and only for a unit that does not touch the pixels it leaves alone.
  const int wholeTo = (kMasked && right == l.width) ? right + kBlock - 1 : right;
  int first = -1, last = -1;
  for (int y = sy; y < sy + h; ++y) {
    uint16_t* const outRow = out + static_cast<ptrdiff_t>(y - sy) * outPitch;
    const uint16_t* const* block = blocks + rowStart[y];
    const uint16_t* const* const end = blocks + rowStart[y + 1];
    int x = rowFirstColumn[y] * kBlock;
    if (x + kBlock <= sx) {
      const int skip = std::min<int>((sx - x) / kBlock, static_cast<int>(end - block));
      block += skip;
      x += skip * kBlock;
    }
    bool changed = false;
    for (; block < end && x < right; ++block, x += kBlock) {
      const uint16_t* const pixels = *block;
      if (!pixels) continue;
      if (x >= sx && x + kBlock <= wholeTo) {
        changed |= Block(pixels, outRow + (x - sx), low, high);
      } else {
        const int from = std::max(x, sx), to = std::min(x + kBlock, right);
        changed |= KeyedRowWith(kind, pixels + (from - x), outRow + (from - sx), to - from, low, high);
      }
    }
    if (changed) {
      if (first < 0) first = y;
      last = y;
    }
  }
  if (first < 0) return false;
  rows[0] = first - sy;
  rows[1] = last - sy;
  return true;
}

using BlocksFunction = bool (*)(KeyedRowKind, const KeyedBlocks::Layout&, int, int, int, int, uint16_t*, int, int*);

#if ZORVEL_X86
// Whole rows, the commonest copy (the bull's frames, the background), in a loop with nothing but the blocks: with
// range tests and a call for clipped blocks in it, it took two thirds longer.
__attribute__((target("avx512f,avx512bw,avx512vl"))) bool WholeRowsAvx512(const KeyedBlocks::Layout& l, int sy, int h,
                                                                         uint16_t* out, int outPitch, int* rows) {
  const uint32_t* const rowStart = l.rowStart;
  const uint16_t* const rowFirstColumn = l.rowFirstColumn;
  const uint16_t* const* const blocks = l.blocks;
  const __m512i vLow = _mm512_set1_epi16(static_cast<short>(l.low));
  const __m512i vRange = _mm512_set1_epi16(static_cast<short>(l.high - l.low));
  int first = -1, last = -1;
  for (int y = sy; y < sy + h; ++y) {
    uint16_t* o = out + static_cast<ptrdiff_t>(y - sy) * outPitch + rowFirstColumn[y] * kBlock;
    const uint16_t* const* block = blocks + rowStart[y];
    const uint16_t* const* const end = blocks + rowStart[y + 1];
    __mmask32 changed = 0;
    for (; block < end; ++block, o += kBlock) {
      const uint16_t* const pixels = *block;
      if (!pixels) continue;
      const __m512i p = _mm512_load_si512(pixels);
      const __mmask32 opaque = _mm512_cmpgt_epu16_mask(_mm512_sub_epi16(p, vLow), vRange);
      const __mmask32 differ = _mm512_mask_cmpneq_epi16_mask(opaque, p, _mm512_maskz_loadu_epi16(opaque, o));
      _mm512_mask_storeu_epi16(o, differ, p);
      changed |= differ;
    }
    if (changed) {
      if (first < 0) first = y;
      last = y;
    }
  }
  if (first < 0) return false;
  rows[0] = first - sy;
  rows[1] = last - sy;
  return true;
}

__attribute__((target("avx512f,avx512bw,avx512vl"), flatten)) bool BlocksAvx512(
    KeyedRowKind kind, const KeyedBlocks::Layout& l, int sx, int sy, int w, int h, uint16_t* out, int outPitch,
    int* rows) {
  if (sx == 0 && w == l.width) return WholeRowsAvx512(l, sy, h, out, outPitch, rows);
  return CopyBlocks<BlockAvx512, true>(kind, l, sx, sy, w, h, out, outPitch, rows);
}

__attribute__((target("avx2"), flatten)) bool BlocksAvx2(KeyedRowKind kind, const KeyedBlocks::Layout& l, int sx,
                                                         int sy, int w, int h, uint16_t* out, int outPitch,
                                                         int* rows) {
  return CopyBlocks<BlockAvx2, false>(kind, l, sx, sy, w, h, out, outPitch, rows);
}

__attribute__((target("sse2"), flatten)) bool BlocksSse2(KeyedRowKind kind, const KeyedBlocks::Layout& l, int sx,
                                                         int sy, int w, int h, uint16_t* out, int outPitch,
                                                         int* rows) {
  return CopyBlocks<BlockSse2, false>(kind, l, sx, sy, w, h, out, outPitch, rows);
}
#endif

bool BlocksPlain(KeyedRowKind kind, const KeyedBlocks::Layout& l, int sx, int sy, int w, int h, uint16_t* out,
                 int outPitch, int* rows) {
  return CopyBlocks<BlockPlain, false>(kind, l, sx, sy, w, h, out, outPitch, rows);
}

BlocksFunction BlocksFunctionFor(KeyedRowKind kind) {
  switch (kind) {
#if ZORVEL_X86
    case KeyedRowKind::Avx512: return BlocksAvx512;
    case KeyedRowKind::Avx2: return BlocksAvx2;
    case KeyedRowKind::Sse2: return BlocksSse2;
#endif
    default: return BlocksPlain;
  }
}

}  // namespace

KeyedBlocks::~KeyedBlocks() { Clear(); }

void KeyedBlocks::Clear() {
  BlockStore::Shared().Release(blocks_);
  blocks_.clear();
  pixels_.clear();
  rowStart_.clear();
  rowFirstColumn_.clear();
  width_ = 0;
}

bool KeyedBlocks::Build(const uint16_t* pixels, int pitchPixels, int width, int height, uint16_t low,
                        uint16_t high) {
  Clear();
  BlockStore& store = BlockStore::Shared();
  width_ = width, low_ = low, high_ = high;
  rowStart_.reserve(static_cast<size_t>(height) + 1);
  rowStart_.push_back(0);
  rowFirstColumn_.reserve(static_cast<size_t>(height));
  alignas(64) uint16_t block[kBlock];
  for (int y = 0; y < height; ++y) {
    const uint16_t* row = pixels + static_cast<ptrdiff_t>(y) * pitchPixels;
    auto opaqueAt = [&](int x) { return row[x] < low || row[x] > high; };
    // The row's blocks from the first with an opaque pixel to the last one that has one.
    int from = width, to = -1;
    for (int x = 0; x < width; ++x) {
      if (opaqueAt(x)) {
        from = std::min(from, x);
        to = x;
      }
    }
    const int firstColumn = to < 0 ? 0 : from / kBlock, endColumn = to < 0 ? 0 : to / kBlock + 1;
    rowFirstColumn_.push_back(static_cast<uint16_t>(firstColumn));
    for (int c = firstColumn; c < endColumn; ++c) {
      const int x0 = c * kBlock, n = std::min(kBlock, width - x0);
      bool any = false;
      for (int i = 0; i < n; ++i) any |= opaqueAt(x0 + i);
      if (!any) {
        blocks_.push_back(0);
        pixels_.push_back(nullptr);
        continue;
      }
      std::copy_n(row + x0, n, block);
      std::fill(block + n, block + kBlock, low);  // past the edge: transparent
      const uint32_t number = store.Hold(block);
      if (number == 0) {
        Clear();
        return false;
      }
      blocks_.push_back(number);
      pixels_.push_back(store.Pixels(number));
    }
    rowStart_.push_back(static_cast<uint32_t>(blocks_.size()));
  }
  return true;
}

bool KeyedBlocks::Copy(int sx, int sy, int w, int h, uint16_t* out, int outPitchPixels, int* firstRow,
                       int* lastRow) const {
  return CopyWith(BestKeyedRowKind(), sx, sy, w, h, out, outPitchPixels, firstRow, lastRow);
}

bool KeyedBlocks::CopyWith(KeyedRowKind kind, int sx, int sy, int w, int h, uint16_t* out, int outPitchPixels,
                           int* firstRow, int* lastRow) const {
  const Layout layout{rowStart_.data(), rowFirstColumn_.data(), pixels_.data(), width_, low_, high_};
  int rows[2] = {-1, -1};
  if (!BlocksFunctionFor(kind)(kind, layout, sx, sy, w, h, out, outPitchPixels, rows)) return false;
  if (firstRow) *firstRow = rows[0];
  if (lastRow) *lastRow = rows[1];
  return true;
}

}  // namespace platform
