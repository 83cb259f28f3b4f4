// The session's packet buffer: one growable, zero-terminated text area holding the request being
// built and, after a call, the answer.
#pragma once

#include <cstddef>

namespace velt {

class PacketBuffer {
 public:
  static constexpr int kStartCapacity = 32000;

  // Allocates kStartCapacity zero bytes; when that fails the capacity is 0 and Text() is "".
  PacketBuffer() noexcept;
  ~PacketBuffer();
  PacketBuffer(const PacketBuffer&) = delete;
  PacketBuffer& operator=(const PacketBuffer&) = delete;

  // Brings the buffer back to kStartCapacity zero bytes (reallocating when its size differs).
  // False when no memory could be had; the buffer is then empty with capacity 0.
  bool Reset() noexcept;
  // Makes room for at least `capacity` bytes, keeping the text; the new bytes are zero.
  bool Grow(std::size_t capacity) noexcept;
  // Gives the memory back; the buffer is then empty with capacity 0.
  void Free() noexcept;

  char* Data() noexcept { return data_; }
  const char* Text() const noexcept { return data_ != nullptr ? data_ : ""; }
  int Capacity() const noexcept { return capacity_; }
  // Length of the text, never counting past the capacity.
  int Length() const noexcept;

 private:
  char* data_ = nullptr;
  int capacity_ = 0;
};

}  // namespace velt
