// Keys and certificates made at test time (nothing secret is kept in the repository).
#pragma once

#include <string>

namespace velt::cert::testing {

struct CertOptions {
  int version = 3;                    // 1 or 3
  long long serial = 4097;            // may be wider than 32 bits
  std::string commonNameUtf8 = "\xe5\xbc\xa0\xe4\xb8\x89";   // "张三"
  std::string organisation = "Velt Test";
  std::string notBefore = "200101000000Z";   // UTCTime
  std::string notAfter = "301231235959Z";
};

struct Pki {
  std::string keyPem;    // traditional PKCS#1, DES-EDE3-CBC under the password
  std::string certPem;
};

Pki MakePki(int bits, const std::string& password, const CertOptions& options = {});

// A fresh folder under /tmp, removed with its files when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  std::string File(const std::string& name, const std::string& contents) const;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);

}  // namespace velt::cert::testing
