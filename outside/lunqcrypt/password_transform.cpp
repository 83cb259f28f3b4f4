// HMAC-SHA-256 through OpenSSL's EVP_MAC; the zero byte between user and password keeps
// ("ab", "c") and ("a", "bc") apart.
#include "password_transform.h"

#include <openssl/core_names.h>
#include <openssl/evp.h>
#include <openssl/params.h>

#include <memory>

#include "platform/base64.h"
#include "platform/secure_wipe.h"

namespace velt::lunqcrypt {
namespace {

// Built into the library: the transform is the same on every machine, so a server holding the
// clear password can compute the text it expects.
constexpr unsigned char kKey[32] = {
    0x5a, 0x1f, 0x8c, 0x33, 0xe4, 0x07, 0x9b, 0x62, 0xd1, 0x48, 0xae, 0x15, 0x7c, 0xf0, 0x29, 0x86,
    0x3b, 0xc7, 0x54, 0x0e, 0x91, 0x6a, 0xdf, 0x28, 0xb5, 0x40, 0x13, 0xea, 0x77, 0x9c, 0x02, 0xcd};

struct MacFree {
  void operator()(EVP_MAC* m) const { EVP_MAC_free(m); }
  void operator()(EVP_MAC_CTX* c) const { EVP_MAC_CTX_free(c); }
};

bool Hmac(std::string_view user, std::string_view password, unsigned char* out, std::size_t* outLength) {
  std::unique_ptr<EVP_MAC, MacFree> mac(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
  if (!mac) return false;
  std::unique_ptr<EVP_MAC_CTX, MacFree> ctx(EVP_MAC_CTX_new(mac.get()));
  if (!ctx) return false;
  char digest[] = "SHA256";
  const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                               OSSL_PARAM_construct_end()};
  static const unsigned char kSeparator = 0;
  return EVP_MAC_init(ctx.get(), kKey, sizeof kKey, params) == 1 &&
         EVP_MAC_update(ctx.get(), reinterpret_cast<const unsigned char*>(user.data()), user.size()) == 1 &&
         EVP_MAC_update(ctx.get(), &kSeparator, 1) == 1 &&
         EVP_MAC_update(ctx.get(), reinterpret_cast<const unsigned char*>(password.data()), password.size()) == 1 &&
         EVP_MAC_final(ctx.get(), out, outLength, EVP_MAX_MD_SIZE) == 1;
}

}  // namespace

std::optional<std::string> PasswordTransform(std::string_view user, std::string_view password) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  velt::platform::WipeOnExit<unsigned char[EVP_MAX_MD_SIZE]> wipe(digest);
  std::size_t length = 0;
  if (!Hmac(user, password, digest, &length) || length != 32) return std::nullopt;
  char text[velt::platform::Base64EncodedLength(32)];
  velt::platform::Base64Encode(digest, length, text);
  return std::string(text, 32);
}

}  // namespace velt::lunqcrypt
