#pragma once
// Blocks of 32 pixels kept once for the whole process, however many pictures hold them. The frames of an animation
// repeat most of each other, so their pixels held as shared blocks take a fraction of the memory to read.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace platform {

class BlockStore {
 public:
  static constexpr int kPixels = 32;  // 64 bytes: one cache line

  // The one store of the process. It is never destroyed, so pictures released at exit can still give theirs back.
  static BlockStore& Shared();

  // The number of a block with these pixels, from now on held once more; 0 when the store is full.
  uint32_t Hold(const uint16_t* pixels);
  // Gives back one hold of each (0 is skipped); a block no one holds is forgotten and its place used again.
  void Release(const std::vector<uint32_t>& numbers);
  // The block's pixels, on a cache line. Valid while it is held; needs no lock.
  const uint16_t* Pixels(uint32_t number) const {
    return chunks_[number >> kChunkBits].load(std::memory_order_relaxed) +
           static_cast<size_t>(number & kChunkMask) * kPixels;
  }
  // Blocks held now, and the bytes the store has taken (for tests and measurements).
  size_t HeldCount() const;
  size_t BytesTaken() const;

  BlockStore() = default;
  BlockStore(const BlockStore&) = delete;
  BlockStore& operator=(const BlockStore&) = delete;

 private:
  static constexpr uint32_t kChunkBits = 12;  // 4096 blocks, 256 KB a chunk
  static constexpr uint32_t kChunkMask = (1u << kChunkBits) - 1;
  static constexpr size_t kMaxChunks = 1024;  // 256 MB at most

  uint16_t* Slot(uint32_t number) {
    return chunks_[number >> kChunkBits].load(std::memory_order_relaxed) +
           static_cast<size_t>(number & kChunkMask) * kPixels;
  }

  mutable std::mutex mutex_;
  // Chunks never move, so a block read needs no lock; a chunk's pointer is set once, before any block in it is
  // handed out, and the holder learnt the block's number under the lock.
  std::atomic<uint16_t*> chunks_[kMaxChunks] = {};
  size_t chunkCount_ = 0;
  std::vector<uint32_t> holds_{0};  // by number; number 0 is never a block
  std::vector<uint32_t> free_;
  std::unordered_multimap<uint64_t, uint32_t> byContent_;  // a hash of the pixels to the blocks that have it
};

}  // namespace platform
