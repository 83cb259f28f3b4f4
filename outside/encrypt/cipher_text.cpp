// Shared pieces of the encrypted texts.
#include "cipher_text.h"

#include <openssl/rand.h>

#include <cstring>

#include "platform/base64.h"
#include "platform/secure_wipe.h"

namespace velt::encrypt {

SecretBytes::~SecretBytes() { platform::SecureWipe(bytes_.data(), bytes_.size()); }

void SecretBytes::resize(std::size_t n) {
  if (n < bytes_.size()) platform::SecureWipe(bytes_.data() + n, bytes_.size() - n);
  bytes_.resize(n);
}

TextResult::~TextResult() { platform::SecureWipe(text.data(), text.size()); }

Key16 IntegerKey(long long key) {
  Key16 k{};
  const auto bits = static_cast<unsigned long long>(key);
  for (int i = 0; i < 8; ++i) k[static_cast<std::size_t>(i)] = static_cast<unsigned char>(bits >> (8 * i));
  return k;
}

std::string Base64Text(const unsigned char* bytes, std::size_t n) {
  std::string text(platform::Base64EncodedLength(n), '\0');
  platform::Base64Encode(bytes, n, text.data());
  return text;
}

bool Base64Bytes(std::string_view text, SecretBytes& out, bool skipSpace) {
  std::string compact;
  if (skipSpace) {
    for (char c : text)
      if (c != ' ' && c != '\t' && c != '\r' && c != '\n') compact.push_back(c);
    text = compact;
  }
  if (text.size() % 4 != 0) return false;
  SecretBytes bytes(platform::Base64DecodedBound(text.size()));
  const auto r = platform::Base64DecodeGrouped(text.data(), text.size(), bytes.data());
  if (r.foreign) return false;
  bytes.resize(r.bytes);
  // Only the one text that encodes these bytes is accepted: no inner "=", no stray low bits.
  if (Base64Text(bytes.data(), bytes.size()) != text) return false;
  out = std::move(bytes);
  return true;
}

bool RandomBytes(unsigned char* out, std::size_t n) {
  return n == 0 || RAND_bytes(out, static_cast<int>(n)) == 1;
}

void PadPkcs7(SecretBytes& data, std::size_t block) {
  const std::size_t pad = block - data.size() % block;
  const std::size_t at = data.size();
  data.resize(at + pad);
  std::memset(data.data() + at, static_cast<int>(pad), pad);
}

bool UnpadPkcs7(SecretBytes& data, std::size_t block) {
  if (data.size() == 0 || data.size() % block != 0) return false;
  const std::size_t pad = data.data()[data.size() - 1];
  if (pad == 0 || pad > block) return false;
  for (std::size_t i = data.size() - pad; i < data.size(); ++i)
    if (data.data()[i] != pad) return false;
  data.resize(data.size() - pad);
  return true;
}

TextResult ClearText(const SecretBytes& clear) {
  TextResult r;
  if (clear.size() == 0) return r;
  if (std::memchr(clear.data(), 0, clear.size()) != nullptr) return ENCRYPT_E_INPUT;
  r.text.assign(reinterpret_cast<const char*>(clear.data()), clear.size());
  return r;
}

}  // namespace velt::encrypt
