// AES block cipher (FIPS-197) used by types 3 and 6: key schedules and one-block transforms.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velt::mvencode {

// Round keys as big-endian column words; a decryption schedule holds the equivalent inverse
// cipher's keys (InvMixColumns applied to the inner ones) in the order they are used.
struct AesKeySchedule {
  std::uint32_t words[60];
  int rounds;  // 10, 12 or 14
};

// `keyBytes` must be 16, 24 or 32; returns false otherwise and leaves the schedule unset.
bool AesSetEncryptKey(const unsigned char* key, std::size_t keyBytes, AesKeySchedule& schedule);
// Derives the decryption schedule from an encryption schedule.
void AesSetDecryptKey(const AesKeySchedule& encrypt, AesKeySchedule& decrypt);

void AesEncryptBlock(const AesKeySchedule& schedule, const unsigned char in[16], unsigned char out[16]);
void AesDecryptBlock(const AesKeySchedule& schedule, const unsigned char in[16], unsigned char out[16]);

}  // namespace velt::mvencode
