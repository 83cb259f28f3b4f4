// Types 4, 5 and 6, whose results are zero-terminated texts: the terminator goes at out[length],
// so out must provide outSize + 1 bytes and nothing is written past out[outSize].
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "aes.h"
#include "char_cipher.h"
#include "encoder_constants.h"
#include "md5_digest.h"
#include "type_operations.h"
#include "work_area.h"
#include "platform/base64.h"
#include "platform/secure_wipe.h"

namespace velt::mvencode {
namespace {

using platform::WipeOnExit;

constexpr std::size_t kBlock = 16;
constexpr std::size_t kPhrase = 32;

inline std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return (a + b - 1) / b; }

// Length of the text at p, looking at no more than `limit` bytes.
std::size_t BoundedLength(const unsigned char* p, std::size_t limit) {
  const void* zero = std::memchr(p, 0, limit);
  return zero == nullptr ? limit : static_cast<std::size_t>(static_cast<const unsigned char*>(zero) - p);
}

// ---- type 4 and the Base64 step of type 6 ----

int WriteBase64(const unsigned char* data, std::size_t size, unsigned char* out) {
  const std::size_t n = platform::Base64Encode(data, size, reinterpret_cast<char*>(out));
  out[n] = 0;
  return static_cast<int>(n);
}

// Characters outside the alphabet count as 0 and a short last group gives what its characters hold
// (the platform's grouped decoder); nothing past in[inLen-1] is read.
std::size_t ReadBase64(const EncodeArgs& a) {
  return platform::Base64DecodeGrouped(reinterpret_cast<const char*>(a.in), static_cast<std::size_t>(a.inLen), a.out)
      .bytes;
}

// ---- type 5 ----

std::size_t TextLength(const unsigned char* text) { return std::strlen(reinterpret_cast<const char*>(text)); }

// One group of coded text; missing characters of a short last group count as "A" (zero bits).
void TakeCodedGroup(const unsigned char* text, std::size_t available, char coded[kCharCodedGroup]) {
  const std::size_t n = std::min(available, kCharCodedGroup);
  std::memcpy(coded, text, n);
  std::memset(coded + n, 'A', kCharCodedGroup - n);
}

// ---- type 6 ----

// A pass phrase shorter than 32 characters completed from the padding alphabet, cycling over its
// own bytes; a text of 32 characters or more leaves the phrase all zero.
void CompletePassPhrase(const unsigned char* key, unsigned char phrase[kPhrase]) {
  const std::size_t length = BoundedLength(key, kPhrase);
  std::memset(phrase, 0, kPhrase);
  if (length == kPhrase) return;
  std::memcpy(phrase, key, length);
  for (std::size_t j = 0; length + j < kPhrase; ++j) {
    const unsigned index = length == 0 ? 0u : key[j % length];
    phrase[length + j] = static_cast<unsigned char>(kKeyPadAlphabet[index % (sizeof kKeyPadAlphabet - 1)]);
  }
}

bool AesCbcArgsValid(const EncodeArgs& a, std::int64_t required) {
  return a.in != nullptr && a.out != nullptr && a.key != nullptr && a.inLen >= 0 && a.keyLen >= 0 &&
         a.outSize >= required;
}

// The pad for bytes past the last whole block: the encryption of the block before them.
void XorWithEncrypted(const AesKeySchedule& encrypt, const unsigned char* previous, unsigned char* data,
                      std::size_t size) {
  if (size == 0) return;
  unsigned char pad[kBlock];
  AesEncryptBlock(encrypt, previous, pad);
  for (std::size_t i = 0; i < size; ++i) data[i] ^= pad[i];
  platform::SecureWipe(pad, sizeof pad);
}

void CbcEncrypt(const AesKeySchedule& encrypt, const unsigned char* iv, unsigned char* data, std::size_t size) {
  const unsigned char* previous = iv;
  const std::size_t whole = size / kBlock * kBlock;
  for (std::size_t i = 0; i < whole; i += kBlock) {
    for (std::size_t j = 0; j < kBlock; ++j) data[i + j] ^= previous[j];
    AesEncryptBlock(encrypt, data + i, data + i);
    previous = data + i;
  }
  XorWithEncrypted(encrypt, previous, data + whole, size - whole);
}

void CbcDecrypt(const AesKeySchedule& encrypt, const AesKeySchedule& decrypt, const unsigned char* iv,
                unsigned char* data, std::size_t size) {
  unsigned char previous[kBlock];
  unsigned char cipher[kBlock];
  std::memcpy(previous, iv, kBlock);
  const std::size_t whole = size / kBlock * kBlock;
  for (std::size_t i = 0; i < whole; i += kBlock) {
    std::memcpy(cipher, data + i, kBlock);
    AesDecryptBlock(decrypt, cipher, data + i);
    for (std::size_t j = 0; j < kBlock; ++j) data[i + j] ^= previous[j];
    std::memcpy(previous, cipher, kBlock);
  }
  XorWithEncrypted(encrypt, previous, data + whole, size - whole);
  platform::SecureWipe(previous, sizeof previous);
}

}  // namespace

