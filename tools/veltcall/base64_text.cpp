// Base64 through EVP_EncodeBlock / EVP_DecodeBlock; the decoder's fill bytes are cut off here.
#include "base64_text.h"

#include <openssl/evp.h>

namespace velt::veltcall {

std::string Base64Encode(std::string_view bytes) {
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int n = EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
  out.resize(static_cast<std::size_t>(n));
  return out;
}

bool Base64Decode(std::string_view text, std::string& bytes) {
  if (text.size() % 4 != 0) return false;
  bytes.assign(text.size() / 4 * 3 + 1, '\0');
  const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(bytes.data()),
                                reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
  if (n < 0) return false;
  std::size_t fill = 0;
  if (!text.empty() && text.back() == '=') fill = text.size() >= 2 && text[text.size() - 2] == '=' ? 2 : 1;
  bytes.resize(static_cast<std::size_t>(n) - fill);
  return true;
}

}  // namespace velt::veltcall
