// Test PKI: RSA keys of a chosen size and self-signed certificates through OpenSSL.
#include "cert/test_pki.h"

#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "cert/openssl_ptr.h"

namespace velt::cert::testing {
namespace {

void Check(bool ok, const char* what) {
  if (!ok) throw std::runtime_error(what);
}

std::string BioText(BIO* bio) {
  char* data = nullptr;
  const long n = BIO_get_mem_data(bio, &data);
  return std::string(data, static_cast<std::size_t>(n));
}

}  // namespace

Pki MakePki(int bits, const std::string& password, const CertOptions& o) {
  PkeyPtr key(EVP_RSA_gen(static_cast<unsigned>(bits)));
  Check(key != nullptr, "key generation");
  X509Ptr cert(X509_new());
  Check(X509_set_version(cert.get(), o.version - 1) == 1, "version");
  BIGNUM* serial = BN_new();
  BN_set_word(serial, static_cast<BN_ULONG>(o.serial));
  BN_to_ASN1_INTEGER(serial, X509_get_serialNumber(cert.get()));
  BN_free(serial);
  Check(ASN1_TIME_set_string(X509_getm_notBefore(cert.get()), o.notBefore.c_str()) == 1, "notBefore");
  Check(ASN1_TIME_set_string(X509_getm_notAfter(cert.get()), o.notAfter.c_str()) == 1, "notAfter");
  X509_NAME* name = X509_get_subject_name(cert.get());
  X509_NAME_add_entry_by_NID(name, NID_organizationName, MBSTRING_UTF8,
                             reinterpret_cast<const unsigned char*>(o.organisation.c_str()), -1, -1, 0);
  X509_NAME_add_entry_by_NID(name, NID_commonName, MBSTRING_UTF8,
                             reinterpret_cast<const unsigned char*>(o.commonNameUtf8.c_str()), -1, -1, 0);
  X509_set_issuer_name(cert.get(), name);
  X509_set_pubkey(cert.get(), key.get());
  Check(X509_sign(cert.get(), key.get(), EVP_sha256()) > 0, "sign");

  Pki pki;
  BioPtr keyBio(BIO_new(BIO_s_mem()));
  Check(PEM_write_bio_PrivateKey_traditional(keyBio.get(), key.get(), EVP_des_ede3_cbc(), nullptr, 0, nullptr,
                                             const_cast<char*>(password.c_str())) == 1, "key pem");
  pki.keyPem = BioText(keyBio.get());
  BioPtr certBio(BIO_new(BIO_s_mem()));
  Check(PEM_write_bio_X509(certBio.get(), cert.get()) == 1, "cert pem");
  pki.certPem = BioText(certBio.get());
  return pki;
}

TempDir::TempDir() {
  char tmpl[] = "/tmp/velt_cert_XXXXXX";
  Check(mkdtemp(tmpl) != nullptr, "mkdtemp");
  path_ = tmpl;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::File(const std::string& name, const std::string& contents) const {
  const std::string p = path_ + "/" + name;
  std::ofstream(p, std::ios::binary) << contents;
  return p;
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace velt::cert::testing
