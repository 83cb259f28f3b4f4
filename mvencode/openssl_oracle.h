// OpenSSL as an independent oracle for the tests: the same primitives through EVP, no padding.
#pragma once

#include <string>
#include <vector>

namespace velt::mvencode::test {

using Bytes = std::vector<unsigned char>;

// `cipher` is an OpenSSL name such as "DES-ECB", "AES-192-ECB" or "AES-256-CBC"; `data` must be
// whole blocks. Single DES comes from the legacy provider, loaded on first use.
Bytes OpenSslCrypt(const char* cipher, const Bytes& key, const Bytes& iv, const Bytes& data, bool encrypt);
Bytes OpenSslMd5(const Bytes& data);
std::string OpenSslBase64(const Bytes& data);

Bytes FromHex(const std::string& hex);
std::string ToHex(const unsigned char* data, std::size_t size);
inline std::string ToHex(const Bytes& data) { return ToHex(data.data(), data.size()); }

}  // namespace velt::mvencode::test
