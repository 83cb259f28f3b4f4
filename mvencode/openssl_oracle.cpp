// EVP wrappers used as the reference the encoder's own primitives are checked against.
#include "openssl_oracle.h"

#include <openssl/evp.h>
#include <openssl/provider.h>

#include <memory>
#include <stdexcept>

namespace velt::mvencode::test {
namespace {

// Loading any provider explicitly stops the default one from loading by itself, so load both; they
// are unloaded at exit so that the leak checker of the sanitizer build sees nothing left.
class Providers {
 public:
  Providers() : default_(OSSL_PROVIDER_load(nullptr, "default")), legacy_(OSSL_PROVIDER_load(nullptr, "legacy")) {
    if (default_ == nullptr || legacy_ == nullptr) throw std::runtime_error("OpenSSL default/legacy provider not available");
  }
  ~Providers() {
    if (legacy_ != nullptr) OSSL_PROVIDER_unload(legacy_);
    if (default_ != nullptr) OSSL_PROVIDER_unload(default_);
  }
  Providers(const Providers&) = delete;
  Providers& operator=(const Providers&) = delete;

 private:
  OSSL_PROVIDER* default_;
  OSSL_PROVIDER* legacy_;
};

void LoadProviders() { static const Providers providers; }

struct CipherDeleter {
  void operator()(EVP_CIPHER* c) const { EVP_CIPHER_free(c); }
};
struct ContextDeleter {
  void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};

}  // namespace

Bytes OpenSslCrypt(const char* cipherName, const Bytes& key, const Bytes& iv, const Bytes& data, bool encrypt) {
  LoadProviders();
  std::unique_ptr<EVP_CIPHER, CipherDeleter> cipher(EVP_CIPHER_fetch(nullptr, cipherName, nullptr));
  std::unique_ptr<EVP_CIPHER_CTX, ContextDeleter> ctx(EVP_CIPHER_CTX_new());
  if (!cipher || !ctx) throw std::runtime_error(std::string("OpenSSL cipher unavailable: ") + cipherName);
  if (EVP_CipherInit_ex2(ctx.get(), cipher.get(), key.data(), iv.empty() ? nullptr : iv.data(), encrypt ? 1 : 0,
                         nullptr) != 1 ||
      EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1) {
    throw std::runtime_error("OpenSSL cipher init failed");
  }
  Bytes out(data.size() + 32);
  int n = 0;
  int final = 0;
  if (EVP_CipherUpdate(ctx.get(), out.data(), &n, data.data(), static_cast<int>(data.size())) != 1 ||
      EVP_CipherFinal_ex(ctx.get(), out.data() + n, &final) != 1) {
    throw std::runtime_error("OpenSSL cipher failed");
  }
  out.resize(static_cast<std::size_t>(n + final));
  return out;
}

Bytes OpenSslMd5(const Bytes& data) {
  LoadProviders();
  Bytes out(16);
  unsigned int n = 0;
  if (EVP_Digest(data.data(), data.size(), out.data(), &n, EVP_md5(), nullptr) != 1 || n != 16) {
    throw std::runtime_error("OpenSSL MD5 failed");
  }
  return out;
}

std::string OpenSslBase64(const Bytes& data) {
  std::string out(4 * ((data.size() + 2) / 3) + 1, '\0');
  const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), data.data(), static_cast<int>(data.size()));
  out.resize(static_cast<std::size_t>(n));
  return out;
}

Bytes FromHex(const std::string& hex) {
  Bytes out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return out;
}

std::string ToHex(const unsigned char* data, std::size_t size) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (std::size_t i = 0; i < size; ++i) {
    out += kDigits[data[i] >> 4];
    out += kDigits[data[i] & 15];
  }
  return out;
}

}  // namespace velt::mvencode::test
