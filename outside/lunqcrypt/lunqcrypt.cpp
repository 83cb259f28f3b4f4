// The exported transform: bounded copy of the text, no exception past the C boundary.
#include "lunqcrypt.h"

#include <algorithm>
#include <cstring>

#include "password_transform.h"

extern "C" LUNQCRYPT_API int EncryptPassword(const char* user, const char* password, char* out, int outSize) {
  if (!out || outSize < 1) return LUNQCRYPT_ERR_ARGUMENT;
  out[0] = '\0';
  try {
    const auto text = velt::lunqcrypt::PasswordTransform(user ? user : "", password ? password : "");
    if (!text) return LUNQCRYPT_ERR_CRYPTO;
    const std::size_t n = std::min<std::size_t>(text->size(), static_cast<std::size_t>(outSize) - 1);
    std::memcpy(out, text->data(), n);
    out[n] = '\0';
    return LUNQCRYPT_OK;
  } catch (...) {
    return LUNQCRYPT_ERR_CRYPTO;
  }
}