int EncodeBase64(const EncodeArgs& a) {
  if (a.in == nullptr || a.out == nullptr || a.inLen < 0 || a.outSize < 4 * CeilDiv(a.inLen, 3)) {
    return kArgumentError;
  }
  return WriteBase64(a.in, static_cast<std::size_t>(a.inLen), a.out);
}

int DecodeBase64(const EncodeArgs& a) {
  if (a.in == nullptr || a.out == nullptr || a.inLen < 0 || a.outSize < 3 * CeilDiv(a.inLen, 4)) {
    return kArgumentError;
  }
  const std::size_t n = ReadBase64(a);
  a.out[n] = 0;
  return static_cast<int>(n);
}

int EncodeChars(const EncodeArgs& a) {
  if (a.in == nullptr || a.out == nullptr || a.key == nullptr) return kArgumentError;
  const std::size_t m = TextLength(a.in);
  const std::int64_t groups = CeilDiv(static_cast<std::int64_t>(m), kCharPlainGroup);
  if (a.outSize < static_cast<std::int64_t>(kCharCodedGroup) ||
      a.outSize < groups * static_cast<std::int64_t>(kCharCodedGroup)) {
    return kArgumentError;
  }
  unsigned char key[kCharPlainGroup];
  unsigned char group[kCharPlainGroup];
  WipeOnExit<unsigned char[kCharPlainGroup]> wipeKey(key);
  WipeOnExit<unsigned char[kCharPlainGroup]> wipeGroup(group);
  CharCipherKey(reinterpret_cast<const char*>(a.key), key);
  std::size_t written = 0;
  for (std::size_t from = 0; from < m; from += kCharPlainGroup) {
    FillCharGroup(reinterpret_cast<const char*>(a.in) + from, std::min(kCharPlainGroup, m - from), group);
    CharEncodeGroup(group, key, reinterpret_cast<char*>(a.out) + written);
    written += kCharCodedGroup;
  }
  a.out[written] = 0;  // an empty text encodes to the empty text
  return static_cast<int>(written);
}

