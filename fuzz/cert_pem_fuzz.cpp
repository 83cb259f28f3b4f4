// PEM inputs of the certificate functions: the input becomes a key file and a certificate file
// in a private folder (the same bytes serve both), and byte 0 picks the function: password check,
// password change, envelope encryption and decryption with the key, certificate fields.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "cert/cert_functions.h"

namespace {

constexpr const char* kKey = "key.pem";

void Write(const char* name, const std::uint8_t* data, std::size_t size) {
  FILE* f = std::fopen(name, "wb");
  if (f == nullptr) std::abort();
  if (size > 0) std::fwrite(data, 1, size, f);
  std::fclose(f);
}

bool EnterPrivateFolder() {
  char folder[] = "/tmp/velt-cert-fuzz-XXXXXX";
  return mkdtemp(folder) != nullptr && chdir(folder) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool entered = EnterPrivateFolder();
  if (!entered) std::abort();
  if (size < 2) return 0;
  const std::uint8_t choice = data[0];
  const std::uint8_t argument = data[1];
  Write(kKey, data + 2, size - 2);
  namespace cert = velt::cert;
  switch (choice % 5) {
    case 0: cert::VerifyKeyPassword(kKey, "secret"); break;
    case 1: cert::ChangeKeyPassword(kKey, "secret", (argument & 1) != 0 ? "other" : ""); break;
    case 2:
    case 3: {
      const char text[] = "fuzzed envelope text";
      char* out = nullptr;
      int outLen = 0;
      const int rc = choice % 5 == 2 ? cert::EncryptWithKey(kKey, "secret", text, sizeof text - 1, &out, &outLen)
                                     : cert::DecryptWithKey(kKey, "secret", reinterpret_cast<const char*>(data + 2),
                                                            static_cast<int>(size - 2 > 512 ? 512 : size - 2), &out,
                                                            &outLen);
      if (rc == 0) cert::FreeBlock(out);
      break;
    }
    default: {
      char buf[256];
      const int nids[] = {13, 14, 17, 18, 48, 0, -1};
      cert::CertificateInfo(kKey, argument % 12, nids[argument % 7], buf, (argument & 0x80) != 0 ? 8 : sizeof buf);
      break;
    }
  }
  return 0;
}
