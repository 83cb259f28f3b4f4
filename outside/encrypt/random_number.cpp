// RandomNo's number: uniform over the 16-digit numbers, by rejection from 64 random bits.
#include <cstdint>
#include <cstring>

#include "text_ciphers.h"
#include "platform/secure_wipe.h"

namespace velt::encrypt {

TextResult RandomNumber() {
  constexpr std::uint64_t kLow = 1000000000000000ull;    // 10^15
  constexpr std::uint64_t kSpan = 9 * kLow;              // how many 16-digit numbers there are
  // The largest multiple of kSpan that 64 bits hold: values at or above it would favour the low end.
  constexpr std::uint64_t kLimit = UINT64_MAX - UINT64_MAX % kSpan;
  std::uint64_t v = 0;
  do {
    unsigned char bytes[8];
    if (!RandomBytes(bytes, sizeof bytes)) return ENCRYPT_E_CRYPTO;
    std::memcpy(&v, bytes, sizeof v);
    platform::SecureWipe(bytes, sizeof bytes);
  } while (v >= kLimit);
  TextResult r;
  r.text = std::to_string(kLow + v % kSpan);
  platform::SecureWipe(&v, sizeof v);
  return r;
}

}  // namespace velt::encrypt
