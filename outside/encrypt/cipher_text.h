// What the RSA, AES and RC5 texts share: results that wipe themselves, the canonical Base64 form,
// integer keys, fresh random bytes and PKCS#7 padding.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "encrypt.h"

namespace velt::encrypt {

// Bytes that may hold a secret: wiped when released.
class SecretBytes {
 public:
  SecretBytes() = default;
  explicit SecretBytes(std::size_t n) : bytes_(n) {}
  SecretBytes(const char* text, std::size_t n) : bytes_(text, text + n) {}
  ~SecretBytes();
  SecretBytes(SecretBytes&& other) noexcept = default;
  SecretBytes& operator=(SecretBytes&& other) noexcept = default;
  SecretBytes(const SecretBytes&) = delete;
  SecretBytes& operator=(const SecretBytes&) = delete;

  unsigned char* data() { return bytes_.data(); }
  const unsigned char* data() const { return bytes_.data(); }
  std::size_t size() const { return bytes_.size(); }
  void resize(std::size_t n);   // wipes what a shrink drops
  void append(const unsigned char* p, std::size_t n) { bytes_.insert(bytes_.end(), p, p + n); }

 private:
  std::vector<unsigned char> bytes_;
};

// A call's code and, on success, its text (wiped when released: it may be a clear secret).
struct TextResult {
  TextResult() = default;
  TextResult(int c) : code(c) {}   // NOLINT: a bare failure code reads best at the return sites
  TextResult(TextResult&&) noexcept = default;
  TextResult& operator=(TextResult&&) noexcept = default;
  ~TextResult();
  int code = ENCRYPT_OK;
  std::string text;
};

using Key16 = std::array<unsigned char, 16>;

// The key of the integer-key calls: eight little-endian bytes, then eight zero bytes.
Key16 IntegerKey(long long key);

std::string Base64Text(const unsigned char* bytes, std::size_t n);
// Decodes the canonical Base64 form only (what Base64Text writes); white space is skipped when
// asked. False for anything else.
bool Base64Bytes(std::string_view text, SecretBytes& out, bool skipSpace = false);

// Fresh bytes from OpenSSL's generator; false when it has no entropy.
bool RandomBytes(unsigned char* out, std::size_t n);

void PadPkcs7(SecretBytes& data, std::size_t block);
// False when the padding is not a valid PKCS#7 tail for that block size.
bool UnpadPkcs7(SecretBytes& data, std::size_t block);

// A decrypted clear text, refused when it holds a zero byte (it could not travel as a text).
TextResult ClearText(const SecretBytes& clear);

}  // namespace velt::encrypt
