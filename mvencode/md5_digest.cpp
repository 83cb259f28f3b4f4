// MD5 compression and padding; the work areas that held message bytes are wiped before return.
#include "md5_digest.h"

#include <cstring>

#include "platform/secure_wipe.h"

namespace velt::mvencode {
namespace {

constexpr std::uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};

inline std::uint32_t Rotl(std::uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

void Compress(std::uint32_t state[4], const unsigned char block[64]) {
  std::uint32_t x[16];
  for (int i = 0; i < 16; ++i) {
    const unsigned char* p = block + 4 * i;
    x[i] = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
  }
  std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
  for (int i = 0; i < 64; ++i) {
    std::uint32_t f;
    int g;
    const int round = i / 16;
    if (round == 0) {
      f = (b & c) | (~b & d);
      g = i;
    } else if (round == 1) {
      f = (d & b) | (~d & c);
      g = (5 * i + 1) % 16;
    } else if (round == 2) {
      f = b ^ c ^ d;
      g = (3 * i + 5) % 16;
    } else {
      f = c ^ (b | ~d);
      g = (7 * i) % 16;
    }
    const std::uint32_t next = b + Rotl(a + f + kSine[i] + x[g], kShift[round][i % 4]);
    a = d;
    d = c;
    c = b;
    b = next;
  }
  state[0] += a;
  state[1] += b;
  state[2] += c;
  state[3] += d;
  platform::SecureWipe(x, sizeof x);
}

}  // namespace

void Md5Digest(const unsigned char* data, std::size_t size, const std::uint32_t init[4], unsigned char out[16]) {
  std::uint32_t state[4] = {init[0], init[1], init[2], init[3]};
  std::size_t done = 0;
  for (; size - done >= 64; done += 64) Compress(state, data + done);

  // The last bytes, 0x80, zeros to 56 mod 64 and the bit count take one or two blocks.
  unsigned char tail[128] = {0};
  const std::size_t rest = size - done;
  if (rest != 0) std::memcpy(tail, data + done, rest);
  tail[rest] = 0x80;
  const std::size_t tailSize = rest < 56 ? 64 : 128;
  const std::uint64_t bits = static_cast<std::uint64_t>(size) * 8u;
  for (int i = 0; i < 8; ++i) tail[tailSize - 8 + i] = static_cast<unsigned char>(bits >> (8 * i));
  Compress(state, tail);
  if (tailSize == 128) Compress(state, tail + 64);

  for (int w = 0; w < 4; ++w) {
    for (int i = 0; i < 4; ++i) out[4 * w + i] = static_cast<unsigned char>(state[w] >> (8 * i));
  }
  platform::SecureWipe(tail, sizeof tail);
  platform::SecureWipe(state, sizeof state);
}

}  // namespace velt::mvencode
