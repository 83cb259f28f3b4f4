// Key-file functions: password check and change, RSA envelope encryption and decryption (PKCS#1 v1.5).
#include <fcntl.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "cert/cert_functions.h"
#include "cert/openssl_ptr.h"

namespace velt::cert {
namespace {

constexpr char kRsaEndMarker[] = "-----END RSA PRIVATE KEY-----\n";
constexpr int kPkcs1Overhead = 11;

enum class LoadResult { kOk, kNoBio, kNoFile, kBadKey };

// The password is handed to OpenSSL's default callback as its data; a null password is the empty
// one, so OpenSSL never falls back to prompting on the terminal.
LoadResult LoadPrivateKey(const char* keyFile, const char* password, PkeyPtr& key) {
  BioPtr bio(BIO_new(BIO_s_file()));
  if (!bio) return LoadResult::kNoBio;
  if (keyFile == nullptr || BIO_read_filename(bio.get(), keyFile) <= 0) return LoadResult::kNoFile;
  key.reset(PEM_read_bio_PrivateKey(bio.get(), nullptr, nullptr, const_cast<char*>(password ? password : "")));
  return key ? LoadResult::kOk : LoadResult::kBadKey;
}

// OpenSSL leaves failures on the calling thread's error queue; the caller gets our code instead.
struct ErrorQueueGuard {
  ~ErrorQueueGuard() { ERR_clear_error(); }
};

void ResetOutputs(char** out, int* outLen) {
  if (out != nullptr) *out = nullptr;
  if (outLen != nullptr) *outLen = 0;
}

PkeyCtxPtr RsaContext(EVP_PKEY* key, bool encrypt) {
  PkeyCtxPtr ctx(EVP_PKEY_CTX_new(key, nullptr));
  if (!ctx) return nullptr;
  const int init = encrypt ? EVP_PKEY_encrypt_init(ctx.get()) : EVP_PKEY_decrypt_init(ctx.get());
  if (init <= 0 || EVP_PKEY_CTX_set_rsa_padding(ctx.get(), RSA_PKCS1_PADDING) <= 0) return nullptr;
  return ctx;
}

struct FileCloser { void operator()(FILE* f) const { std::fclose(f); } };
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Reads the whole key file the way the password change needs it, with that step's codes.
int ReadWholeFile(const char* keyFile, std::string& contents, mode_t& mode) {
  FilePtr f(keyFile ? std::fopen(keyFile, "r+b") : nullptr);
  if (!f) return kModifyOpen;
  struct stat st{};
  if (fstat(fileno(f.get()), &st) != 0) return kModifySeek;
  mode = st.st_mode & 07777;
  if (std::fseek(f.get(), 0, SEEK_END) != 0) return kModifySeek;
  const long length = std::ftell(f.get());
  if (length < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0) return kModifySeek;
  try {
    contents.assign(static_cast<std::size_t>(length), '\0');
  } catch (const std::bad_alloc&) {
    return kModifyMemory;
  }
  if (std::fread(contents.data(), 1, contents.size(), f.get()) != contents.size()) return kModifyRead;
  return kModifyOk;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Replaces the key file in one step: the new content goes to a temporary file beside it, which is
// renamed over the original, so a failure never leaves a damaged key file behind.
int ReplaceFile(const char* keyFile, mode_t mode, const std::string& newKey, const std::string& tail) {
  std::unique_ptr<char, decltype(&std::free)> real(realpath(keyFile, nullptr), &std::free);
  const std::string target = real ? real.get() : keyFile;
  std::string temp = target + ".XXXXXX";
  const int fd = mkstemp(temp.data());
  if (fd < 0) return kModifyTempFile;
  // The re-encrypted key block failing to reach the file is its own code; the rest of the file,
  // the flush and the rename share the later one.
  int rc = kModifyOk;
  if (fchmod(fd, mode) != 0 || !WriteAll(fd, newKey.data(), newKey.size())) rc = kModifyWriteKey;
  else if (!WriteAll(fd, tail.data(), tail.size()) || fsync(fd) != 0) rc = kModifyWriteTail;
  const bool closed = ::close(fd) == 0;
  if (rc == kModifyOk && (!closed || std::rename(temp.c_str(), target.c_str()) != 0)) rc = kModifyWriteTail;
  if (rc != kModifyOk) ::unlink(temp.c_str());
  return rc;
}

// The key in the traditional PKCS#1 form ("BEGIN RSA PRIVATE KEY" with encryption headers), so the
// end marker is found again by the next change; OpenSSL's default writer would emit PKCS#8.
bool WriteTraditionalKey(EVP_PKEY* key, const char* password, std::string& pem) {
  BioPtr mem(BIO_new(BIO_s_mem()));
  if (!mem || password == nullptr) return false;
  if (PEM_write_bio_PrivateKey_traditional(mem.get(), key, EVP_des_ede3_cbc(), nullptr, 0, nullptr,
                                           const_cast<char*>(password)) <= 0)
    return false;
  char* data = nullptr;
  const long n = BIO_get_mem_data(mem.get(), &data);
  if (n <= 0) return false;
  pem.assign(data, static_cast<std::size_t>(n));
  return true;
}

}  // namespace

int VerifyKeyPassword(const char* keyFile, const char* password) {
  ErrorQueueGuard errors;
  PkeyPtr key;
  switch (LoadPrivateKey(keyFile, password, key)) {
    case LoadResult::kOk: return kVerifyOk;
    case LoadResult::kNoBio: return kVerifyNoBio;
    case LoadResult::kNoFile: return kVerifyNoFile;
    case LoadResult::kBadKey: break;
  }
  return kVerifyBadKey;
}

int ChangeKeyPassword(const char* keyFile, const char* oldPassword, const char* newPassword) {
  ErrorQueueGuard errors;
  std::string contents;
  mode_t mode = 0600;
  if (const int rc = ReadWholeFile(keyFile, contents, mode); rc != kModifyOk) return rc;
  const auto marker = contents.find(kRsaEndMarker);
  if (marker == std::string::npos) return kModifyNoEndMarker;
  const std::string tail = contents.substr(marker + sizeof kRsaEndMarker - 1);

  PkeyPtr key;
  switch (LoadPrivateKey(keyFile, oldPassword, key)) {
    case LoadResult::kOk: break;
    case LoadResult::kNoBio: return kModifyNoBio;
    case LoadResult::kNoFile: return kModifyBioOpen;
    case LoadResult::kBadKey: return kModifyBadKey;
  }
  std::string pem;
  if (!WriteTraditionalKey(key.get(), newPassword, pem)) return kModifyWriteKey;
  return ReplaceFile(keyFile, mode, pem, tail);
}

int EncryptWithKey(const char* keyFile, const char* password, const char* data, int length, char** out,
                   int* outLen) {
  ErrorQueueGuard errors;
  ResetOutputs(out, outLen);
  if (length <= 0 || data == nullptr || out == nullptr || outLen == nullptr) return kCryptBadArgument;
  PkeyPtr key;
  switch (LoadPrivateKey(keyFile, password, key)) {
    case LoadResult::kOk: break;
    case LoadResult::kNoBio: return kCryptNoBio;
    case LoadResult::kNoFile: return kCryptNoFile;
    case LoadResult::kBadKey: return kCryptBadKey;
  }
  const int k = EVP_PKEY_get_size(key.get());
  if (k <= kPkcs1Overhead) return kCryptKeySize;   // no room for data in a padded block
  const long long chunk = k - kPkcs1Overhead;
  const long long blocks = (length + chunk - 1) / chunk;
  const long long total = blocks * k;
  if (total > INT_MAX - 1) return kCryptMemory;     // the length could not be reported
  std::unique_ptr<char, decltype(&std::free)> block(static_cast<char*>(std::malloc(total + 1)), &std::free);
  if (!block) return kCryptMemory;
  block.get()[total] = '\0';
  if (EVP_PKEY_get_base_id(key.get()) != EVP_PKEY_RSA) return kCryptNotRsa;

  PkeyCtxPtr ctx = RsaContext(key.get(), true);
  if (!ctx) return kCryptBlockFailed;
  for (long long i = 0; i * chunk < length; ++i) {
    const long long offset = i * chunk;
    const std::size_t inSize = static_cast<std::size_t>(std::min<long long>(chunk, length - offset));
    std::size_t produced = static_cast<std::size_t>(k);
    if (EVP_PKEY_encrypt(ctx.get(), reinterpret_cast<unsigned char*>(block.get() + i * k), &produced,
                         reinterpret_cast<const unsigned char*>(data + offset), inSize) <= 0 ||
        produced != static_cast<std::size_t>(k))
      return kCryptBlockFailed;
  }
  *out = block.release();
  *outLen = static_cast<int>(total);
  return kCryptOk;
}

int DecryptWithKey(const char* keyFile, const char* password, const char* data, int length, char** out,
                   int* outLen) {
  ErrorQueueGuard errors;
  ResetOutputs(out, outLen);
  if (length < 1 || data == nullptr || out == nullptr || outLen == nullptr) return kCryptBadArgument;
  PkeyPtr key;
  switch (LoadPrivateKey(keyFile, password, key)) {
    case LoadResult::kOk: break;
    case LoadResult::kNoBio: return kCryptNoBio;
    case LoadResult::kNoFile: return kCryptNoFile;
    case LoadResult::kBadKey: return kCryptBadKey;
  }
  const int k = EVP_PKEY_get_size(key.get());
  if (k <= 0) return kCryptKeySize;
  if (length % k != 0) return kCryptBadLength;
  std::unique_ptr<char, decltype(&std::free)> block(static_cast<char*>(std::malloc(length + 1)), &std::free);
  if (!block) return kCryptMemory;
  block.get()[length] = '\0';
  if (EVP_PKEY_get_base_id(key.get()) != EVP_PKEY_RSA) return kCryptNotRsa;

  PkeyCtxPtr ctx = RsaContext(key.get(), false);
  if (!ctx) return kCryptBlockFailed;
  std::size_t used = 0;
  for (int offset = 0; offset < length; offset += k) {
    std::size_t produced = static_cast<std::size_t>(length) - used;   // room left, always >= k
    if (EVP_PKEY_decrypt(ctx.get(), reinterpret_cast<unsigned char*>(block.get() + used), &produced,
                         reinterpret_cast<const unsigned char*>(data + offset), static_cast<std::size_t>(k)) <= 0)
      return kCryptBlockFailed;
    used += produced;
  }
  block.get()[used] = '\0';
  *out = block.release();
  *outLen = static_cast<int>(used);
  return kCryptOk;
}

void FreeBlock(void* block) { std::free(block); }

}  // namespace velt::cert
