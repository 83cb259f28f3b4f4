// RC5-32/12/b key expansion and block transforms, as Rivest describes them.
#include "rc5_cipher.h"

#include <algorithm>

#include "platform/secure_wipe.h"

namespace velt::encrypt {
namespace {

constexpr std::uint32_t kP32 = 0xB7E15163u;
constexpr std::uint32_t kQ32 = 0x9E3779B9u;

std::uint32_t Rotl(std::uint32_t x, std::uint32_t n) {
  n &= 31u;
  return n == 0 ? x : (x << n) | (x >> (32u - n));
}
std::uint32_t Rotr(std::uint32_t x, std::uint32_t n) {
  n &= 31u;
  return n == 0 ? x : (x >> n) | (x << (32u - n));
}
std::uint32_t Load(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
void Store(std::uint32_t w, unsigned char* p) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(w >> (8 * i));
}

}  // namespace

Rc5Cipher::Rc5Cipher(const unsigned char* key, std::size_t keyLength) noexcept {
  // The key as little-endian words; an empty key still expands (to one zero word).
  std::array<std::uint32_t, (kMaxKeyBytes + 3) / 4> l{};
  for (std::size_t i = keyLength; i-- > 0;) l[i / 4] = (l[i / 4] << 8) + key[i];
  const std::size_t c = std::max<std::size_t>(1, (keyLength + 3) / 4);

  s_[0] = kP32;
  for (std::size_t i = 1; i < s_.size(); ++i) s_[i] = s_[i - 1] + kQ32;

  std::uint32_t a = 0, b = 0;
  std::size_t i = 0, j = 0;
  for (std::size_t k = 0; k < 3 * std::max(s_.size(), c); ++k) {
    a = s_[i] = Rotl(s_[i] + a + b, 3);
    b = l[j] = Rotl(l[j] + a + b, a + b);
    i = (i + 1) % s_.size();
    j = (j + 1) % c;
  }
  platform::SecureWipe(l.data(), sizeof l);
}

Rc5Cipher::~Rc5Cipher() { platform::SecureWipe(s_.data(), sizeof s_); }

void Rc5Cipher::EncryptBlock(unsigned char block[kBlockBytes]) const noexcept {
  std::uint32_t a = Load(block) + s_[0];
  std::uint32_t b = Load(block + 4) + s_[1];
  for (int r = 1; r <= kRounds; ++r) {
    a = Rotl(a ^ b, b) + s_[2 * r];
    b = Rotl(b ^ a, a) + s_[2 * r + 1];
  }
  Store(a, block);
  Store(b, block + 4);
}

void Rc5Cipher::DecryptBlock(unsigned char block[kBlockBytes]) const noexcept {
  std::uint32_t a = Load(block);
  std::uint32_t b = Load(block + 4);
  for (int r = kRounds; r >= 1; --r) {
    b = Rotr(b - s_[2 * r + 1], a) ^ a;
    a = Rotr(a - s_[2 * r], b) ^ b;
  }
  Store(a - s_[0], block);
  Store(b - s_[1], block + 4);
}

}  // namespace velt::encrypt
