// A growable byte area through the allocation gate, for the codec's session-owned buffers (cell
// values, column names, the table list, returned values). Header-only: the session frees it.
#pragma once

#include <climits>
#include <cstddef>

#include "support/alloc_hook.h"

namespace velt {

class GrowBuffer {
 public:
  GrowBuffer() = default;
  ~GrowBuffer() { Free(); }
  GrowBuffer(const GrowBuffer&) = delete;
  GrowBuffer& operator=(const GrowBuffer&) = delete;

  // Makes room for `bytes` bytes, keeping the content; false (content kept) when memory fails.
  bool Reserve(std::size_t bytes) noexcept {
    if (bytes <= capacity_) return true;
    if (bytes > static_cast<std::size_t>(INT_MAX)) return false;
    void* grown = Reallocate(data_, bytes);
    if (grown == nullptr) return false;
    data_ = static_cast<char*>(grown);
    capacity_ = bytes;
    return true;
  }
  // As Reserve, growing at least by half, so that repeated appends stay linear.
  bool ReserveGeometric(std::size_t bytes) noexcept {
    if (bytes <= capacity_) return true;
    const std::size_t half = capacity_ + capacity_ / 2;
    return Reserve(bytes < half && half <= static_cast<std::size_t>(INT_MAX) ? half : bytes);
  }
  void Free() noexcept {
    Release(data_);
    data_ = nullptr;
    capacity_ = 0;
  }

  char* Data() noexcept { return data_; }
  const char* Data() const noexcept { return data_; }
  std::size_t Capacity() const noexcept { return capacity_; }

 private:
  char* data_ = nullptr;
  std::size_t capacity_ = 0;
};

}  // namespace velt
