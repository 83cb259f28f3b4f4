// SHA-1 (FIPS 180-4) for the sign-on tickets: a streaming digest with no allocation, so a ticket is
// signed and checked with stack data alone.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velt {

class TSha1 {
 public:
  static constexpr std::size_t kDigestSize = 20;

  TSha1() noexcept { Reset(); }
  void Reset() noexcept;
  void Update(const void* data, std::size_t size) noexcept;
  // Writes the digest in standard (big-endian) byte order and leaves the object reset.
  void Final(unsigned char digest[kDigestSize]) noexcept;

  static void Digest(const void* data, std::size_t size, unsigned char digest[kDigestSize]) noexcept;

 private:
  void Compress(const unsigned char block[64]) noexcept;

  std::uint32_t state_[5];
  std::uint64_t totalBytes_;
  unsigned char pending_[64];
  std::size_t pendingSize_;
};

}  // namespace velt
