// Type-5 character cipher: a chained XOR with the key and the two preceding plain characters,
// then a bit transposition into letters "A".."P".
#include "char_cipher.h"

#include <cstring>

#include "encoder_constants.h"
#include "platform/secure_wipe.h"

namespace velt::mvencode {
namespace {

constexpr std::size_t kBits = 8 * kCharPlainGroup;  // 80
constexpr std::size_t kRowBits = 16;
constexpr std::size_t kRows = kBits / kRowBits;     // 5

// The two values that precede position i in the chain: the plain characters at i-2 and i-1, or the
// initial pair of position 0 or 1.
inline unsigned char ChainMask(const unsigned char group[kCharPlainGroup], std::size_t i) {
  if (i < 2) return static_cast<unsigned char>(kCharInitialPairs[i][0] ^ kCharInitialPairs[i][1]);
  return static_cast<unsigned char>(group[i - 2] ^ group[i - 1]);
}

inline unsigned RowBit(const unsigned char x[kCharPlainGroup], std::size_t p) {
  return (x[p / 8] >> (7 - p % 8)) & 1u;
}

}  // namespace

void CharCipherKey(const char* keyText, unsigned char key[kCharPlainGroup]) {
  std::size_t n = 0;
  for (; n < kCharPlainGroup && keyText[n] != '\0'; ++n) key[n] = static_cast<unsigned char>(keyText[n]);
  for (std::size_t d = 0; n < kCharPlainGroup; ++n, ++d) key[n] = static_cast<unsigned char>(kCharKeyDigits[d]);
}

void FillCharGroup(const char* chars, std::size_t k, unsigned char group[kCharPlainGroup]) {
  const std::size_t fill = kCharPlainGroup - k;
  for (std::size_t i = 0; i < fill; ++i) group[i] = static_cast<unsigned char>(kCharFiller[fill - 1 - i]);
  std::memcpy(group + fill, chars, k);
}

void SpreadBits(const unsigned char x[kCharPlainGroup], char coded[kCharCodedGroup]) {
  std::memset(coded, 0, kCharCodedGroup);
  for (std::size_t t = 0; t < kBits; ++t) {  // T[t] = B[row·16 + column] with t = column·5 + row
    const std::size_t column = t / kRows;
    const std::size_t row = t % kRows;
    const unsigned bit = RowBit(x, row * kRowBits + column);
    coded[t / 4] = static_cast<char>(coded[t / 4] | (bit << (3 - t % 4)));
  }
  for (std::size_t j = 0; j < kCharCodedGroup; ++j) coded[j] = static_cast<char>('A' + coded[j]);
}

void GatherBits(const char coded[kCharCodedGroup], unsigned char x[kCharPlainGroup]) {
  std::memset(x, 0, kCharPlainGroup);
  for (std::size_t t = 0; t < kBits; ++t) {
    const unsigned nibble = static_cast<unsigned>(static_cast<unsigned char>(coded[t / 4]) - 'A') & 15u;
    const unsigned bit = (nibble >> (3 - t % 4)) & 1u;
    const std::size_t p = (t % kRows) * kRowBits + t / kRows;
    x[p / 8] = static_cast<unsigned char>(x[p / 8] | (bit << (7 - p % 8)));
  }
}

void CharEncodeGroup(const unsigned char group[kCharPlainGroup], const unsigned char key[kCharPlainGroup],
                     char coded[kCharCodedGroup]) {
  unsigned char x[kCharPlainGroup];
  for (std::size_t i = 0; i < kCharPlainGroup; ++i) {
    x[i] = static_cast<unsigned char>(group[i] ^ key[i] ^ ChainMask(group, i));
  }
  SpreadBits(x, coded);
  platform::SecureWipe(x, sizeof x);
}

void CharDecodeGroup(const char coded[kCharCodedGroup], const unsigned char key[kCharPlainGroup],
                     unsigned char group[kCharPlainGroup]) {
  unsigned char x[kCharPlainGroup];
  GatherBits(coded, x);
  for (std::size_t i = 0; i < kCharPlainGroup; ++i) {  // each position needs the two decoded before it
    group[i] = static_cast<unsigned char>(x[i] ^ key[i] ^ ChainMask(group, i));
  }
  platform::SecureWipe(x, sizeof x);
}

bool IsKeptCharacter(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace velt::mvencode
