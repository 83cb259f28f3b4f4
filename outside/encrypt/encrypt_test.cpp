// The exported calls: round trips, the documented formats checked with OpenSSL directly, the size
// edges with guard bytes, and the argument and input codes.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "encrypt.h"
#include "rc5_cipher.h"
#include "text_ciphers.h"
#include "platform/base64.h"

namespace {

constexpr char kGuard = '#';
const char* kBase64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";

// A call writing into (out, size).
using Call = std::function<int(char*, int)>;

// Runs the call into an area of `size` bytes followed by guard bytes; fails the test when a guard
// byte changed. Returns the code and leaves the text in `text`.
int Guarded(const Call& call, int size, std::string& text) {
  std::vector<char> area(static_cast<std::size_t>(size) + 16, kGuard);
  const int code = call(area.data(), size);
  for (std::size_t i = static_cast<std::size_t>(size); i < area.size(); ++i) {
    EXPECT_EQ(area[i], kGuard) << "written past the area of " << size << " at " << i;
  }
  text.assign(area.data(), strnlen(area.data(), static_cast<std::size_t>(size)));
  return code;
}

std::string Ok(const Call& call, int size = 4096) {
  std::string text;
  EXPECT_EQ(Guarded(call, size, text), ENCRYPT_OK);
  return text;
}

std::vector<unsigned char> Decode(const std::string& text) {
  std::vector<unsigned char> bytes(velt::platform::Base64DecodedBound(text.size()));
  bytes.resize(velt::platform::Base64DecodeGrouped(text.data(), text.size(), bytes.data()).bytes);
  return bytes;
}

struct KeyPair {
  std::string publicKey, privateKey;
};

KeyPair Generate(int bits) {
  std::vector<char> pub(2048, kGuard), priv(4096, kGuard);
  EXPECT_EQ(RSA_GenerateKey1(pub.data(), 2048, priv.data(), 4096, bits), ENCRYPT_OK);
  return {pub.data(), priv.data()};
}

const KeyPair& LoginKey() {
  static const KeyPair key = Generate(384);
  return key;
}

TEST(Rsa, A384BitKeyPutsASixteenDigitSecretIntoSixtyFourCharacters) {
  const KeyPair& key = LoginKey();
  // The public key text is the DER SubjectPublicKeyInfo of a 384-bit RSA key.
  const auto der = Decode(key.publicKey);
  const unsigned char* p = der.data();
  EVP_PKEY* pkey = d2i_PUBKEY(nullptr, &p, static_cast<long>(der.size()));
  ASSERT_NE(pkey, nullptr);
  EXPECT_EQ(EVP_PKEY_get_bits(pkey), 384);
  EVP_PKEY_free(pkey);

  const std::string secret = Ok([](char* o, int n) { return RandomNo(o, n); }, 17);
  const std::string sealed = Ok([&](char* o, int n) { return RSA_Encrypt1(o, n, key.publicKey.c_str(), secret.c_str(), 16); }, 1024);
  EXPECT_EQ(sealed.size(), 64u);
  EXPECT_EQ(sealed.find_first_not_of(kBase64Alphabet), std::string::npos);
  EXPECT_EQ(Ok([&](char* o, int n) { return RSA_Decrypt1(o, n, key.privateKey.c_str(), sealed.c_str()); }), secret);
  // Padding is random: the same secret never gives the same text twice.
  EXPECT_NE(Ok([&](char* o, int n) { return RSA_Encrypt1(o, n, key.publicKey.c_str(), secret.c_str(), 16); }), sealed);
}

TEST(Rsa, LongAndEmptyTextsTravelInPieces) {
  const KeyPair& key = LoginKey();
  const struct {
    std::string clear;
    int block;
    std::size_t chars;
  } cases[] = {{"", 16, 64}, {std::string(16, 'a'), 16, 64}, {std::string(17, 'b'), 16, 128},
               {std::string(100, 'c'), 16, 448}, {std::string(37, 'd'), 37, 64}, {"user 10001 with spaces", 1, 22 * 64}};
  for (const auto& c : cases) {
    const std::string sealed =
        Ok([&](char* o, int n) { return RSA_Encrypt1(o, n, key.publicKey.c_str(), c.clear.c_str(), c.block); }, 2048);
    EXPECT_EQ(sealed.size(), c.chars) << c.clear;
    EXPECT_EQ(Ok([&](char* o, int n) { return RSA_Decrypt1(o, n, key.privateKey.c_str(), sealed.c_str()); }), c.clear);
  }
}

TEST(Rsa, RefusesBadKeysBlockSizesAndTexts) {
  const KeyPair& key = LoginKey();
  const KeyPair other = Generate(512);
  std::string text;
  const char* pub = key.publicKey.c_str();
  const char* priv = key.privateKey.c_str();
  EXPECT_EQ(Guarded([&](char* o, int n) { return RSA_Encrypt1(o, n, pub, "x", 0); }, 1024, text), ENCRYPT_E_ARGUMENT);
  EXPECT_EQ(Guarded([&](char* o, int n) { return RSA_Encrypt1(o, n, pub, "x", 38); }, 1024, text), ENCRYPT_E_ARGUMENT);
  EXPECT_EQ(text, "");
  for (const char* bad : {"", "not base64!", "QUJD", priv}) {
    EXPECT_EQ(Guarded([&](char* o, int n) { return RSA_Encrypt1(o, n, bad, "x", 16); }, 1024, text), ENCRYPT_E_KEY) << bad;
  }
  EXPECT_EQ(Guarded([&](char* o, int n) { return RSA_Decrypt1(o, n, pub, "x"); }, 1024, text), ENCRYPT_E_KEY);
  const std::string sealed = Ok([&](char* o, int n) { return RSA_Encrypt1(o, n, pub, "secret", 16); });
  for (const std::string& bad : {std::string(), sealed.substr(0, 63), sealed + "AAAA", std::string(64, '*')}) {
    EXPECT_EQ(Guarded([&](char* o, int n) { return RSA_Decrypt1(o, n, priv, bad.c_str()); }, 1024, text), ENCRYPT_E_INPUT)
        << bad;
  }
  // Under another key the pieces have another length, or do not decrypt.
  EXPECT_EQ(Guarded([&](char* o, int n) { return RSA_Decrypt1(o, n, other.privateKey.c_str(), sealed.c_str()); }, 1024, text),
            ENCRYPT_E_INPUT);
  for (int bits : {128, 385, 8192}) {
    char pubOut[16] = "x", privOut[16] = "x";
    EXPECT_EQ(RSA_GenerateKey1(pubOut, 16, privOut, 16, bits), ENCRYPT_E_ARGUMENT) << bits;
    EXPECT_STREQ(pubOut, "");
    EXPECT_STREQ(privOut, "");
  }
  char small[8], big[2048];
  EXPECT_EQ(RSA_GenerateKey1(big, sizeof big, small, sizeof small, 384), ENCRYPT_E_SPACE);
  EXPECT_STREQ(big, "");
  EXPECT_STREQ(small, "");
}

TEST(RandomNo, SixteenDigitsWithoutLeadingZeroAndNeverTheSame) {
  std::set<std::string> seen;
  std::set<char> firstDigits;
  for (int i = 0; i < 2000; ++i) {
    const std::string n = Ok([](char* o, int s) { return RandomNo(o, s); }, 17);
    ASSERT_EQ(n.size(), 16u);
    ASSERT_EQ(n.find_first_not_of("0123456789"), std::string::npos);
    ASSERT_NE(n[0], '0');
    firstDigits.insert(n[0]);
    seen.insert(n);
  }
  EXPECT_EQ(seen.size(), 2000u);
  EXPECT_EQ(firstDigits.size(), 9u);   // all of 1..9 lead some number
}

TEST(Aes, RoundTripsAndIsAes128CbcUnderTheLittleEndianKey) {
  const long long key = 1234567890123456789LL;
  for (const std::string& clear : std::vector<std::string>{"", "x", std::string(15, 'p'), std::string(16, 'p'), std::string(700, 'q')}) {
    const std::string sealed = Ok([&](char* o, int n) { return AES_Encrypt1(o, n, key, clear.c_str()); });
    const std::size_t bytes = 16 + (clear.size() / 16 + 1) * 16;
    EXPECT_EQ(sealed.size(), (bytes + 2) / 3 * 4);
    EXPECT_EQ(sealed.find_first_not_of(kBase64Alphabet), std::string::npos);
    EXPECT_EQ(Ok([&](char* o, int n) { return AES_Decrypt1(o, n, key, sealed.c_str()); }), clear);

    // The same text opened by OpenSSL itself: IV first, key = 8 little-endian bytes + 8 zeros.
    const auto whole = Decode(sealed);
    unsigned char k[16] = {};
    for (int i = 0; i < 8; ++i) k[i] = static_cast<unsigned char>(static_cast<unsigned long long>(key) >> (8 * i));
    std::vector<unsigned char> out(whole.size());
    int len = 0, tail = 0;
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    ASSERT_EQ(EVP_DecryptInit_ex(ctx, EVP_aes_128_cbc(), nullptr, k, whole.data()), 1);
    ASSERT_EQ(EVP_DecryptUpdate(ctx, out.data(), &len, whole.data() + 16, static_cast<int>(whole.size() - 16)), 1);
    ASSERT_EQ(EVP_DecryptFinal_ex(ctx, out.data() + len, &tail), 1);
    EVP_CIPHER_CTX_free(ctx);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(out.data()), static_cast<std::size_t>(len + tail)), clear);
  }
  // Negative keys are their two's complement bytes, distinct from the positive key.
  const std::string sealed = Ok([](char* o, int n) { return AES_Encrypt1(o, n, -5, "minus"); });
  EXPECT_EQ(Ok([&](char* o, int n) { return AES_Decrypt1(o, n, -5, sealed.c_str()); }), "minus");
}

