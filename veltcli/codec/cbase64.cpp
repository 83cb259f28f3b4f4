// Binary values as Base64 text, over platform/base64.
#include "codec/cbase64.h"

#include "platform/base64.h"

const char* CBase64::Encode(const unsigned char* data, std::size_t length, std::size_t* textLength) noexcept {
  if (length > (static_cast<std::size_t>(INT_MAX) - 8) / 4 * 3) return nullptr;
  const std::size_t n = velt::platform::Base64EncodedLength(length);
  if (!text_.Reserve(n + 1)) return nullptr;
  velt::platform::Base64Encode(data, length, text_.Data());
  text_.Data()[n] = '\0';
  if (textLength != nullptr) *textLength = n;
  return text_.Data();
}

std::size_t CBase64::Decode(const char* text, std::size_t length, unsigned char* out, std::size_t outSize) noexcept {
  std::size_t n = velt::platform::Base64DecodeSkipping(text, length, out, outSize - 1);
  if (n > outSize - 1) n = outSize - 1;
  out[n] = 0;
  return n;
}
