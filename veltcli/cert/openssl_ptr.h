// Owning pointers for the OpenSSL objects the certificate functions create, so every path frees them.
#pragma once

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>

namespace velt::cert {

struct BioFree { void operator()(BIO* p) const { BIO_free(p); } };
struct PkeyFree { void operator()(EVP_PKEY* p) const { EVP_PKEY_free(p); } };
struct PkeyCtxFree { void operator()(EVP_PKEY_CTX* p) const { EVP_PKEY_CTX_free(p); } };
struct X509Free { void operator()(X509* p) const { X509_free(p); } };

using BioPtr = std::unique_ptr<BIO, BioFree>;
using PkeyPtr = std::unique_ptr<EVP_PKEY, PkeyFree>;
using PkeyCtxPtr = std::unique_ptr<EVP_PKEY_CTX, PkeyCtxFree>;
using X509Ptr = std::unique_ptr<X509, X509Free>;

}  // namespace velt::cert
