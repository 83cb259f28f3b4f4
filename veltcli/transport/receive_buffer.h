// The transport's answer reassembly area: heap bytes that start at 32672 and grow in steps of
// 32672, brought back to the start size at the beginning of every exchange.
#pragma once

#include <cstddef>

#include "support/alloc_hook.h"

namespace velt {

// The most text one answer part may join (a part is normally at most eight packets, 31664 bytes;
// with option 17 off a whole answer is one part): past it the exchange refuses the answer.
inline constexpr std::size_t kMaxAnswerPartBytes = 64u << 20;

class ReceiveBuffer {
 public:
  static constexpr std::size_t kStep = 32672;

  ReceiveBuffer() = default;
  ~ReceiveBuffer() { Release(data_); }
  ReceiveBuffer(const ReceiveBuffer&) = delete;
  ReceiveBuffer& operator=(const ReceiveBuffer&) = delete;

  // Back to exactly kStep bytes (a buffer of another size is given back first). False on memory.
  bool Reset() noexcept {
    if (data_ != nullptr && capacity_ == kStep) return true;
    Release(data_);
    capacity_ = 0;
    data_ = static_cast<char*>(Allocate(kStep));
    if (data_ == nullptr) return false;
    capacity_ = kStep;
    return true;
  }
  // Room for at least `bytes`, keeping the content, in whole steps. False on memory (kept as is).
  bool Reserve(std::size_t bytes) noexcept {
    if (bytes <= capacity_ && data_ != nullptr) return true;
    std::size_t want = capacity_ == 0 ? kStep : capacity_;
    while (want < bytes) want += kStep;
    char* grown = static_cast<char*>(Reallocate(data_, want));
    if (grown == nullptr) return false;
    data_ = grown;
    capacity_ = want;
    return true;
  }

  char* Data() noexcept { return data_; }
  std::size_t Capacity() const noexcept { return capacity_; }

 private:
  char* data_ = nullptr;
  std::size_t capacity_ = 0;
};

}  // namespace velt
