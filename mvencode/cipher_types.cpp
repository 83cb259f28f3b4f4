// Types 1, 2 and 3: DES and AES over whole blocks with the key-derived tail pad, and the digest.
#include <algorithm>
#include <cstddef>
#include <cstring>

#include "aes.h"
#include "des.h"
#include "encoder_constants.h"
#include "md5_digest.h"
#include "type_operations.h"
#include "platform/secure_wipe.h"

namespace velt::mvencode {
namespace {

using platform::WipeOnExit;

// Pointers and lengths shared by the two block ciphers: out must take inLen bytes.
bool BlockArgsValid(const EncodeArgs& a) {
  return a.in != nullptr && a.out != nullptr && a.key != nullptr && a.inLen >= 0 && a.keyLen >= 0 &&
         a.outSize >= a.inLen;
}

// The caller's key bytes over the beginning of the default key; the rest of the default stays.
void CompleteKey(const void* defaults, const EncodeArgs& a, unsigned char* key, std::size_t size) {
  std::memcpy(key, defaults, size);
  std::memcpy(key, a.key, std::min(static_cast<std::size_t>(a.keyLen), size));
}

// Bytes past the last whole block are XORed with `pad`, so the tail is its own inverse.
void XorTail(const EncodeArgs& a, std::size_t from, const unsigned char* pad) {
  for (std::size_t i = from; i < static_cast<std::size_t>(a.inLen); ++i) {
    a.out[i] = static_cast<unsigned char>(a.in[i] ^ pad[i - from]);
  }
}

}  // namespace

int CryptDes(const EncodeArgs& a, bool decrypt) {
  if (!BlockArgsValid(a)) return kArgumentError;
  unsigned char key[8];
  DesKeySchedule schedule;
  unsigned char pad[8];
  WipeOnExit<unsigned char[8]> wipeKey(key);
  WipeOnExit<DesKeySchedule> wipeSchedule(schedule);
  WipeOnExit<unsigned char[8]> wipePad(pad);

  CompleteKey(kDefaultDesKey, a, key, sizeof key);
  DesSetKey(key, schedule);
  DesEncryptBlock(schedule, key, pad);  // the key enciphered under itself
  const std::size_t whole = static_cast<std::size_t>(a.inLen) / 8 * 8;
  for (std::size_t i = 0; i < whole; i += 8) {
    if (decrypt) {
      DesDecryptBlock(schedule, a.in + i, a.out + i);
    } else {
      DesEncryptBlock(schedule, a.in + i, a.out + i);
    }
  }
  XorTail(a, whole, pad);
  return a.inLen;
}

int DigestMd5(const EncodeArgs& a) {
  if (a.in == nullptr || a.out == nullptr || a.inLen < 0 || a.outSize < 16) return kArgumentError;
  Md5Digest(a.in, static_cast<std::size_t>(a.inLen), kDigestInit, a.out);
  return 16;
}

int AesKeyBytesFor(int keyLen) {
  // keyLen·8 bits rounded up to whole words must give 4, 6 or 8 words.
  if (keyLen >= 13 && keyLen <= 16) return 16;
  if (keyLen >= 21 && keyLen <= 24) return 24;
  if (keyLen >= 29 && keyLen <= 32) return 32;
  return 0;
}

int CryptAes(const EncodeArgs& a, bool decrypt) {
  if (!BlockArgsValid(a)) return kArgumentError;
  const int keyBytes = AesKeyBytesFor(a.keyLen);
  if (keyBytes == 0) return kArgumentError;
  unsigned char key[32];
  AesKeySchedule encrypt;
  AesKeySchedule blocks;
  unsigned char pad[16];
  WipeOnExit<unsigned char[32]> wipeKey(key);
  WipeOnExit<AesKeySchedule> wipeEncrypt(encrypt);
  WipeOnExit<AesKeySchedule> wipeBlocks(blocks);
  WipeOnExit<unsigned char[16]> wipePad(pad);

  CompleteKey(kDefaultAesKey, a, key, sizeof key);
  AesSetEncryptKey(key, static_cast<std::size_t>(keyBytes), encrypt);
  AesEncryptBlock(encrypt, key, pad);  // the first 16 key bytes enciphered under the key
  const std::size_t whole = static_cast<std::size_t>(a.inLen) / 16 * 16;
  if (decrypt && whole != 0) AesSetDecryptKey(encrypt, blocks);
  for (std::size_t i = 0; i < whole; i += 16) {
    if (decrypt) {
      AesDecryptBlock(blocks, a.in + i, a.out + i);
    } else {
      AesEncryptBlock(encrypt, a.in + i, a.out + i);
    }
  }
  XorTail(a, whole, pad);
  return a.inLen;
}

}  // namespace velt::mvencode