TEST(Rc5, RoundTripsUnderByteAndIntegerKeys) {
  const unsigned char wharf[16] = {'W', 'h', 'a', 'r', 'f'};
  const std::string ticket = "AbCdEfGhIjKlMnOpQrStUvWxYz012345";   // a 32-character sign-on ticket
  const std::string sealed = Ok([&](char* o, int n) { return RC5_Encrypt(o, n, wharf, 16, ENCRYPT_RC5_CBC, ticket.c_str()); }, 257);
  EXPECT_EQ(sealed.size(), 64u);   // IV + 40 bytes
  EXPECT_EQ(Ok([&](char* o, int n) { return RC5_Decrypt(o, n, wharf, 16, ENCRYPT_RC5_CBC, sealed.c_str()); }), ticket);

  // The format: Base64(IV || CBC blocks), the first block being E(P1 xor IV).
  const auto whole = Decode(sealed);
  ASSERT_EQ(whole.size(), 48u);
  unsigned char block[8];
  std::memcpy(block, whole.data() + 8, 8);
  velt::encrypt::Rc5Cipher(wharf, 16).DecryptBlock(block);
  for (int i = 0; i < 8; ++i) block[i] ^= whole[static_cast<std::size_t>(i)];
  EXPECT_EQ(std::string(reinterpret_cast<char*>(block), 8), ticket.substr(0, 8));

  // Integer keys: the session secret of a login, as its 64-bit value.
  const long long s = 4711000000000042LL;
  for (const std::string& clear : std::vector<std::string>{"", "1234567812345678", std::string(1000, 'z')}) {
    const std::string t = Ok([&](char* o, int n) { return RC5_Encrypt1(o, n, s, clear.c_str()); }, 2048);
    EXPECT_EQ(Ok([&](char* o, int n) { return RC5_Decrypt1(o, n, s, t.c_str()); }, 1025), clear);
    // The integer key is the byte key: eight little-endian bytes then eight zeros.
    const auto k = velt::encrypt::IntegerKey(s);
    EXPECT_EQ(Ok([&](char* o, int n) { return RC5_Decrypt(o, n, k.data(), 16, ENCRYPT_RC5_CBC, t.c_str()); }, 1025), clear);
    std::string wrong;
    const int code = Guarded([&](char* o, int n) { return RC5_Decrypt1(o, n, s + 1, t.c_str()); }, 2048, wrong);
    EXPECT_TRUE(code == ENCRYPT_E_INPUT || wrong != clear) << clear;
  }
}

