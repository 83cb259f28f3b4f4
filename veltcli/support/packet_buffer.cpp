// Packet buffer storage through the allocation gate.
#include "support/packet_buffer.h"

#include <climits>
#include <cstring>

#include "support/alloc_hook.h"

namespace velt {

PacketBuffer::PacketBuffer() noexcept { Reset(); }

PacketBuffer::~PacketBuffer() { Release(data_); }

bool PacketBuffer::Reset() noexcept {
  if (data_ != nullptr && capacity_ != kStartCapacity) {
    Release(data_);
    data_ = nullptr;
    capacity_ = 0;
  }
  if (data_ == nullptr) {
    data_ = static_cast<char*>(Allocate(kStartCapacity));
    if (data_ == nullptr) return false;
    capacity_ = kStartCapacity;
  }
  std::memset(data_, 0, static_cast<std::size_t>(capacity_));
  return true;
}

bool PacketBuffer::Grow(std::size_t capacity) noexcept {
  if (capacity <= static_cast<std::size_t>(capacity_)) return true;
  if (capacity > static_cast<std::size_t>(INT_MAX)) return false;
  char* grown = static_cast<char*>(Reallocate(data_, capacity));
  if (grown == nullptr) return false;
  std::memset(grown + capacity_, 0, capacity - static_cast<std::size_t>(capacity_));
  data_ = grown;
  capacity_ = static_cast<int>(capacity);
  return true;
}

void PacketBuffer::Free() noexcept {
  Release(data_);
  data_ = nullptr;
  capacity_ = 0;
}

int PacketBuffer::Length() const noexcept {
  if (data_ == nullptr) return 0;
  return static_cast<int>(strnlen(data_, static_cast<std::size_t>(capacity_)));
}

}  // namespace velt
