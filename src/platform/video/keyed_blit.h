#pragma once
// The inner loops of colour-keyed 16-bit copies: a row copy that leaves the destination where the source pixel
// lies in the key range, built for the widest vector unit the processor has (AVX-512, AVX2 or SSE2, chosen once, at
// run time), and the opaque runs of a picture, precomputed so that a picture blitted often is copied span by span.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

enum class KeyedRowKind { Plain, Sse2, Avx2, Avx512 };

// The widest kind this processor runs; the one KeyedRow uses.
KeyedRowKind BestKeyedRowKind();
const char* KeyedRowKindName(KeyedRowKind kind);
bool KeyedRowKindSupported(KeyedRowKind kind);

// out[i] = in[i] unless low <= in[i] <= high, for i in [0, n). in and out must not overlap. With low > high no
// pixel is transparent. True when a pixel of out changed.
bool KeyedRow(const uint16_t* in, uint16_t* out, int n, uint16_t low, uint16_t high);
// The same with a chosen kind (tests compare them); the kind must be supported.
bool KeyedRowWith(KeyedRowKind kind, const uint16_t* in, uint16_t* out, int n, uint16_t low, uint16_t high);

// Copies a row, storing only what differs; true when something did. The two must not overlap.
bool CopyRowIfChanged(const uint16_t* in, uint16_t* out, int n);
bool CopyRowIfChangedWith(KeyedRowKind kind, const uint16_t* in, uint16_t* out, int n);

// The spans of pixels outside the key range, row by row.
class OpaqueRuns {
 public:
  void Build(const uint16_t* pixels, int pitchPixels, int width, int height, uint16_t low, uint16_t high);
  // Copies the opaque pixels of the part (sx, sy, w, h) of the picture the runs were built from to out, whose first
  // pixel receives (sx, sy). True when a pixel of out changed; then *firstRow and *lastRow are the first and last
  // rows of the part (0 .. h - 1) in which one did.
  bool Copy(const uint16_t* pixels, int pitchPixels, int sx, int sy, int w, int h, uint16_t* out, int outPitchPixels,
            int* firstRow = nullptr, int* lastRow = nullptr) const;
  // The same with a chosen kind (tests compare them); the kind must be supported.
  bool CopyWith(KeyedRowKind kind, const uint16_t* pixels, int pitchPixels, int sx, int sy, int w, int h,
                uint16_t* out, int outPitchPixels, int* firstRow = nullptr, int* lastRow = nullptr) const;
  // Mean opaque span length; short spans are copied faster by KeyedRow.
  double MeanRunLength() const { return meanRunLength_; }
  size_t RunCount() const { return runs_.size(); }

  struct Run {
    uint16_t x, length, y;
  };

 private:
  int width_ = 0;
  std::vector<uint32_t> rowStart_;  // index of each row's first run; one more entry than rows
  std::vector<Run> runs_;
  uint64_t opaquePixels_ = 0;
  double meanRunLength_ = 0.0;
};

}  // namespace platform
