// Exported certificate and envelope functions: check the handle, forward to the internals.
#include "veltcli.h"
#include "cert/cert_functions.h"

namespace vc = velt::cert;

extern "C" {

VELTCLI_API int VELTCLI_SSLVerifyCertPasswd(VELTCLI_HANDLE handle, const char* keyFile, const char* password) {
  if (handle == nullptr) return vc::kVerifyNoHandle;
  return vc::VerifyKeyPassword(keyFile, password);
}

VELTCLI_API int VELTCLI_SSLModifyCertPasswd(VELTCLI_HANDLE handle, const char* keyFile, const char* oldPassword,
                                            const char* newPassword) {
  if (handle == nullptr) return vc::kModifyNoHandle;
  try {
    return vc::ChangeKeyPassword(keyFile, oldPassword, newPassword);
  } catch (...) {   // std::string growth while joining the new file
    return vc::kModifyMemory;
  }
}

VELTCLI_API int VELTCLI_SSLEncrypt(VELTCLI_HANDLE handle, const char* keyFile, const char* password, const char* data,
                                   int length, char** out, int* outLength) {
  if (out != nullptr) *out = nullptr;
  if (outLength != nullptr) *outLength = 0;
  if (handle == nullptr) return vc::kCryptNoHandle;
  return vc::EncryptWithKey(keyFile, password, data, length, out, outLength);
}

VELTCLI_API int VELTCLI_SSLDecrypt(VELTCLI_HANDLE handle, const char* keyFile, const char* password, const char* data,
                                   int length, char** out, int* outLength) {
  if (out != nullptr) *out = nullptr;
  if (outLength != nullptr) *outLength = 0;
  if (handle == nullptr) return vc::kCryptNoHandle;
  return vc::DecryptWithKey(keyFile, password, data, length, out, outLength);
}

VELTCLI_API int VELTCLI_SSLGetCertInfo(VELTCLI_HANDLE handle, const char* certFile, int infoType, int nid, char* text,
                                       int size) {
  if (handle == nullptr) {
    vc::FormatNullHandleMessage(text, size);
    return vc::kInfoNoHandle;
  }
  try {
    return vc::CertificateInfo(certFile, infoType, nid, text, size);
  } catch (...) {   // text assembly ran out of memory: report what the caller can act on
    if (text != nullptr && size > 0) text[0] = '\0';
    return vc::kInfoBadCert;
  }
}

VELTCLI_API int VELTCLI_FreeMemory(VELTCLI_HANDLE handle, void* block) {
  if (handle == nullptr) return 1;
  vc::FreeBlock(block);
  return 0;
}

}  // extern "C"
