// The operations behind the exported calls, on strings: each returns its code and text, and the
// exported shims only check arguments and copy the text into the caller's area.
#pragma once

#include <cstddef>
#include <string_view>

#include "cipher_text.h"

namespace velt::encrypt {

TextResult Rc5Encrypt(const unsigned char* key, std::size_t keyLength, std::string_view clear);
TextResult Rc5Decrypt(const unsigned char* key, std::size_t keyLength, std::string_view text);

TextResult AesEncrypt(const Key16& key, std::string_view clear);
TextResult AesDecrypt(const Key16& key, std::string_view text);

TextResult RsaEncrypt(std::string_view publicKey, std::string_view clear, int blockBytes);
TextResult RsaDecrypt(std::string_view privateKey, std::string_view text);
// A key pair of `bits` bits; `publicKey` carries the code.
void RsaGenerate(int bits, TextResult& publicKey, TextResult& privateKey);

TextResult RandomNumber();

}  // namespace velt::encrypt
