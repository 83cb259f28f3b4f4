// Constants built into the password encoder: the published defaults of the key rules and the
// three values of this build that every stored encoding depends on.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velt::mvencode {

// Key of type 1; the caller's key bytes overwrite its leading bytes.
constexpr unsigned char kDefaultDesKey[8] = {'P', 'l', 'u', 'm', 'F', 'e', 'n', '4'};
// Key of type 3; the caller's key bytes overwrite its leading bytes.
constexpr char kDefaultAesKey[] = "Mistral_QWN_HollowStoneWaterMill";
// Completes type-6 pass phrases shorter than 32 characters.
constexpr char kKeyPadAlphabet[] = "Mistral_QWN_Fjords_QWN_Amber";
// Complete type-5 keys shorter than 10 characters.
constexpr char kCharKeyDigits[] = "5820137946";
// Fills a short last group of type-5 plain text; none of them survives decoding.
constexpr char kCharFiller[] = "_<^@]?\\>[=";

static_assert(sizeof(kDefaultAesKey) == 33 && sizeof(kKeyPadAlphabet) == 29);
static_assert(sizeof(kCharKeyDigits) == 11 && sizeof(kCharFiller) == 11);

// ---------------------------------------------------------------------------------------------
// The three constants of this build. Changing ANY of them makes every value stored by earlier
// builds undecodable (types 5 and 6) or unverifiable (type 2 digests), so they never change.
// The known-answer tests in encoding_test.cpp fail on purpose when one of them is touched.
// ---------------------------------------------------------------------------------------------

// Initial chaining words A, B, C, D of the digest (types 2 and 6), in place of MD5's own.
constexpr std::uint32_t kDigestInit[4] = {0x7A3B91C4u, 0xE2058D6Fu, 0x19C4F0A3u, 0xB86D2E57u};

// Mixed into the derived digest to form the AES-256 key of type 6.
constexpr unsigned char kAesCbcKeyMask[32] = {
    0x4D, 0xA1, 0x07, 0xE9, 0x3C, 0x58, 0xB2, 0x16, 0x9F, 0x70, 0xC5, 0x2B, 0x81, 0xDE, 0x64, 0x0A,
    0xF3, 0x27, 0x9A, 0x4E, 0xB5, 0x1D, 0x68, 0xC0, 0x3F, 0x92, 0x0E, 0x7B, 0xD4, 0x56, 0xA8, 0xE1};

// Type-5 initial pairs: they stand in for the two preceding plain characters at positions 0 and 1
// of every group (first pair at position 0, second pair at position 1).
constexpr unsigned char kCharInitialPairs[2][2] = {{0x5A, 0xC3}, {0x96, 0x3E}};

}  // namespace velt::mvencode
