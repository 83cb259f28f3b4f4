// Base64 (standard alphabet, "=" fill) for binary values, over OpenSSL's codec.
#pragma once

#include <string>
#include <string_view>

namespace velt::veltcall {

std::string Base64Encode(std::string_view bytes);
// False when `text` is not Base64 (length not a multiple of 4, a character outside the alphabet).
bool Base64Decode(std::string_view text, std::string& bytes);

}  // namespace velt::veltcall
