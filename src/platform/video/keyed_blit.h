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

// The spans of pixels outside the key range, row by row, their pixels held in the shared block store.
class OpaqueRuns {
 public:
  OpaqueRuns() = default;
  ~OpaqueRuns();
  OpaqueRuns(const OpaqueRuns&) = delete;
  OpaqueRuns& operator=(const OpaqueRuns&) = delete;
  // Gives the blocks back; the runs are empty until built again.
  void Clear();

  // False when the shared store is full; then nothing is held and the picture must be copied another way.
  bool Build(const uint16_t* pixels, int pitchPixels, int width, int height, uint16_t low, uint16_t high);
  // Copies the opaque pixels of the part (sx, sy, w, h) of the picture the runs were built from to out, whose first
  // pixel receives (sx, sy). True when a pixel of out changed; then *firstRow and *lastRow are the first and last
  // rows of the part (0 .. h - 1) in which one did.
  bool Copy(int sx, int sy, int w, int h, uint16_t* out, int outPitchPixels, int* firstRow = nullptr,
            int* lastRow = nullptr) const;
  // The same with a chosen kind (tests compare them); the kind must be supported.
  bool CopyWith(KeyedRowKind kind, int sx, int sy, int w, int h, uint16_t* out, int outPitchPixels,
                int* firstRow = nullptr, int* lastRow = nullptr) const;
  // Mean opaque span length; short spans are copied faster by KeyedRow.
  double MeanRunLength() const { return meanRunLength_; }
  // The same for a picture, without building anything.
  static double MeanRunLength(const uint16_t* pixels, int pitchPixels, int width, int height, uint16_t low,
                              uint16_t high);
  size_t RunCount() const { return runs_.size(); }

  struct Run {
    uint16_t x, length, y;
    uint32_t firstBlock;  // index in blocks_ of the span's first 32 pixels
  };

 private:
  int width_ = 0, height_ = 0;
  std::vector<uint32_t> rowStart_;  // index of each row's first run; one more entry than rows
  std::vector<Run> runs_;
  std::vector<uint32_t> blocks_;          // numbers in the shared store
  std::vector<const uint16_t*> pixels_;  // where each block's pixels are: one load a block in the copy loop
  uint64_t opaquePixels_ = 0;
  double meanRunLength_ = 0.0;
};

}  // namespace platform
