// RC5-32/12/b: the block cipher with 32-bit words, 12 rounds and a key of 0..255 bytes, on one
// 8-byte block at a time. OpenSSL 3 as shipped by Debian has no RC5, so it lives here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace velt::encrypt {

class Rc5Cipher {
 public:
  static constexpr std::size_t kBlockBytes = 8;
  static constexpr std::size_t kMaxKeyBytes = 255;

  // `keyLength` must not exceed kMaxKeyBytes (the caller checks).
  Rc5Cipher(const unsigned char* key, std::size_t keyLength) noexcept;
  ~Rc5Cipher();   // wipes the key schedule
  Rc5Cipher(const Rc5Cipher&) = delete;
  Rc5Cipher& operator=(const Rc5Cipher&) = delete;

  // Blocks are stored bytes; the cipher reads them as two little-endian words.
  void EncryptBlock(unsigned char block[kBlockBytes]) const noexcept;
  void DecryptBlock(unsigned char block[kBlockBytes]) const noexcept;

 private:
  static constexpr int kRounds = 12;
  std::array<std::uint32_t, 2 * kRounds + 2> s_{};
};

}  // namespace velt::encrypt
