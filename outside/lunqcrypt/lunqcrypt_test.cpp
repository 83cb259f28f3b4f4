// EncryptPassword: a stable, bounded, printable, one-way text.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "lunqcrypt.h"

namespace {

std::string Transform(const char* user, const char* password, int size = 33) {
  char out[64];
  std::memset(out, '#', sizeof out);
  EXPECT_EQ(EncryptPassword(user, password, out, size), LUNQCRYPT_OK);
  return std::string(out);
}

TEST(EncryptPassword, IsThirtyTwoBase64CharactersAndStable) {
  const std::string text = Transform("RIMQ00", "462017");
  ASSERT_EQ(text.size(), 32u);
  EXPECT_EQ(text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"),
            std::string::npos);
  EXPECT_EQ(Transform("RIMQ00", "462017"), text);
  // Servers recompute this text: a change of key or construction breaks every deployment.
  // (HMAC-SHA-256 of "RIMQ00", a zero byte and "462017", computed outside the library.)
  EXPECT_EQ(text, "UuQtAZMXq6RsOgRJfFuBRdVq0cTTBnfV");
}

TEST(EncryptPassword, DependsOnUserAndPasswordAndNeverShowsThePassword) {
  const char* pairs[][2] = {{"ab", "c"}, {"a", "bc"}, {"abc", ""}, {"", "abc"}, {"user", "secret"},
                            {"USER", "secret"}, {"user", "Secret"}, {"", ""}};
  std::set<std::string> texts;
  for (const auto& p : pairs) {
    const std::string text = Transform(p[0], p[1]);
    if (std::strlen(p[1]) >= 6) {
      EXPECT_EQ(text.find(p[1]), std::string::npos) << p[1];
    }
    texts.insert(text);
  }
  EXPECT_EQ(texts.size(), sizeof pairs / sizeof pairs[0]);
  // A password of exactly 32 Base64 characters is still transformed.
  const char* lookalike = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef";
  EXPECT_NE(Transform("u", lookalike), lookalike);
}

TEST(EncryptPassword, WritesNothingPastTheGivenSize) {
  const std::string full = Transform("user", "secret");
  for (int size : {1, 2, 12, 32, 33}) {
    char out[40];
    std::memset(out, '#', sizeof out);
    ASSERT_EQ(EncryptPassword("user", "secret", out, size), LUNQCRYPT_OK);
    const std::size_t expected = static_cast<std::size_t>(size < 33 ? size - 1 : 32);
    EXPECT_EQ(std::strlen(out), expected) << size;
    EXPECT_EQ(std::string(out), full.substr(0, expected)) << size;
    for (int i = size; i < 40; ++i) ASSERT_EQ(out[i], '#') << "size " << size << " byte " << i;
  }
}

TEST(EncryptPassword, RefusesAMissingAreaAndTreatsNullTextsAsEmpty) {
  char out[33] = "unchanged";
  EXPECT_EQ(EncryptPassword("u", "p", nullptr, 33), LUNQCRYPT_ERR_ARGUMENT);
  EXPECT_EQ(EncryptPassword("u", "p", out, 0), LUNQCRYPT_ERR_ARGUMENT);
  EXPECT_STREQ(out, "unchanged");
  EXPECT_EQ(Transform(nullptr, nullptr), Transform("", ""));
}

}  // namespace