int DecodeChars(const EncodeArgs& a) {
  if (a.in == nullptr || a.out == nullptr || a.key == nullptr) return kArgumentError;
  const std::size_t m = TextLength(a.in);
  const std::int64_t most = CeilDiv(static_cast<std::int64_t>(m), kCharCodedGroup) * kCharPlainGroup;
  if (a.outSize < static_cast<std::int64_t>(kCharPlainGroup) || a.outSize < most) return kArgumentError;
  // Decoded characters are appended to the text already in out, which counts toward outSize.
  std::size_t length = BoundedLength(a.out, static_cast<std::size_t>(a.outSize) + 1);
  if (static_cast<std::int64_t>(length) + most > a.outSize) return kArgumentError;

  unsigned char key[kCharPlainGroup];
  unsigned char group[kCharPlainGroup];
  WipeOnExit<unsigned char[kCharPlainGroup]> wipeKey(key);
  WipeOnExit<unsigned char[kCharPlainGroup]> wipeGroup(group);
  CharCipherKey(reinterpret_cast<const char*>(a.key), key);
  char coded[kCharCodedGroup];
  for (std::size_t from = 0; from < m; from += kCharCodedGroup) {
    TakeCodedGroup(a.in + from, m - from, coded);
    CharDecodeGroup(coded, key, group);
    for (unsigned char c : group) {
      if (IsKeptCharacter(c)) a.out[length++] = c;
    }
  }
  a.out[length] = 0;
  return static_cast<int>(length);
}

void DeriveAesCbcKey(const unsigned char* key, int keyLen, AesCbcKey& derived) {
  unsigned char digest[16];
  unsigned char phrase[kPhrase];
  WipeOnExit<unsigned char[16]> wipeDigest(digest);
  WipeOnExit<unsigned char[kPhrase]> wipePhrase(phrase);
  if (keyLen >= static_cast<int>(kPhrase)) {
    Md5Digest(key, static_cast<std::size_t>(keyLen), kDigestInit, digest);
  } else {
    CompletePassPhrase(key, phrase);
    Md5Digest(phrase, kPhrase, kDigestInit, digest);
  }
  for (std::size_t j = 0; j < sizeof derived.key; ++j) {
    derived.key[j] = static_cast<unsigned char>(kAesCbcKeyMask[j] ^ digest[j % sizeof digest]);
  }
  std::memcpy(derived.iv, digest, sizeof derived.iv);
}

int EncodeAesCbc(const EncodeArgs& a) {
  const std::size_t size = std::max(static_cast<std::size_t>(std::max(a.inLen, 0)), kBlock);
  if (!AesCbcArgsValid(a, 4 * CeilDiv(static_cast<std::int64_t>(size), 3))) return kArgumentError;
  if (a.inLen == 0 || a.in[0] == 0) return 0;
  WorkArea work(size + 1);  // zero-filled: input shorter than a block is extended with zeros
  if (!work) return kArgumentError;
  std::memcpy(work.data(), a.in, static_cast<std::size_t>(a.inLen));

  AesCbcKey derived;
  AesKeySchedule encrypt;
  WipeOnExit<AesCbcKey> wipeDerived(derived);
  WipeOnExit<AesKeySchedule> wipeEncrypt(encrypt);
  DeriveAesCbcKey(a.key, a.keyLen, derived);
  AesSetEncryptKey(derived.key, sizeof derived.key, encrypt);
  CbcEncrypt(encrypt, derived.iv, work.data(), size);
  return WriteBase64(work.data(), size, a.out);
}

int DecodeAesCbc(const EncodeArgs& a) {
  if (!AesCbcArgsValid(a, 3 * CeilDiv(a.inLen, 4))) return kArgumentError;
  if (a.inLen == 0 || a.in[0] == 0) return 0;
  const std::size_t n = ReadBase64(a);

  AesCbcKey derived;
  AesKeySchedule encrypt;
  AesKeySchedule decrypt;
  WipeOnExit<AesCbcKey> wipeDerived(derived);
  WipeOnExit<AesKeySchedule> wipeEncrypt(encrypt);
  WipeOnExit<AesKeySchedule> wipeDecrypt(decrypt);
  DeriveAesCbcKey(a.key, a.keyLen, derived);
  AesSetEncryptKey(derived.key, sizeof derived.key, encrypt);
  AesSetDecryptKey(encrypt, decrypt);
  CbcDecrypt(encrypt, decrypt, derived.iv, a.out, n);
  a.out[n] = 0;
  return static_cast<int>(BoundedLength(a.out, n));
}

}  // namespace velt::mvencode
