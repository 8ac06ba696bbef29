#pragma once
// A large keyed picture held as a list of shared 32-pixel blocks, row by row: the blocks that are all key are
// left out, and a block that recurs (in the picture, or in the other frames of its animation) is read from one
// place. Copying the bull's sixteen frames reads a quarter of the memory their pixels take, so they no longer
// wait on main memory.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/video/keyed_blit.h"

namespace platform {

class KeyedBlocks {
 public:
  KeyedBlocks() = default;
  ~KeyedBlocks();
  KeyedBlocks(const KeyedBlocks&) = delete;
  KeyedBlocks& operator=(const KeyedBlocks&) = delete;

  // Takes the picture's blocks for the key range low..high (low <= high). False when the shared store is full;
  // then nothing is held and the picture must be copied another way.
  bool Build(const uint16_t* pixels, int pitchPixels, int width, int height, uint16_t low, uint16_t high);
  // Copies the opaque pixels of the part (sx, sy, w, h) of the picture to out, whose first pixel receives (sx, sy).
  // True when a pixel of out changed; then *firstRow and *lastRow are the first and last rows of the part
  // (0 .. h - 1) in which one did.
  bool Copy(int sx, int sy, int w, int h, uint16_t* out, int outPitchPixels, int* firstRow = nullptr,
            int* lastRow = nullptr) const;
  // The same with a chosen kind (tests compare them); the kind must be supported.
  bool CopyWith(KeyedRowKind kind, int sx, int sy, int w, int h, uint16_t* out, int outPitchPixels,
                int* firstRow = nullptr, int* lastRow = nullptr) const;
  // Blocks listed, the all-key ones between opaque ones included.
  size_t BlockCount() const { return blocks_.size(); }

  struct Layout {
    const uint32_t* rowStart;        // index of each row's first block; one more entry than rows
    const uint16_t* rowFirstColumn;  // the column (x / 32) of each row's first block
    const uint16_t* const* blocks;   // each block's pixels; null for a block that is all key
    int width;
    uint16_t low, high;
  };

 private:
  void Clear();

  int width_ = 0;
  uint16_t low_ = 0, high_ = 0;
  std::vector<uint32_t> rowStart_;
  std::vector<uint16_t> rowFirstColumn_;
  std::vector<uint32_t> blocks_;          // numbers in the shared store; 0 for a block that is all key
  std::vector<const uint16_t*> pixels_;  // where each block's pixels are: one load a block in the copy loop
};

}  // namespace platform
