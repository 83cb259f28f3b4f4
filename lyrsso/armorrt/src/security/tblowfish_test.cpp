// Blowfish: the published test vectors and agreement with OpenSSL on random keys of every length
// the tickets use. The published vectors and OpenSSL write a block's two words big-endian; this
// cipher's byte interface reads them little-endian, so each 4-byte half is reversed before and
// after the byte-level comparisons (the word-level checks need no adjustment).
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "armorrt/src/security/tblowfish.h"
#include "lyrsso_test_support.h"

namespace {

using velt::TBlowfish;
using velt::lyrsso::test::OpenSslBlowfish;
using velt::lyrsso::test::SwapHalves;

std::vector<unsigned char> FromHex(const std::string& hex) {
  std::vector<unsigned char> out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(static_cast<unsigned char>(std::stoul(hex.substr(i, 2), nullptr, 16)));
  return out;
}

std::uint32_t Be32(const std::vector<unsigned char>& b, std::size_t at) {
  return (std::uint32_t{b[at]} << 24) | (std::uint32_t{b[at + 1]} << 16) | (std::uint32_t{b[at + 2]} << 8) |
         b[at + 3];
}

struct Vector {
  const char* key;  // hex, or text when `textKey`
  bool textKey;
  const char* plain;
  const char* cipher;
};

// Published Blowfish vectors, big-endian word order.
const Vector kVectors[] = {
    {"0000000000000000", false, "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", false, "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", false, "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", false, "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", false, "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", false, "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"FEDCBA9876543210", false, "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", false, "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", false, "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"abcdefghijklmnopqrstuvwxyz", true, "424C4F5746495348", "324ED0FEF413A203"},
    {"Who is John Galt?", true, "FEDCBA9876543210", "CC91732B8022F684"},
};

std::vector<unsigned char> KeyOf(const Vector& v) {
  if (!v.textKey) return FromHex(v.key);
  const std::string text = v.key;
  return std::vector<unsigned char>(text.begin(), text.end());
}

TEST(TBlowfish, PublishedVectorsAsWords) {
  for (const auto& v : kVectors) {
    const auto key = KeyOf(v);
    const auto plain = FromHex(v.plain), cipher = FromHex(v.cipher);
    TBlowfish bf;
    ASSERT_TRUE(bf.SetKey(key.data(), key.size()));
    std::uint32_t l = Be32(plain, 0), r = Be32(plain, 4);
    bf.EncryptWords(l, r);
    EXPECT_EQ(l, Be32(cipher, 0)) << v.key;
    EXPECT_EQ(r, Be32(cipher, 4)) << v.key;
    bf.DecryptWords(l, r);
    EXPECT_EQ(l, Be32(plain, 0)) << v.key;
    EXPECT_EQ(r, Be32(plain, 4)) << v.key;
  }
}

TEST(TBlowfish, PublishedVectorsAsLittleEndianBytes) {
  for (const auto& v : kVectors) {
    const auto key = KeyOf(v);
    auto data = FromHex(v.plain);
    auto expected = FromHex(v.cipher);
    SwapHalves(data);
    SwapHalves(expected);
    TBlowfish bf;
    ASSERT_TRUE(bf.SetKey(key.data(), key.size()));
    ASSERT_TRUE(bf.EncryptLittleEndian(data.data(), data.size()));
    EXPECT_EQ(data, expected) << v.key;
  }
}

TEST(TBlowfish, BigEndianBytesGiveAnotherResult) {
  // Guards the word order: feeding the published bytes unswapped must not reproduce the vector.
  const auto& v = kVectors[6];
  const auto key = KeyOf(v);
  auto data = FromHex(v.plain);
  TBlowfish bf;
  ASSERT_TRUE(bf.SetKey(key.data(), key.size()));
  ASSERT_TRUE(bf.EncryptLittleEndian(data.data(), data.size()));
  EXPECT_NE(data, FromHex(v.cipher));
}

TEST(TBlowfish, AgreesWithOpenSslOnRandomKeysAndBlocks) {
  std::mt19937 rng(77);
  for (int round = 0; round < 400; ++round) {
    std::vector<unsigned char> key(1 + rng() % 63);   // ticket keys are 2 to 63 bytes
    std::vector<unsigned char> data(8 * (1 + rng() % 4));
    for (auto& b : key) b = static_cast<unsigned char>(rng());
    for (auto& b : data) b = static_cast<unsigned char>(rng());

    auto expected = data;
    SwapHalves(expected);
    expected = OpenSslBlowfish(true, key, expected);
    SwapHalves(expected);

    TBlowfish bf;
    ASSERT_TRUE(bf.SetKey(key.data(), key.size()));
    auto ours = data;
    ASSERT_TRUE(bf.EncryptLittleEndian(ours.data(), ours.size()));
    ASSERT_EQ(ours, expected) << "key length " << key.size();
    ASSERT_TRUE(bf.DecryptLittleEndian(ours.data(), ours.size()));
    ASSERT_EQ(ours, data);
  }
}

TEST(TBlowfish, RefusesWhatItCannotDo) {
  TBlowfish bf;
  unsigned char block[8] = {};
  const unsigned char key[73] = {1};
  EXPECT_FALSE(bf.EncryptLittleEndian(block, sizeof block)) << "unkeyed";
  EXPECT_FALSE(bf.SetKey(key, 0));
  EXPECT_FALSE(bf.SetKey(nullptr, 8));
  EXPECT_FALSE(bf.SetKey(key, 73));
  EXPECT_FALSE(bf.EncryptLittleEndian(block, sizeof block)) << "a refused key leaves it unkeyed";
  ASSERT_TRUE(bf.SetKey(key, 72));
  EXPECT_FALSE(bf.EncryptLittleEndian(block, 7));
  EXPECT_FALSE(bf.DecryptLittleEndian(block, 12));
  EXPECT_TRUE(bf.EncryptLittleEndian(block, 0));
}

}  // namespace
