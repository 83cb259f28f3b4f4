// DES block cipher (FIPS 46-3) used by the type-1 encoding: key schedule and one-block transforms.
#pragma once

#include <cstdint>

namespace velt::mvencode {

// Round subkeys split for the SP-box lookups: `even` holds the 6-bit chunks of S-boxes 1, 3, 5, 7
// and `odd` those of S-boxes 2, 4, 6, 8, each placed where the rotated right half meets them.
struct DesKeySchedule {
  std::uint32_t even[16];
  std::uint32_t odd[16];
};

// Parity bits of the key are ignored, as in the standard.
void DesSetKey(const unsigned char key[8], DesKeySchedule& schedule);
void DesEncryptBlock(const DesKeySchedule& schedule, const unsigned char in[8], unsigned char out[8]);
void DesDecryptBlock(const DesKeySchedule& schedule, const unsigned char in[8], unsigned char out[8]);

}  // namespace velt::mvencode
