#include "platform/video/block_store.h"

#include <cstring>
#include <functional>
#include <new>
#include <string_view>

namespace platform {

namespace {

constexpr size_t kBlockBytes = BlockStore::kPixels * sizeof(uint16_t);

uint64_t HashOf(const uint16_t* pixels) {
  return std::hash<std::string_view>{}(std::string_view(reinterpret_cast<const char*>(pixels), kBlockBytes));
}

}  // namespace

BlockStore& BlockStore::Shared() {
  static BlockStore* const store = new BlockStore;
  return *store;
}

uint32_t BlockStore::Hold(const uint16_t* pixels) {
  const uint64_t hash = HashOf(pixels);
  std::lock_guard<std::mutex> lock(mutex_);
  auto [from, to] = byContent_.equal_range(hash);
  for (auto it = from; it != to; ++it) {
    if (std::memcmp(Slot(it->second), pixels, kBlockBytes) == 0) {
      ++holds_[it->second];
      return it->second;
    }
  }
  uint32_t number;
  if (!free_.empty()) {
    number = free_.back();
    free_.pop_back();
  } else {
    number = static_cast<uint32_t>(holds_.size());
    if ((number >> kChunkBits) >= chunkCount_) {
      if (chunkCount_ == kMaxChunks) return 0;
      chunks_[chunkCount_++].store(
          static_cast<uint16_t*>(::operator new((kChunkMask + 1) * kBlockBytes, std::align_val_t{64})),
          std::memory_order_relaxed);
    }
    holds_.push_back(0);
  }
  std::memcpy(Slot(number), pixels, kBlockBytes);
  holds_[number] = 1;
  byContent_.emplace(hash, number);
  return number;
}

void BlockStore::Release(const std::vector<uint32_t>& numbers) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (uint32_t number : numbers) {
    if (number == 0 || --holds_[number] != 0) continue;
    auto [from, to] = byContent_.equal_range(HashOf(Slot(number)));
    for (auto it = from; it != to; ++it) {
      if (it->second == number) {
        byContent_.erase(it);
        break;
      }
    }
    free_.push_back(number);
  }
}

size_t BlockStore::HeldCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return holds_.size() - 1 - free_.size();
}

size_t BlockStore::BytesTaken() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return chunkCount_ * (kChunkMask + 1) * kBlockBytes;
}

}  // namespace platform
