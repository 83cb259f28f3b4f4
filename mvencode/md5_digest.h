// MD5 (RFC 1321) with the four initial chaining words as a parameter: the encoder's digest uses its
// own initial value (types 2 and 6); the standard one proves the core against the RFC's vectors.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velt::mvencode {

constexpr std::uint32_t kMd5StandardInit[4] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u};

// Writes the 16-byte digest of data[0..size) (the final words, each little-endian) to `out`.
void Md5Digest(const unsigned char* data, std::size_t size, const std::uint32_t init[4], unsigned char out[16]);

}  // namespace velt::mvencode
