// RSA with PKCS#1 v1.5 padding (OpenSSL), the clear text in pieces, each result as Base64; keys as
// the Base64 of their DER form. Key generation builds the key from its primes because OpenSSL's
// generator refuses the short moduli the login's 64-character cut needs.
#include <openssl/bn.h>
#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/param_build.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>

#include <memory>

#include "text_ciphers.h"

namespace velt::encrypt {
namespace {

struct Free {
  void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); }
  void operator()(EVP_PKEY_CTX* p) const { EVP_PKEY_CTX_free(p); }
  void operator()(BIGNUM* p) const { BN_clear_free(p); }
  void operator()(BN_CTX* p) const { BN_CTX_free(p); }
  void operator()(OSSL_PARAM_BLD* p) const { OSSL_PARAM_BLD_free(p); }
  void operator()(OSSL_PARAM* p) const { OSSL_PARAM_free(p); }
};
template <typename T>
using Owned = std::unique_ptr<T, Free>;
using Pkey = Owned<EVP_PKEY>;
using Bn = Owned<BIGNUM>;

constexpr int kPaddingBytes = 11;   // PKCS#1 v1.5 overhead

Pkey PublicKey(std::string_view text) {
  SecretBytes der;
  if (!Base64Bytes(text, der, true) || der.size() == 0) return nullptr;
  const unsigned char* p = der.data();
  Pkey key(d2i_PUBKEY(nullptr, &p, static_cast<long>(der.size())));
  if (!key || p != der.data() + der.size() || !EVP_PKEY_is_a(key.get(), "RSA")) return nullptr;
  return key;
}

Pkey PrivateKey(std::string_view text) {
  SecretBytes der;
  if (!Base64Bytes(text, der, true) || der.size() == 0) return nullptr;
  const unsigned char* p = der.data();
  Pkey key(d2i_PrivateKey(EVP_PKEY_RSA, nullptr, &p, static_cast<long>(der.size())));
  if (!key || p != der.data() + der.size()) return nullptr;
  return key;
}

Owned<EVP_PKEY_CTX> Context(EVP_PKEY* key, bool encrypt) {
  Owned<EVP_PKEY_CTX> ctx(EVP_PKEY_CTX_new(key, nullptr));
  if (!ctx || (encrypt ? EVP_PKEY_encrypt_init(ctx.get()) : EVP_PKEY_decrypt_init(ctx.get())) != 1 ||
      EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) != 1)
    return nullptr;
  return ctx;
}

std::size_t PieceChars(std::size_t modulusBytes) { return (modulusBytes + 2) / 3 * 4; }

// DER of the key as Base64; `publicPart` picks SubjectPublicKeyInfo, else PKCS#1 RSAPrivateKey.
TextResult KeyText(EVP_PKEY* key, bool publicPart) {
  unsigned char* der = nullptr;
  const int n = publicPart ? i2d_PUBKEY(key, &der) : i2d_PrivateKey(key, &der);
  if (n <= 0) return ENCRYPT_E_CRYPTO;
  SecretBytes bytes(reinterpret_cast<const char*>(der), static_cast<std::size_t>(n));
  OPENSSL_clear_free(der, static_cast<std::size_t>(n));
  TextResult r;
  r.text = Base64Text(bytes.data(), bytes.size());
  return r;
}

