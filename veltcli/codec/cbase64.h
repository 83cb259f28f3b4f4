// CBase64: the codec object of binary request and answer values. It owns its output text and
// does the work through the platform's one Base64 codec.
#pragma once

#include <cstddef>

#include "codec/grow_buffer.h"

class CBase64 {
 public:
  CBase64() = default;
  CBase64(const CBase64&) = delete;
  CBase64& operator=(const CBase64&) = delete;

  // The zero-terminated Base64 text of the bytes (standard alphabet, "=" fill, no line breaks),
  // held by this object until the next Encode or its end; null when the buffer cannot be had.
  const char* Encode(const unsigned char* data, std::size_t length, std::size_t* textLength) noexcept;

  // Decodes `text`, skipping every character outside the alphabet, into `out` (at most
  // `outSize` - 1 bytes, then a zero byte). Returns the byte count, which may be decoded in
  // place (out == text). Needs outSize >= 1.
  static std::size_t Decode(const char* text, std::size_t length, unsigned char* out, std::size_t outSize) noexcept;

 private:
  velt::GrowBuffer text_;
};
