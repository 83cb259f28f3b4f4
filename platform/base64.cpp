// Base64 encoder and its two decoders.
#include "platform/base64.h"

namespace velt::platform {
namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}

int Base64Value(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

std::size_t Base64Encode(const unsigned char* in, std::size_t n, char* out) {
  std::size_t o = 0;
  std::size_t i = 0;
  for (; i + 3 <= n; i += 3) {
    const unsigned v = (in[i] << 16) | (in[i + 1] << 8) | in[i + 2];
    out[o++] = kAlphabet[(v >> 18) & 63];
    out[o++] = kAlphabet[(v >> 12) & 63];
    out[o++] = kAlphabet[(v >> 6) & 63];
    out[o++] = kAlphabet[v & 63];
  }
  if (i < n) {
    const bool two = i + 1 < n;
    const unsigned v = (in[i] << 16) | (two ? in[i + 1] << 8 : 0);
    out[o++] = kAlphabet[(v >> 18) & 63];
    out[o++] = kAlphabet[(v >> 12) & 63];
    out[o++] = two ? kAlphabet[(v >> 6) & 63] : '=';
    out[o++] = '=';
  }
  return o;
}

std::size_t Base64DecodeSkipping(const char* in, std::size_t n, unsigned char* out, std::size_t outSize) {
  unsigned acc = 0;
  int bits = 0;
  std::size_t total = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const int v = Base64Value(static_cast<unsigned char>(in[i]));
    if (v < 0) continue;
    acc = ((acc << 6) | static_cast<unsigned>(v)) & 0xFFFFFF;
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      if (total < outSize) out[total] = static_cast<unsigned char>(acc >> bits);
      ++total;
    }
  }
  return total;
}

GroupedDecodeResult Base64DecodeGrouped(const char* in, std::size_t n, unsigned char* out,
                                        GroupedDecodeOptions options) {
  GroupedDecodeResult r;
  for (std::size_t g = 0; g < n; g += 4) {
    const std::size_t have = n - g < 4 ? n - g : 4;
    unsigned v = 0;
    std::size_t keep = have == 4 ? 3 : (have == 3 ? 2 : (have == 2 ? 1 : 0));
    for (std::size_t k = 0; k < 4; ++k) {
      int d = 0;
      if (k < have) {
        const unsigned char c = static_cast<unsigned char>(in[g + k]);
        if (c == '=' && k >= 2) {
          if (k - 1 < keep) keep = k - 1;   // "=" third: 1 byte, fourth: 2 bytes
        } else if ((d = Base64Value(c)) < 0) {
          d = 0;
          r.foreign = true;
        }
      }
      v = (v << 6) | static_cast<unsigned>(d);
    }
    const unsigned char bytes[3] = {static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 8),
                                    static_cast<unsigned char>(v)};
    for (std::size_t k = 0; k < keep; ++k) out[r.bytes++] = bytes[k];
    if (keep < 3 && options.stopAtFill) break;
  }
  return r;
}

}  // namespace velt::platform
