// DES, AES and the digest core against published vectors and against OpenSSL on random inputs.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "aes.h"
#include "des.h"
#include "md5_digest.h"
#include "openssl_oracle.h"

namespace velt::mvencode {
namespace {

using test::Bytes;
using test::FromHex;
using test::ToHex;

Bytes RandomBytes(std::mt19937& rng, std::size_t n) {
  Bytes b(n);
  for (auto& c : b) c = static_cast<unsigned char>(rng());
  return b;
}

Bytes DesEncrypt(const Bytes& key, const Bytes& block) {
  DesKeySchedule ks;
  DesSetKey(key.data(), ks);
  Bytes out(8);
  DesEncryptBlock(ks, block.data(), out.data());
  return out;
}

// ---- DES ----

struct DesVector {
  const char* key;
  const char* plain;
  const char* cipher;
};

// Known answers of the standard's validation suite (variable plaintext, variable key) and the
// classic worked examples.
const DesVector kDesVectors[] = {
    {"0101010101010101", "8000000000000000", "95f8a5e5dd31d900"},
    {"0101010101010101", "4000000000000000", "dd7f121ca5015619"},
    {"8001010101010101", "0000000000000000", "95a8d72813daa94d"},
    {"4001010101010101", "0000000000000000", "0eec1487dd8c26d5"},
    {"0123456789abcdef", "4e6f772069732074", "3fa40e8a984d4815"},
    {"133457799bbcdff1", "0123456789abcdef", "85e813540f0ab405"},
};

TEST(Des, KnownAnswersBothWays) {
  for (const auto& v : kDesVectors) {
    SCOPED_TRACE(v.key);
    DesKeySchedule ks;
    DesSetKey(FromHex(v.key).data(), ks);
    unsigned char out[8];
    DesEncryptBlock(ks, FromHex(v.plain).data(), out);
    EXPECT_EQ(ToHex(out, 8), v.cipher);
    DesDecryptBlock(ks, FromHex(v.cipher).data(), out);
    EXPECT_EQ(ToHex(out, 8), v.plain);
  }
}

TEST(Des, ParityBitsAreIgnored) {
  const Bytes block = FromHex("0123456789abcdef");
  Bytes key = FromHex("133457799bbcdff1");
  const Bytes expected = DesEncrypt(key, block);
  for (auto& b : key) b ^= 1;
  EXPECT_EQ(DesEncrypt(key, block), expected);
}

TEST(Des, MatchesOpenSslOnRandomKeysAndBlocks) {
  std::mt19937 rng(1);
  for (int i = 0; i < 500; ++i) {
    const Bytes key = RandomBytes(rng, 8);
    const Bytes data = RandomBytes(rng, 8 * (1 + i % 8));
    DesKeySchedule ks;
    DesSetKey(key.data(), ks);
    Bytes ours(data.size());
    Bytes back(data.size());
    for (std::size_t b = 0; b < data.size(); b += 8) {
      DesEncryptBlock(ks, data.data() + b, ours.data() + b);
      DesDecryptBlock(ks, ours.data() + b, back.data() + b);
    }
    ASSERT_EQ(ToHex(ours), ToHex(test::OpenSslCrypt("DES-ECB", key, {}, data, true))) << ToHex(key);
    ASSERT_EQ(back, data);
  }
}

// ---- AES ----

struct AesVector {
  const char* key;
  const char* plain;
  const char* cipher;
};

// FIPS-197 Appendix B and C.1-C.3.
const AesVector kAesVectors[] = {
    {"2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734", "3925841d02dc09fbdc118597196a0b32"},
    {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff", "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {"000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
     "dda97ca4864cdfe06eaf70a0ec0d7191"},
    {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "00112233445566778899aabbccddeeff",
     "8ea2b7ca516745bfeafc49904b496089"},
};

TEST(Aes, Fips197VectorsBothWays) {
  for (const auto& v : kAesVectors) {
    SCOPED_TRACE(v.key);
    const Bytes key = FromHex(v.key);
    AesKeySchedule enc;
    AesKeySchedule dec;
    ASSERT_TRUE(AesSetEncryptKey(key.data(), key.size(), enc));
    AesSetDecryptKey(enc, dec);
    unsigned char out[16];
    AesEncryptBlock(enc, FromHex(v.plain).data(), out);
    EXPECT_EQ(ToHex(out, 16), v.cipher);
    AesDecryptBlock(dec, FromHex(v.cipher).data(), out);
    EXPECT_EQ(ToHex(out, 16), v.plain);
  }
}

TEST(Aes, RejectsKeySizesOfNoVariant) {
  const Bytes key(40, 7);
  AesKeySchedule ks;
  for (std::size_t size : {0u, 8u, 15u, 17u, 20u, 28u, 33u, 40u}) EXPECT_FALSE(AesSetEncryptKey(key.data(), size, ks));
}

TEST(Aes, MatchesOpenSslOnRandomKeysAndBlocks) {
  std::mt19937 rng(2);
  const char* names[] = {"AES-128-ECB", "AES-192-ECB", "AES-256-ECB"};
  for (int i = 0; i < 600; ++i) {
    const std::size_t keyBytes = 16 + 8 * (i % 3);
    const Bytes key = RandomBytes(rng, keyBytes);
    const Bytes data = RandomBytes(rng, 16 * (1 + i % 5));
    AesKeySchedule enc;
    AesKeySchedule dec;
    ASSERT_TRUE(AesSetEncryptKey(key.data(), key.size(), enc));
    AesSetDecryptKey(enc, dec);
    Bytes ours(data.size());
    Bytes back(data.size());
    for (std::size_t b = 0; b < data.size(); b += 16) {
      AesEncryptBlock(enc, data.data() + b, ours.data() + b);
      AesDecryptBlock(dec, ours.data() + b, back.data() + b);
    }
    ASSERT_EQ(ToHex(ours), ToHex(test::OpenSslCrypt(names[i % 3], key, {}, data, true))) << ToHex(key);
    ASSERT_EQ(back, data);
  }
}

// ---- digest core ----

std::string Md5Hex(const std::string& text, const std::uint32_t* init = kMd5StandardInit) {
  unsigned char out[16];
  Md5Digest(reinterpret_cast<const unsigned char*>(text.data()), text.size(), init, out);
  return ToHex(out, 16);
}

TEST(Md5Digest, StandardInitialValueReproducesRfc1321Suite) {
  const std::pair<std::string, std::string> suite[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& [text, digest] : suite) EXPECT_EQ(Md5Hex(text), digest) << '"' << text << '"';
}

// Lengths around the padding boundaries (55/56/63/64 and multiples) are where MD5 cores break.
TEST(Md5Digest, MatchesOpenSslAcrossPaddingBoundaries) {
  std::mt19937 rng(3);
  for (std::size_t n = 0; n <= 300; ++n) {
    const Bytes data = RandomBytes(rng, n);
    unsigned char out[16];
    Md5Digest(data.data(), data.size(), kMd5StandardInit, out);
    ASSERT_EQ(ToHex(out, 16), ToHex(test::OpenSslMd5(data))) << "length " << n;
  }
}

TEST(Md5Digest, InitialValueIsTheOnlyDifference) {
  const std::uint32_t other[4] = {1, 2, 3, 4};
  EXPECT_NE(Md5Hex("abc", other), Md5Hex("abc"));
  const std::uint32_t standardCopy[4] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u};
  EXPECT_EQ(Md5Hex("abc", standardCopy), "900150983cd24fb0d6963f7d28e17f72");
}

}  // namespace
}  // namespace velt::mvencode