TEST(Rc5AndAes, RefuseMalformedTextsAndArguments) {
  const unsigned char key[16] = {1};
  std::string text;
  const std::string sealed = Ok([&](char* o, int n) { return RC5_Encrypt1(o, n, 7, "abc"); });
  const std::string aes = Ok([&](char* o, int n) { return AES_Encrypt1(o, n, 7, "abc"); });
  for (const std::string& bad : {std::string(), std::string("AAAA"), sealed.substr(0, 20), sealed + "=",
                                 std::string("@@@@@@@@@@@@@@@@@@@@@@@@"), aes.substr(0, aes.size() - 4)}) {
    EXPECT_EQ(Guarded([&](char* o, int n) { return RC5_Decrypt1(o, n, 7, bad.c_str()); }, 256, text), ENCRYPT_E_INPUT) << bad;
    EXPECT_EQ(Guarded([&](char* o, int n) { return AES_Decrypt1(o, n, 7, bad.c_str()); }, 256, text), ENCRYPT_E_INPUT) << bad;
  }
  for (const auto& [k, len, mode] : {std::tuple{key, 0, 1}, std::tuple{key, 256, 1}, std::tuple{key, 16, 0},
                                     std::tuple{key, 16, 2}, std::tuple<const unsigned char*, int, int>{nullptr, 16, 1}}) {
    EXPECT_EQ(Guarded([&](char* o, int n) { return RC5_Encrypt(o, n, k, len, mode, "x"); }, 256, text), ENCRYPT_E_ARGUMENT);
    EXPECT_EQ(Guarded([&](char* o, int n) { return RC5_Decrypt(o, n, k, len, mode, sealed.c_str()); }, 256, text),
              ENCRYPT_E_ARGUMENT);
  }
  // A clear text with a zero byte inside cannot come back as a text.
  const auto k = velt::encrypt::IntegerKey(7);
  const velt::encrypt::TextResult withZero = velt::encrypt::Rc5Encrypt(k.data(), 16, std::string("a\0b", 3));
  EXPECT_EQ(Guarded([&](char* o, int n) { return RC5_Decrypt1(o, n, 7, withZero.text.c_str()); }, 256, text), ENCRYPT_E_INPUT);
}

