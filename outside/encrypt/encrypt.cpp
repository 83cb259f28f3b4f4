// The exported calls: argument checks, one bounded copy of the result, no exception past the C
// boundary.
#include "encrypt.h"

#include <cstring>
#include <new>
#include <string_view>

#include "rc5_cipher.h"
#include "text_ciphers.h"
#include "platform/secure_wipe.h"

namespace {

using velt::encrypt::Key16;
using velt::encrypt::TextResult;
using velt::platform::WipeOnExit;

std::string_view Text(const char* s) { return s ? std::string_view(s) : std::string_view(); }

bool Area(char* out, int size) { return out != nullptr && size >= 1; }

// Copies the result whole with its terminator, or leaves an empty text and says why.
int Deliver(char* out, int size, const TextResult& r) {
  out[0] = '\0';
  if (r.code != ENCRYPT_OK) return r.code;
  if (r.text.size() >= static_cast<std::size_t>(size)) return ENCRYPT_E_SPACE;
  std::memcpy(out, r.text.data(), r.text.size());
  out[r.text.size()] = '\0';
  return ENCRYPT_OK;
}

// Runs one operation for an exported call; allocation failure and anything else thrown map to codes.
template <typename Operation>
int Guarded(char* out, int size, Operation operation) {
  if (!Area(out, size)) return ENCRYPT_E_ARGUMENT;
  out[0] = '\0';
  try {
    return Deliver(out, size, operation());
  } catch (const std::bad_alloc&) {
    out[0] = '\0';
    return ENCRYPT_E_MEMORY;
  } catch (...) {
    out[0] = '\0';
    return ENCRYPT_E_CRYPTO;
  }
}

bool Rc5Arguments(const unsigned char* key, int keyLength, int mode) {
  return mode == ENCRYPT_RC5_CBC && keyLength >= 1 &&
         keyLength <= static_cast<int>(velt::encrypt::Rc5Cipher::kMaxKeyBytes) && key != nullptr;
}

}  // namespace

extern "C" {

ENCRYPT_API int RSA_Encrypt1(char* out, int size, const char* publicKey, const char* clear, int blockBytes) {
  return Guarded(out, size, [&] { return velt::encrypt::RsaEncrypt(Text(publicKey), Text(clear), blockBytes); });
}

ENCRYPT_API int RSA_Decrypt1(char* out, int size, const char* privateKey, const char* encrypted) {
  return Guarded(out, size, [&] { return velt::encrypt::RsaDecrypt(Text(privateKey), Text(encrypted)); });
}

ENCRYPT_API int RSA_GenerateKey1(char* publicOut, int publicSize, char* privateOut, int privateSize, int bits) {
  if (!Area(publicOut, publicSize) || !Area(privateOut, privateSize)) return ENCRYPT_E_ARGUMENT;
  privateOut[0] = '\0';
  TextResult privateKey;
  const int code = Guarded(publicOut, publicSize, [&] {
    TextResult publicKey;
    velt::encrypt::RsaGenerate(bits, publicKey, privateKey);
    return publicKey;
  });
  if (code != ENCRYPT_OK) return code;
  const int privateCode = Deliver(privateOut, privateSize, privateKey);
  if (privateCode != ENCRYPT_OK) publicOut[0] = '\0';
  return privateCode;
}

ENCRYPT_API int RandomNo(char* out, int size) {
  return Guarded(out, size, [] { return velt::encrypt::RandomNumber(); });
}

ENCRYPT_API int AES_Encrypt1(char* out, int size, long long key, const char* clear) {
  return Guarded(out, size, [&] {
    Key16 k = velt::encrypt::IntegerKey(key);
    const WipeOnExit<Key16> wipe(k);
    return velt::encrypt::AesEncrypt(k, Text(clear));
  });
}

ENCRYPT_API int AES_Decrypt1(char* out, int size, long long key, const char* encrypted) {
  return Guarded(out, size, [&] {
    Key16 k = velt::encrypt::IntegerKey(key);
    const WipeOnExit<Key16> wipe(k);
    return velt::encrypt::AesDecrypt(k, Text(encrypted));
  });
}

ENCRYPT_API int RC5_Encrypt(char* out, int size, const unsigned char* key, int keyLength, int mode,
                            const char* clear) {
  if (Area(out, size) && !Rc5Arguments(key, keyLength, mode)) {
    out[0] = '\0';
    return ENCRYPT_E_ARGUMENT;
  }
  return Guarded(out, size, [&] {
    return velt::encrypt::Rc5Encrypt(key, static_cast<std::size_t>(keyLength), Text(clear));
  });
}

ENCRYPT_API int RC5_Decrypt(char* out, int size, const unsigned char* key, int keyLength, int mode,
                            const char* encrypted) {
  if (Area(out, size) && !Rc5Arguments(key, keyLength, mode)) {
    out[0] = '\0';
    return ENCRYPT_E_ARGUMENT;
  }
  return Guarded(out, size, [&] {
    return velt::encrypt::Rc5Decrypt(key, static_cast<std::size_t>(keyLength), Text(encrypted));
  });
}

ENCRYPT_API int RC5_Encrypt1(char* out, int size, long long key, const char* clear) {
  return Guarded(out, size, [&] {
    Key16 k = velt::encrypt::IntegerKey(key);
    const WipeOnExit<Key16> wipe(k);
    return velt::encrypt::Rc5Encrypt(k.data(), k.size(), Text(clear));
  });
}

ENCRYPT_API int RC5_Decrypt1(char* out, int size, long long key, const char* encrypted) {
  return Guarded(out, size, [&] {
    Key16 k = velt::encrypt::IntegerKey(key);
    const WipeOnExit<Key16> wipe(k);
    return velt::encrypt::Rc5Decrypt(k.data(), k.size(), Text(encrypted));
  });
}

}  // extern "C"
