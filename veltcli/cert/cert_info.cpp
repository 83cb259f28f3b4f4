// Certificate fields as text: name entries (converted to GBK), one-line names, version, serial,
// validity times. Every text is cut to the caller's size.
#include <openssl/asn1.h>
#include <openssl/err.h>
#include <openssl/pem.h>

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/codepage.h"
#include "cert/cert_functions.h"
#include "cert/openssl_ptr.h"

namespace velt::cert {
namespace {

void CopyText(const std::string& text, char* buf, int size) {
  const std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(buf, text.data(), n);
  buf[n] = '\0';
}

// Longest prefix of a GBK text of at most `limit` bytes that does not split a double-byte character.
std::size_t GbkPrefix(const std::string& text, std::size_t limit) {
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const std::size_t width = (c >= 0x81 && c <= 0xFE && i + 1 < text.size()) ? 2 : 1;
    if (i + width > limit) break;
    i += width;
  }
  return i;
}

// The entry's text in UTF-8 whatever ASN.1 string type holds it, then in GBK. Text that cannot be
// converted (not valid UTF-8 or no GBK form) is returned as read.
std::string NameEntryText(X509_NAME* name, int nid) {
  const int index = X509_NAME_get_index_by_NID(name, nid, -1);
  if (index < 0) return {};
  ASN1_STRING* value = X509_NAME_ENTRY_get_data(X509_NAME_get_entry(name, index));
  unsigned char* utf8 = nullptr;
  const int n = ASN1_STRING_to_UTF8(&utf8, value);
  if (n < 0) return {};
  std::string text(reinterpret_cast<char*>(utf8), static_cast<std::size_t>(n));
  OPENSSL_free(utf8);
  auto gbk = velt::platform::Utf8ToGbk(text);
  return gbk ? *gbk : text;
}

std::string TimeWithoutLastCharacter(const ASN1_TIME* t) {
  if (t == nullptr) return {};
  const int n = ASN1_STRING_length(t);
  if (n <= 0) return {};
  return std::string(reinterpret_cast<const char*>(ASN1_STRING_get0_data(t)), static_cast<std::size_t>(n - 1));
}

std::string SerialText(X509* cert) {
  uint64_t serial = 0;
  if (ASN1_INTEGER_get_uint64(&serial, X509_get0_serialNumber(cert)) != 1 || serial > 0xFFFFFFFFu)
    serial = 0xFFFFFFFFu;   // negative or wider than 32 bits
  return std::to_string(serial);
}

std::string OneLine(X509_NAME* name) {
  char* text = X509_NAME_oneline(name, nullptr, 0);
  if (text == nullptr) return {};
  std::string result(text);
  OPENSSL_free(text);
  return result;
}

}  // namespace

void FormatNullHandleMessage(char* buf, int size) {
  if (buf == nullptr || size <= 0) return;
  // The pointer is the null handle: the width of a pointer in upper-case hexadecimal digits.
  std::snprintf(buf, static_cast<std::size_t>(size), "Invalid parameter hHandle = %0*" PRIXPTR,
                static_cast<int>(sizeof(void*) * 2), static_cast<uintptr_t>(0));
}

int CertificateInfo(const char* certFile, int infoType, int nid, char* buf, int size) {
  if (buf == nullptr || size < 1) return kInfoNoBuffer;
  buf[0] = '\0';
  struct ErrorQueueGuard { ~ErrorQueueGuard() { ERR_clear_error(); } } errors;
  const std::size_t room = static_cast<std::size_t>(size);
  BioPtr bio(certFile ? BIO_new_file(certFile, "r") : nullptr);
  if (!bio) {
    std::snprintf(buf, room, "Open CA certificate file %s error", certFile ? certFile : "(null)");
    return kInfoNoFile;
  }
  X509Ptr cert(PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr));
  if (!cert) {
    std::snprintf(buf, room, "Unable load certificate file %s error", certFile);
    return kInfoBadCert;
  }
  switch (infoType) {
    case 0:
    case 1: {
      const std::string text = NameEntryText(
          infoType == 0 ? X509_get_subject_name(cert.get()) : X509_get_issuer_name(cert.get()), nid);
      CopyText(text.substr(0, GbkPrefix(text, room - 1)), buf, size);
      break;
    }
    case 2: CopyText(std::to_string(static_cast<unsigned long>(X509_get_version(cert.get()))), buf, size); break;
    case 3: CopyText(SerialText(cert.get()), buf, size); break;
    case 4: CopyText(OneLine(X509_get_subject_name(cert.get())), buf, size); break;
    case 5: CopyText(OneLine(X509_get_issuer_name(cert.get())), buf, size); break;
    case 6: CopyText(TimeWithoutLastCharacter(X509_get0_notBefore(cert.get())), buf, size); break;
    case 7: CopyText(TimeWithoutLastCharacter(X509_get0_notAfter(cert.get())), buf, size); break;
    default:
      std::snprintf(buf, room, "Invalid parameter: nInfoType = %d", infoType);
      return kInfoBadType;
  }
  return kInfoOk;
}

}  // namespace velt::cert
