// SHA-1 compression and padding as FIPS 180-4 defines them; message length counted in bytes and
// written as the 64-bit big-endian bit count.
#include "tsha1.h"

#include <cstring>

#include "platform/secure_wipe.h"

namespace velt {
namespace {

constexpr std::uint32_t Rotl(std::uint32_t x, int n) { return (x << n) | (x >> (32 - n)); }

std::uint32_t LoadBe32(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

void StoreBe32(std::uint32_t v, unsigned char* p) {
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}

}  // namespace

void TSha1::Reset() noexcept {
  state_[0] = 0x67452301u;
  state_[1] = 0xEFCDAB89u;
  state_[2] = 0x98BADCFEu;
  state_[3] = 0x10325476u;
  state_[4] = 0xC3D2E1F0u;
  totalBytes_ = 0;
  pendingSize_ = 0;
}

namespace {

// One round group: the same function and constant for twenty steps, so the loop has no branch.
template <typename Fn>
void Steps(int from, std::uint32_t k, Fn f, const std::uint32_t* w, std::uint32_t (&v)[5]) {
  for (int t = from; t < from + 20; ++t) {
    const std::uint32_t temp = Rotl(v[0], 5) + f(v[1], v[2], v[3]) + v[4] + k + w[t];
    v[4] = v[3];
    v[3] = v[2];
    v[2] = Rotl(v[1], 30);
    v[1] = v[0];
    v[0] = temp;
  }
}

}  // namespace

void TSha1::Compress(const unsigned char block[64]) noexcept {
  std::uint32_t w[80];
  for (int t = 0; t < 16; ++t) w[t] = LoadBe32(block + 4 * t);
  for (int t = 16; t < 80; ++t) w[t] = Rotl(w[t - 3] ^ w[t - 8] ^ w[t - 14] ^ w[t - 16], 1);

  std::uint32_t v[5] = {state_[0], state_[1], state_[2], state_[3], state_[4]};
  Steps(0, 0x5A827999u, [](std::uint32_t b, std::uint32_t c, std::uint32_t d) { return (b & c) | (~b & d); }, w, v);
  Steps(20, 0x6ED9EBA1u, [](std::uint32_t b, std::uint32_t c, std::uint32_t d) { return b ^ c ^ d; }, w, v);
  Steps(40, 0x8F1BBCDCu,
        [](std::uint32_t b, std::uint32_t c, std::uint32_t d) { return (b & c) | (b & d) | (c & d); }, w, v);
  Steps(60, 0xCA62C1D6u, [](std::uint32_t b, std::uint32_t c, std::uint32_t d) { return b ^ c ^ d; }, w, v);
  for (int i = 0; i < 5; ++i) state_[i] += v[i];
  // The schedule holds the message words (the ticket's record carries the shared secret).
  platform::SecureWipe(w, sizeof w);
}

void TSha1::Update(const void* data, std::size_t size) noexcept {
  const auto* p = static_cast<const unsigned char*>(data);
  totalBytes_ += size;
  if (pendingSize_ > 0) {
    const std::size_t take = size < 64 - pendingSize_ ? size : 64 - pendingSize_;
    std::memcpy(pending_ + pendingSize_, p, take);
    pendingSize_ += take;
    p += take;
    size -= take;
    if (pendingSize_ < 64) return;
    Compress(pending_);
    pendingSize_ = 0;
  }
  for (; size >= 64; p += 64, size -= 64) Compress(p);
  if (size > 0) {
    std::memcpy(pending_, p, size);
    pendingSize_ = size;
  }
}

void TSha1::Final(unsigned char digest[kDigestSize]) noexcept {
  const std::uint64_t bits = totalBytes_ * 8;
  pending_[pendingSize_++] = 0x80;
  if (pendingSize_ > 56) {
    std::memset(pending_ + pendingSize_, 0, 64 - pendingSize_);
    Compress(pending_);
    pendingSize_ = 0;
  }
  std::memset(pending_ + pendingSize_, 0, 56 - pendingSize_);
  for (int i = 0; i < 8; ++i) pending_[56 + i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
  Compress(pending_);
  for (int i = 0; i < 5; ++i) StoreBe32(state_[i], digest + 4 * i);
  platform::SecureWipe(pending_, sizeof pending_);
  Reset();
}

void TSha1::Digest(const void* data, std::size_t size, unsigned char digest[kDigestSize]) noexcept {
  TSha1 sha;
  sha.Update(data, size);
  sha.Final(digest);
  platform::SecureWipe(sha.state_, sizeof sha.state_);
}

}  // namespace velt