TEST(EveryCall, WritesTheWholeTextWhenItFitsAndNothingWhenItDoesNot) {
  const KeyPair& key = LoginKey();
  const unsigned char wharf[16] = {'W', 'h', 'a', 'r', 'f'};
  const std::string rsa = Ok([&](char* o, int n) { return RSA_Encrypt1(o, n, key.publicKey.c_str(), "0123456789", 16); });
  const std::string aes = Ok([](char* o, int n) { return AES_Encrypt1(o, n, 99, "0123456789"); });
  const std::string rc5 = Ok([](char* o, int n) { return RC5_Encrypt1(o, n, 99, "0123456789"); });
  const std::string rc5b = Ok([&](char* o, int n) { return RC5_Encrypt(o, n, wharf, 16, 1, "0123456789"); });
  const struct {
    const char* name;
    Call call;
  } calls[] = {
      {"RSA_Encrypt1", [&](char* o, int n) { return RSA_Encrypt1(o, n, key.publicKey.c_str(), "0123456789", 16); }},
      {"RSA_Decrypt1", [&](char* o, int n) { return RSA_Decrypt1(o, n, key.privateKey.c_str(), rsa.c_str()); }},
      {"RandomNo", [](char* o, int n) { return RandomNo(o, n); }},
      {"AES_Encrypt1", [](char* o, int n) { return AES_Encrypt1(o, n, 99, "0123456789"); }},
      {"AES_Decrypt1", [&](char* o, int n) { return AES_Decrypt1(o, n, 99, aes.c_str()); }},
      {"RC5_Encrypt1", [](char* o, int n) { return RC5_Encrypt1(o, n, 99, "0123456789"); }},
      {"RC5_Decrypt1", [&](char* o, int n) { return RC5_Decrypt1(o, n, 99, rc5.c_str()); }},
      {"RC5_Encrypt", [&](char* o, int n) { return RC5_Encrypt(o, n, wharf, 16, 1, "0123456789"); }},
      {"RC5_Decrypt", [&](char* o, int n) { return RC5_Decrypt(o, n, wharf, 16, 1, rc5b.c_str()); }},
  };
  for (const auto& c : calls) {
    const int full = static_cast<int>(Ok(c.call).size());
    std::string text;
    EXPECT_EQ(Guarded(c.call, full + 1, text), ENCRYPT_OK) << c.name;
    EXPECT_EQ(static_cast<int>(text.size()), full) << c.name;
    EXPECT_EQ(Guarded(c.call, full, text), ENCRYPT_E_SPACE) << c.name;
    EXPECT_EQ(text, "") << c.name;
    EXPECT_EQ(Guarded(c.call, 1, text), ENCRYPT_E_SPACE) << c.name;
    EXPECT_EQ(c.call(nullptr, 100), ENCRYPT_E_ARGUMENT) << c.name;
    char untouched = kGuard;
    EXPECT_EQ(c.call(&untouched, 0), ENCRYPT_E_ARGUMENT) << c.name;
    EXPECT_EQ(untouched, kGuard) << c.name;
  }
  // Null texts count as empty.
  const std::string empty = Ok([](char* o, int n) { return AES_Encrypt1(o, n, 1, nullptr); });
  EXPECT_EQ(Ok([&](char* o, int n) { return AES_Decrypt1(o, n, 1, empty.c_str()); }), "");
}

