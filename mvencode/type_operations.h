// The six encodings one by one; each checks its own arguments before it writes anything.
#pragma once

namespace velt::mvencode {

constexpr int kArgumentError = -1;
constexpr int kOneWay = -10000;

// The arguments of MVEncode/MVDecode after the type.
struct EncodeArgs {
  const unsigned char* in;
  int inLen;
  unsigned char* out;
  int outSize;
  const unsigned char* key;
  int keyLen;
};

int CryptDes(const EncodeArgs& a, bool decrypt);      // type 1
int DigestMd5(const EncodeArgs& a);                   // type 2 (encode only)
int CryptAes(const EncodeArgs& a, bool decrypt);      // type 3
int EncodeBase64(const EncodeArgs& a);                // type 4
int DecodeBase64(const EncodeArgs& a);
int EncodeChars(const EncodeArgs& a);                 // type 5
int DecodeChars(const EncodeArgs& a);
int EncodeAesCbc(const EncodeArgs& a);                // type 6
int DecodeAesCbc(const EncodeArgs& a);

// Type 6's AES-256 key and initial vector derived from the caller's key (exposed for the tests
// that check the cipher against another AES).
struct AesCbcKey {
  unsigned char key[32];
  unsigned char iv[16];
};
void DeriveAesCbcKey(const unsigned char* key, int keyLen, AesCbcKey& derived);

// AES key size chosen by keyLen for type 3: 16, 24 or 32 bytes, or 0 when it matches none.
int AesKeyBytesFor(int keyLen);

}  // namespace velt::mvencode
