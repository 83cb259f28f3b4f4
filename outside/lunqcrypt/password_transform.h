// The keyed one-way transform of user + password behind EncryptPassword.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velt::lunqcrypt {

// 32 Base64 characters: HMAC-SHA-256 under the built-in key of user, a zero byte, password.
// nullopt when the digest cannot be computed.
std::optional<std::string> PasswordTransform(std::string_view user, std::string_view password);

}  // namespace velt::lunqcrypt
