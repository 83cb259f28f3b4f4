// Test helpers of the ticket library: INI files in a private temporary folder, and tickets made
// independently with OpenSSL so the library's output is checked against another implementation.
#pragma once

#include <openssl/evp.h>
#include <openssl/provider.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace velt::lyrsso::test {

// A temporary folder removed with the files written through it.
class TempFolder {
 public:
  TempFolder() {
    char tmpl[] = "/tmp/lyrsso_test_XXXXXX";
    if (mkdtemp(tmpl) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
  }
  ~TempFolder() {
    for (const auto& f : files_) std::remove(f.c_str());
    rmdir(path_.c_str());
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  std::string Write(const std::string& name, const std::string& text) {
    const std::string file = path_ + "/" + name;
    std::ofstream(file, std::ios::binary) << text;
    files_.push_back(file);
    return file;
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::vector<std::string> files_;
};

inline std::string IniText(const std::string& validTime, const std::string& secret) {
  return "[LYRSSO]\nValidTime=" + validTime + "\nSpecialString=" + secret + "\n";
}

// Blowfish lives in OpenSSL 3's legacy provider; loading a provider explicitly stops the default
// one from loading by itself, so both are loaded once for the whole program.
// They are unloaded again at exit so the leak checker sees nothing of ours left.
class OpenSslProviders {
 public:
  OpenSslProviders()
      : legacy_(OSSL_PROVIDER_load(nullptr, "legacy")), default_(OSSL_PROVIDER_load(nullptr, "default")) {}
  ~OpenSslProviders() {
    if (default_ != nullptr) OSSL_PROVIDER_unload(default_);
    if (legacy_ != nullptr) OSSL_PROVIDER_unload(legacy_);
  }
  OpenSslProviders(const OpenSslProviders&) = delete;
  OpenSslProviders& operator=(const OpenSslProviders&) = delete;
  bool Loaded() const { return legacy_ != nullptr && default_ != nullptr; }

 private:
  OSSL_PROVIDER* legacy_;
  OSSL_PROVIDER* default_;
};

inline void LoadOpenSslProviders() {
  static const OpenSslProviders providers;
  if (!providers.Loaded()) throw std::runtime_error("OpenSSL legacy provider not available");
}

inline std::vector<unsigned char> OpenSslSha1(const unsigned char* data, std::size_t size) {
  std::vector<unsigned char> digest(20);
  unsigned len = 0;
  if (EVP_Digest(data, size, digest.data(), &len, EVP_sha1(), nullptr) != 1 || len != 20)
    throw std::runtime_error("EVP_Digest failed");
  return digest;
}

// Blowfish ECB through OpenSSL, in OpenSSL's (big-endian) word order. `data` is a multiple of 8.
inline std::vector<unsigned char> OpenSslBlowfish(bool encrypt, const std::vector<unsigned char>& key,
                                                  const std::vector<unsigned char>& data) {
  LoadOpenSslProviders();
  EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, "BF-ECB", nullptr);
  EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
  std::vector<unsigned char> out(data.size() + 8);
  int n = 0;
  const bool ok = cipher != nullptr && ctx != nullptr &&
                  EVP_CipherInit_ex2(ctx, cipher, nullptr, nullptr, encrypt ? 1 : 0, nullptr) == 1 &&
                  EVP_CIPHER_CTX_set_key_length(ctx, static_cast<int>(key.size())) == 1 &&
                  EVP_CipherInit_ex2(ctx, nullptr, key.data(), nullptr, encrypt ? 1 : 0, nullptr) == 1 &&
                  EVP_CIPHER_CTX_set_padding(ctx, 0) == 1 &&
                  EVP_CipherUpdate(ctx, out.data(), &n, data.data(), static_cast<int>(data.size())) == 1;
  EVP_CIPHER_CTX_free(ctx);
  EVP_CIPHER_free(cipher);
  if (!ok || n != static_cast<int>(data.size())) throw std::runtime_error("OpenSSL Blowfish failed");
  out.resize(data.size());
  return out;
}

// The ticket's word order is little-endian, OpenSSL's big-endian: reversing each 4-byte half
// converts one into the other.
inline void SwapHalves(std::vector<unsigned char>& data) {
  for (std::size_t i = 0; i + 4 <= data.size(); i += 4) {
    std::swap(data[i], data[i + 3]);
    std::swap(data[i + 1], data[i + 2]);
  }
}

// A ticket as the format prescribes, built from OpenSSL's SHA-1, Blowfish and Base64 only.
inline std::string OpenSslTicket(const std::string& appId, const std::string& user, const std::string& secret,
                                 std::int32_t expiry) {
  unsigned char record[56] = {};
  std::memcpy(record, appId.data(), std::min<std::size_t>(appId.size(), 7));
  std::memcpy(record + 8, user.data(), std::min<std::size_t>(user.size(), 23));
  const auto e = static_cast<std::uint32_t>(expiry);
  for (int i = 0; i < 4; ++i) record[32 + i] = static_cast<unsigned char>(e >> (8 * i));
  std::memcpy(record + 36, secret.data(), std::min<std::size_t>(secret.size(), 19));

  std::vector<unsigned char> block(record + 32, record + 36);
  const auto digest = OpenSslSha1(record, sizeof record);
  block.insert(block.end(), digest.begin(), digest.end());

  const std::string keyText = (appId + user + secret).substr(0, 63);
  SwapHalves(block);
  block = OpenSslBlowfish(true, std::vector<unsigned char>(keyText.begin(), keyText.end()), block);
  SwapHalves(block);

  unsigned char text[33] = {};
  EVP_EncodeBlock(text, block.data(), static_cast<int>(block.size()));
  return reinterpret_cast<const char*>(text);
}

}  // namespace velt::lyrsso::test
