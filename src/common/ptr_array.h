#pragma once
// The program's one list type: a growable array of element pointers that never owns its elements.
#include <cstdint>
#include <cstring>

template <typename T>
class PtrArray {
 public:
  explicit PtrArray(int32_t initialCapacity = 1)
      : count_(0), capacity_(initialCapacity < 1 ? 1 : initialCapacity), storage_(NewBlock(capacity_)) {}
  ~PtrArray() { delete[] storage_; }
  PtrArray(const PtrArray&) = delete;
  PtrArray& operator=(const PtrArray&) = delete;

  T* Push(T* element) {
    if (count_ == capacity_) {
      T** bigger = NewBlock(capacity_ * 2);
      std::memcpy(bigger, storage_, sizeof(T*) * static_cast<size_t>(capacity_));
      delete[] storage_;
      storage_ = bigger;
      capacity_ *= 2;
    }
    storage_[count_++] = element;
    return element;
  }

  int32_t Count() const { return count_; }
  T* Get(int32_t index) const { return storage_[index]; }
  T* Set(int32_t index, T* element) { return storage_[index] = element; }

  // Removes the first occurrence by identity; the slot past the new end keeps its stale pointer.
  void Remove(T* element) {
    for (int32_t i = 0; i < count_; ++i) {
      if (storage_[i] == element) {
        --count_;
        for (int32_t j = i; j < count_; ++j) storage_[j] = storage_[j + 1];
        return;
      }
    }
  }

  void DeleteAll() {
    for (int32_t i = 0; i < count_; ++i) {
      delete storage_[i];
      storage_[i] = nullptr;
    }
    count_ = 0;
  }

  // For plain records (created with new by their owner) whose destructor does nothing of interest.
  void FreeAll() {
    for (int32_t i = 0; i < count_; ++i) {
      delete storage_[i];
      storage_[i] = nullptr;
    }
    count_ = 0;
  }

  void Reset() {
    for (int32_t i = 0; i < capacity_; ++i) storage_[i] = nullptr;
    count_ = 0;
  }

 private:
  static T** NewBlock(int32_t n) {
    T** block = new T*[static_cast<size_t>(n)];
    for (int32_t i = 0; i < n; ++i) block[i] = nullptr;
    return block;
  }

  int32_t count_;
  int32_t capacity_;
  T** storage_;
};
