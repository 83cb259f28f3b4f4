// AES-128-CBC (OpenSSL) with a random IV and PKCS#7 padding, as Base64(IV || ciphertext).
#include <openssl/evp.h>

#include <memory>

#include "text_ciphers.h"

namespace velt::encrypt {
namespace {

constexpr int kBlock = 16;

struct CtxFree {
  void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};
using Ctx = std::unique_ptr<EVP_CIPHER_CTX, CtxFree>;

// Runs the cipher over `in` into `out` (sized for one extra block); false on any OpenSSL failure.
bool Run(bool encrypt, const Key16& key, const unsigned char* iv, const unsigned char* in, std::size_t n,
         SecretBytes& out) {
  Ctx ctx(EVP_CIPHER_CTX_new());
  if (!ctx) return false;
  out.resize(n + kBlock);
  int len = 0, tail = 0;
  if (EVP_CipherInit_ex(ctx.get(), EVP_aes_128_cbc(), nullptr, key.data(), iv, encrypt ? 1 : 0) != 1 ||
      EVP_CipherUpdate(ctx.get(), out.data(), &len, in, static_cast<int>(n)) != 1 ||
      EVP_CipherFinal_ex(ctx.get(), out.data() + len, &tail) != 1)
    return false;
  out.resize(static_cast<std::size_t>(len + tail));
  return true;
}

}  // namespace

TextResult AesEncrypt(const Key16& key, std::string_view clear) {
  unsigned char iv[kBlock];
  if (!RandomBytes(iv, kBlock)) return ENCRYPT_E_CRYPTO;
  SecretBytes sealed;
  if (!Run(true, key, iv, reinterpret_cast<const unsigned char*>(clear.data()), clear.size(), sealed))
    return ENCRYPT_E_CRYPTO;
  SecretBytes whole;
  whole.append(iv, kBlock);
  whole.append(sealed.data(), sealed.size());
  TextResult r;
  r.text = Base64Text(whole.data(), whole.size());
  return r;
}

TextResult AesDecrypt(const Key16& key, std::string_view text) {
  SecretBytes whole;
  if (!Base64Bytes(text, whole) || whole.size() < 2 * kBlock || whole.size() % kBlock != 0)
    return ENCRYPT_E_INPUT;
  SecretBytes clear;
  // A failed final step is bad padding: a wrong key or a damaged text.
  if (!Run(false, key, whole.data(), whole.data() + kBlock, whole.size() - kBlock, clear)) return ENCRYPT_E_INPUT;
  return ClearText(clear);
}

}  // namespace velt::encrypt
