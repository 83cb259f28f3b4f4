// RC5-32/12/16 against published vectors, both directions.
#include <gtest/gtest.h>

#include <string>

#include "rc5_cipher.h"

namespace {

std::string Hex(const unsigned char* p, std::size_t n) {
  static const char* digits = "0123456789abcdef";
  std::string s;
  for (std::size_t i = 0; i < n; ++i) {
    s.push_back(digits[p[i] >> 4]);
    s.push_back(digits[p[i] & 15]);
  }
  return s;
}

void Bytes(const std::string& hex, unsigned char* out) {
  for (std::size_t i = 0; i < hex.size() / 2; ++i) out[i] = static_cast<unsigned char>(std::stoi(hex.substr(2 * i, 2), nullptr, 16));
}

struct Vector {
  const char* key;
  const char* plain;
  const char* cipher;
};

// Bytes as stored (the cipher reads them as little-endian words). The last two rows are the first
// two examples of Rivest's paper, the second encrypting the first one's result.
const Vector kVectors[] = {
    {"000102030405060708090a0b0c0d0e0f", "0001020304050607", "c8d3b3c486700cfa"},
    {"42424242424242424242424242424242", "4242424242424242", "82151ff806a10919"},
    {"000102030405060708090a0b0c0d0e0f", "96950dda654a3d62", "0011223344556677"},
    {"2bd6459f82c5b300952c49104881ff48", "638b3a5ef72b663f", "ea024714ad5c4d84"},
    {"00000000000000000000000000000000", "0000000000000000", "21a5dbee154b8f6d"},
    {"915f4619be41b2516355a50110a9ce91", "21a5dbee154b8f6d", "f7c013ac5b2b8952"},
};

TEST(Rc5Cipher, MatchesThePublishedVectors) {
  for (const Vector& v : kVectors) {
    unsigned char key[16], block[8];
    Bytes(v.key, key);
    Bytes(v.plain, block);
    const velt::encrypt::Rc5Cipher cipher(key, sizeof key);
    cipher.EncryptBlock(block);
    EXPECT_EQ(Hex(block, 8), v.cipher) << v.key;
    cipher.DecryptBlock(block);
    EXPECT_EQ(Hex(block, 8), v.plain) << v.key;
  }
}

TEST(Rc5Cipher, KeyLengthMatters) {
  // A key is its bytes, not its bytes padded: "Wharf" and "Wharf" + eleven zeros differ.
  const unsigned char key[16] = {'W', 'h', 'a', 'r', 'f'};
  unsigned char a[8] = {}, b[8] = {};
  velt::encrypt::Rc5Cipher(key, 5).EncryptBlock(a);
  velt::encrypt::Rc5Cipher(key, 16).EncryptBlock(b);
  EXPECT_NE(Hex(a, 8), Hex(b, 8));
}

}  // namespace
