// RC5-32/12 in CBC mode with a random IV and PKCS#7 padding, as Base64(IV || ciphertext).
#include <cstring>

#include "rc5_cipher.h"
#include "text_ciphers.h"

namespace velt::encrypt {

namespace {
constexpr std::size_t kBlock = Rc5Cipher::kBlockBytes;
}

TextResult Rc5Encrypt(const unsigned char* key, std::size_t keyLength, std::string_view clear) {
  SecretBytes data(clear.data(), clear.size());
  PadPkcs7(data, kBlock);
  unsigned char iv[kBlock];
  if (!RandomBytes(iv, kBlock)) return ENCRYPT_E_CRYPTO;
  const Rc5Cipher cipher(key, keyLength);
  const unsigned char* chain = iv;
  for (std::size_t at = 0; at < data.size(); at += kBlock) {
    for (std::size_t i = 0; i < kBlock; ++i) data.data()[at + i] ^= chain[i];
    cipher.EncryptBlock(data.data() + at);
    chain = data.data() + at;
  }
  SecretBytes whole;
  whole.append(iv, kBlock);
  whole.append(data.data(), data.size());
  TextResult r;
  r.text = Base64Text(whole.data(), whole.size());
  return r;
}

TextResult Rc5Decrypt(const unsigned char* key, std::size_t keyLength, std::string_view text) {
  SecretBytes whole;
  if (!Base64Bytes(text, whole) || whole.size() < 2 * kBlock || whole.size() % kBlock != 0)
    return ENCRYPT_E_INPUT;
  const Rc5Cipher cipher(key, keyLength);
  SecretBytes clear(whole.size() - kBlock);
  for (std::size_t at = kBlock; at < whole.size(); at += kBlock) {
    unsigned char* block = clear.data() + at - kBlock;
    std::memcpy(block, whole.data() + at, kBlock);
    cipher.DecryptBlock(block);
    for (std::size_t i = 0; i < kBlock; ++i) block[i] ^= whole.data()[at - kBlock + i];
  }
  if (!UnpadPkcs7(clear, kBlock)) return ENCRYPT_E_INPUT;
  return ClearText(clear);
}

}  // namespace velt::encrypt