TEST(EveryCall, TheAreasOfTheLoginCallSitesHoldWhatTheDocsSay) {
  const KeyPair& key = LoginKey();
  const unsigned char wharf[16] = {'W', 'h', 'a', 'r', 'f'};
  const struct {
    const char* name;
    int area;
    std::size_t fits;   // longest clear text whose result fits the area
    std::function<int(char*, int, const char*)> call;
  } sites[] = {
      {"RSA_Encrypt1", 1024, 240, [&](char* o, int n, const char* t) { return RSA_Encrypt1(o, n, key.publicKey.c_str(), t, 16); }},
      {"AES_Encrypt1", 1024, 735, [](char* o, int n, const char* t) { return AES_Encrypt1(o, n, 42, t); }},
      {"RC5_Encrypt", 257, 183, [&](char* o, int n, const char* t) { return RC5_Encrypt(o, n, wharf, 16, 1, t); }},
  };
  for (const auto& s : sites) {
    std::string text;
    const std::string fits(s.fits, 'f'), over(s.fits + 1, 'o');
    EXPECT_EQ(Guarded([&](char* o, int n) { return s.call(o, n, fits.c_str()); }, s.area, text), ENCRYPT_OK) << s.name;
    EXPECT_EQ(Guarded([&](char* o, int n) { return s.call(o, n, over.c_str()); }, s.area, text), ENCRYPT_E_SPACE) << s.name;
  }
}

}  // namespace
