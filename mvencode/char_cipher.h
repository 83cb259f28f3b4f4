// The type-5 character cipher, group by group: 10 plain characters become 20 letters "A".."P".
#pragma once

#include <cstddef>

namespace velt::mvencode {

constexpr std::size_t kCharPlainGroup = 10;
constexpr std::size_t kCharCodedGroup = 20;

// The first up to 10 characters of the zero-terminated `keyText`, completed with the key digits.
void CharCipherKey(const char* keyText, unsigned char key[kCharPlainGroup]);

// The group of the last k (1..10) characters of a text: the first 10-k filler characters in
// reverse order, then the k characters.
void FillCharGroup(const char* chars, std::size_t k, unsigned char group[kCharPlainGroup]);

void CharEncodeGroup(const unsigned char group[kCharPlainGroup], const unsigned char key[kCharPlainGroup],
                     char coded[kCharCodedGroup]);
void CharDecodeGroup(const char coded[kCharCodedGroup], const unsigned char key[kCharPlainGroup],
                     unsigned char group[kCharPlainGroup]);

// The bit transposition alone: 80 bits as 5 rows of 16, read column by column, 4 bits a letter.
void SpreadBits(const unsigned char x[kCharPlainGroup], char coded[kCharCodedGroup]);
void GatherBits(const char coded[kCharCodedGroup], unsigned char x[kCharPlainGroup]);

// Only these characters survive decoding: "0".."9", "A".."Z", "a".."z" (ASCII, not the locale's).
bool IsKeptCharacter(unsigned char c);

}  // namespace velt::mvencode