// Two primes of half the size each whose product has exactly `bits` bits and for which 65537 is
// a valid exponent; then the key from its parts.
Pkey BuildKey(int bits) {
  Owned<BN_CTX> bn(BN_CTX_new());
  Bn e(BN_new()), p(BN_new()), q(BN_new()), n(BN_new()), d(BN_new()), p1(BN_new()), q1(BN_new()),
      phi(BN_new()), dp(BN_new()), dq(BN_new()), qinv(BN_new());
  if (!bn || !e || !p || !q || !n || !d || !p1 || !q1 || !phi || !dp || !dq || !qinv) return nullptr;
  if (BN_set_word(e.get(), RSA_F4) != 1) return nullptr;
  for (int attempt = 0; attempt < 64; ++attempt) {
    if (BN_generate_prime_ex(p.get(), bits / 2, 0, nullptr, nullptr, nullptr) != 1 ||
        BN_generate_prime_ex(q.get(), bits / 2, 0, nullptr, nullptr, nullptr) != 1)
      return nullptr;
    if (BN_cmp(p.get(), q.get()) == 0) continue;
    if (BN_cmp(p.get(), q.get()) < 0) BN_swap(p.get(), q.get());   // p > q, as the CRT form expects
    if (BN_mul(n.get(), p.get(), q.get(), bn.get()) != 1 || BN_num_bits(n.get()) != bits) continue;
    if (BN_sub(p1.get(), p.get(), BN_value_one()) != 1 || BN_sub(q1.get(), q.get(), BN_value_one()) != 1 ||
        BN_mul(phi.get(), p1.get(), q1.get(), bn.get()) != 1)
      return nullptr;
    if (BN_mod_inverse(d.get(), e.get(), phi.get(), bn.get()) == nullptr) continue;   // e shares a factor
    if (BN_mod(dp.get(), d.get(), p1.get(), bn.get()) != 1 || BN_mod(dq.get(), d.get(), q1.get(), bn.get()) != 1 ||
        BN_mod_inverse(qinv.get(), q.get(), p.get(), bn.get()) == nullptr)
      return nullptr;
    Owned<OSSL_PARAM_BLD> build(OSSL_PARAM_BLD_new());
    if (!build || !OSSL_PARAM_BLD_push_BN(build.get(), OSSL_PKEY_PARAM_RSA_N, n.get()) ||
        !OSSL_PARAM_BLD_push_BN(build.get(), OSSL_PKEY_PARAM_RSA_E, e.get()) ||
        !OSSL_PARAM_BLD_push_BN(build.get(), OSSL_PKEY_PARAM_RSA_D, d.get()) ||
        !OSSL_PARAM_BLD_push_BN(build.get(), OSSL_PKEY_PARAM_RSA_FACTOR1, p.get()) ||
        !OSSL_PARAM_BLD_push_BN(build.get(), OSSL_PKEY_PARAM_RSA_FACTOR2, q.get()) ||
        !OSSL_PARAM_BLD_push_BN(build.get(), OSSL_PKEY_PARAM_RSA_EXPONENT1, dp.get()) ||
        !OSSL_PARAM_BLD_push_BN(build.get(), OSSL_PKEY_PARAM_RSA_EXPONENT2, dq.get()) ||
        !OSSL_PARAM_BLD_push_BN(build.get(), OSSL_PKEY_PARAM_RSA_COEFFICIENT1, qinv.get()))
      return nullptr;
    Owned<OSSL_PARAM> params(OSSL_PARAM_BLD_to_param(build.get()));
    Owned<EVP_PKEY_CTX> ctx(EVP_PKEY_CTX_new_from_name(nullptr, "RSA", nullptr));
    EVP_PKEY* key = nullptr;
    if (!params || !ctx || EVP_PKEY_fromdata_init(ctx.get()) != 1 ||
        EVP_PKEY_fromdata(ctx.get(), &key, EVP_PKEY_KEYPAIR, params.get()) != 1)
      return nullptr;
    return Pkey(key);
  }
  return nullptr;
}

}  // namespace

TextResult RsaEncrypt(std::string_view publicKey, std::string_view clear, int blockBytes) {
  const Pkey key = PublicKey(publicKey);
  if (!key) return ENCRYPT_E_KEY;
  const int k = EVP_PKEY_get_size(key.get());
  if (blockBytes < 1 || blockBytes > k - kPaddingBytes) return ENCRYPT_E_ARGUMENT;
  const auto ctx = Context(key.get(), true);
  if (!ctx) return ENCRYPT_E_CRYPTO;
  TextResult r;
  const std::size_t piece = static_cast<std::size_t>(blockBytes);
  SecretBytes sealed(static_cast<std::size_t>(k));
  std::size_t at = 0;
  do {   // an empty text is one empty piece
    const std::size_t n = clear.size() - at < piece ? clear.size() - at : piece;
    std::size_t outLen = sealed.size();
    if (EVP_PKEY_encrypt(ctx.get(), sealed.data(), &outLen, reinterpret_cast<const unsigned char*>(clear.data()) + at,
                         n) != 1 ||
        outLen != sealed.size())
      return ENCRYPT_E_CRYPTO;
    r.text += Base64Text(sealed.data(), outLen);
    at += n;
  } while (at < clear.size());
  return r;
}

TextResult RsaDecrypt(std::string_view privateKey, std::string_view text) {
  const Pkey key = PrivateKey(privateKey);
  if (!key) return ENCRYPT_E_KEY;
  const std::size_t k = static_cast<std::size_t>(EVP_PKEY_get_size(key.get()));
  const std::size_t chars = PieceChars(k);
  if (text.empty() || text.size() % chars != 0) return ENCRYPT_E_INPUT;
  const auto ctx = Context(key.get(), false);
  if (!ctx) return ENCRYPT_E_CRYPTO;
  SecretBytes clear;
  SecretBytes open(k);
  for (std::size_t at = 0; at < text.size(); at += chars) {
    SecretBytes sealed;
    if (!Base64Bytes(text.substr(at, chars), sealed) || sealed.size() != k) return ENCRYPT_E_INPUT;
    std::size_t outLen = open.size();
    if (EVP_PKEY_decrypt(ctx.get(), open.data(), &outLen, sealed.data(), sealed.size()) != 1)
      return ENCRYPT_E_INPUT;
    clear.append(open.data(), outLen);
  }
  return ClearText(clear);
}

void RsaGenerate(int bits, TextResult& publicKey, TextResult& privateKey) {
  if (bits < 256 || bits > 4096 || bits % 64 != 0) {
    publicKey = TextResult(ENCRYPT_E_ARGUMENT);
    return;
  }
  const Pkey key = BuildKey(bits);
  if (!key) {
    publicKey = TextResult(ENCRYPT_E_CRYPTO);
    return;
  }
  publicKey = KeyText(key.get(), true);
  privateKey = KeyText(key.get(), false);
  if (publicKey.code == ENCRYPT_OK) publicKey.code = privateKey.code;
}

}  // namespace velt::encrypt
