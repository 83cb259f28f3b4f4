// Certificate and envelope functions: key-file password check and change, RSA envelope encryption
// with the key pair, certificate fields. They keep no state; the client handle is only checked for
// null by the exported functions, which forward here.
#pragma once

#include <cstddef>

namespace velt::cert {

// Codes of the key-file password check.
enum VerifyCode { kVerifyOk = 0, kVerifyNoHandle = 1, kVerifyNoBio = 2, kVerifyNoFile = 3, kVerifyBadKey = 4 };

// Codes of the key-file password change.
enum ModifyCode {
  kModifyOk = 0, kModifyNoHandle = 1, kModifyOpen = 2, kModifySeek = 3, kModifyMemory = 4, kModifyRead = 5,
  kModifyNoEndMarker = 6, kModifyNoBio = 7, kModifyBioOpen = 8, kModifyBadKey = 9, kModifyWriteKey = 10,
  kModifyTempFile = 11, kModifyWriteTail = 12
};

// Codes shared by encryption and decryption.
enum CryptCode {
  kCryptOk = 0, kCryptNoHandle = 1, kCryptBadArgument = 2, kCryptNoBio = 3, kCryptNoFile = 4, kCryptBadKey = 5,
  kCryptBadLength = 6, kCryptMemory = 7, kCryptBlockFailed = 8, kCryptNotRsa = 9, kCryptKeySize = 10
};

// Codes of the certificate information call.
enum InfoCode { kInfoOk = 0, kInfoNoHandle = 1, kInfoNoBuffer = 2, kInfoNoFile = 3, kInfoBadCert = 4, kInfoBadType = 5 };

int VerifyKeyPassword(const char* keyFile, const char* password);
int ChangeKeyPassword(const char* keyFile, const char* oldPassword, const char* newPassword);

// Result blocks are malloc'ed, one byte longer than *outLen and zero-terminated; the caller frees
// them with FreeBlock (VELTCLI_FreeMemory). On failure *out is null and *outLen 0.
int EncryptWithKey(const char* keyFile, const char* password, const char* data, int length, char** out, int* outLen);
int DecryptWithKey(const char* keyFile, const char* password, const char* data, int length, char** out, int* outLen);
void FreeBlock(void* block);

int CertificateInfo(const char* certFile, int infoType, int nid, char* buf, int size);
// The message of a null handle ("Invalid parameter hHandle = %p" with a null pointer).
void FormatNullHandleMessage(char* buf, int size);

}  // namespace velt::cert
