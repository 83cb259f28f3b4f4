// SHA-1: the FIPS 180 example messages, and agreement with OpenSSL on random messages fed in
// random pieces (block boundaries and padding of every length).
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "armorrt/src/security/tsha1.h"
#include "lyrsso_test_support.h"

namespace {

std::string Hex(const unsigned char* p, std::size_t n) {
  static const char kDigits[] = "0123456789abcdef";
  std::string s;
  for (std::size_t i = 0; i < n; ++i) {
    s += kDigits[p[i] >> 4];
    s += kDigits[p[i] & 15];
  }
  return s;
}

std::string Sha1Hex(const std::string& message) {
  unsigned char digest[velt::TSha1::kDigestSize];
  velt::TSha1::Digest(message.data(), message.size(), digest);
  return Hex(digest, sizeof digest);
}

TEST(TSha1, Fips180Examples) {
  EXPECT_EQ(Sha1Hex("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
  EXPECT_EQ(Sha1Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "84983e441c3bd26ebaae4aa1f95129e5e54670f1");
  EXPECT_EQ(Sha1Hex(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
}

TEST(TSha1, MillionAInPieces) {
  velt::TSha1 sha;
  const std::string piece(1000, 'a');
  for (int i = 0; i < 1000; ++i) sha.Update(piece.data(), piece.size());
  unsigned char digest[velt::TSha1::kDigestSize];
  sha.Final(digest);
  EXPECT_EQ(Hex(digest, sizeof digest), "34aa973cd4c4daa4f61eeb2bdbad27316534016f");
}

TEST(TSha1, FinalResetsForTheNextMessage) {
  velt::TSha1 sha;
  unsigned char digest[velt::TSha1::kDigestSize];
  sha.Update("xyz", 3);
  sha.Final(digest);
  sha.Update("abc", 3);
  sha.Final(digest);
  EXPECT_EQ(Hex(digest, sizeof digest), "a9993e364706816aba3e25717850c26c9cd0d89d");
}

TEST(TSha1, AgreesWithOpenSslOnRandomMessages) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 2000; ++round) {
    std::vector<unsigned char> message(rng() % 300);
    for (auto& b : message) b = static_cast<unsigned char>(rng());
    velt::TSha1 sha;
    for (std::size_t at = 0; at < message.size();) {
      const std::size_t piece = std::min<std::size_t>(message.size() - at, rng() % 80);
      sha.Update(message.data() + at, piece);
      at += piece;
    }
    unsigned char digest[velt::TSha1::kDigestSize];
    sha.Final(digest);
    const auto expected = velt::lyrsso::test::OpenSslSha1(message.data(), message.size());
    ASSERT_EQ(std::vector<unsigned char>(digest, digest + sizeof digest), expected)
        << "length " << message.size();
  }
}

}  // namespace
