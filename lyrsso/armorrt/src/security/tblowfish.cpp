// Blowfish rounds and key schedule; the subkeys are wiped when the object goes away because they
// are derived from the ticket key, which holds the shared secret.
#include "tblowfish.h"

#include <cstring>

#include "platform/secure_wipe.h"
#include "tblowfish_tables.h"

namespace velt {
namespace {

std::uint32_t LoadLe32(const unsigned char* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
         (std::uint32_t{p[3]} << 24);
}

void StoreLe32(std::uint32_t v, unsigned char* p) {
  p[0] = static_cast<unsigned char>(v);
  p[1] = static_cast<unsigned char>(v >> 8);
  p[2] = static_cast<unsigned char>(v >> 16);
  p[3] = static_cast<unsigned char>(v >> 24);
}

}  // namespace

TBlowfish::~TBlowfish() {
  platform::SecureWipe(p_, sizeof p_);
  platform::SecureWipe(s_, sizeof s_);
}

std::uint32_t TBlowfish::F(std::uint32_t x) const noexcept {
  return ((s_[0][x >> 24] + s_[1][(x >> 16) & 0xFF]) ^ s_[2][(x >> 8) & 0xFF]) + s_[3][x & 0xFF];
}

void TBlowfish::EncryptWords(std::uint32_t& left, std::uint32_t& right) const noexcept {
  std::uint32_t l = left, r = right;
  for (int i = 0; i < 16; i += 2) {
    l ^= p_[i];
    r ^= F(l);
    r ^= p_[i + 1];
    l ^= F(r);
  }
  l ^= p_[16];
  r ^= p_[17];
  left = r;
  right = l;
}

void TBlowfish::DecryptWords(std::uint32_t& left, std::uint32_t& right) const noexcept {
  std::uint32_t l = left, r = right;
  for (int i = 17; i > 1; i -= 2) {
    l ^= p_[i];
    r ^= F(l);
    r ^= p_[i - 1];
    l ^= F(r);
  }
  l ^= p_[1];
  r ^= p_[0];
  left = r;
  right = l;
}

bool TBlowfish::SetKey(const unsigned char* key, std::size_t size) noexcept {
  keyed_ = false;
  if (key == nullptr || size == 0 || size > kMaxKeySize) return false;
  std::memcpy(s_, kBlowfishInitialS, sizeof s_);
  std::size_t k = 0;
  for (int i = 0; i < 18; ++i) {
    std::uint32_t word = 0;
    for (int b = 0; b < 4; ++b) {
      word = (word << 8) | key[k];
      k = k + 1 == size ? 0 : k + 1;
    }
    p_[i] = kBlowfishInitialP[i] ^ word;
  }
  std::uint32_t l = 0, r = 0;
  for (int i = 0; i < 18; i += 2) {
    EncryptWords(l, r);
    p_[i] = l;
    p_[i + 1] = r;
  }
  for (auto& box : s_) {
    for (int i = 0; i < 256; i += 2) {
      EncryptWords(l, r);
      box[i] = l;
      box[i + 1] = r;
    }
  }
  keyed_ = true;
  return true;
}

template <bool kEncrypt>
bool TBlowfish::CryptLittleEndian(unsigned char* data, std::size_t size) const noexcept {
  if (!keyed_ || size % kBlockSize != 0 || (data == nullptr && size != 0)) return false;
  for (std::size_t off = 0; off < size; off += kBlockSize) {
    std::uint32_t l = LoadLe32(data + off), r = LoadLe32(data + off + 4);
    if (kEncrypt) {
      EncryptWords(l, r);
    } else {
      DecryptWords(l, r);
    }
    StoreLe32(l, data + off);
    StoreLe32(r, data + off + 4);
  }
  return true;
}

bool TBlowfish::EncryptLittleEndian(unsigned char* data, std::size_t size) const noexcept {
  return CryptLittleEndian<true>(data, size);
}

bool TBlowfish::DecryptLittleEndian(unsigned char* data, std::size_t size) const noexcept {
  return CryptLittleEndian<false>(data, size);
}

}  // namespace velt
