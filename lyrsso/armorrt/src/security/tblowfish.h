// Blowfish (16 rounds, pi-derived starting values, the standard key schedule) for the sign-on tickets.
// Byte blocks are read as two little-endian 32-bit words, the order the tickets were always written in.
#pragma once

#include <cstddef>
#include <cstdint>

namespace velt {

class TBlowfish {
 public:
  static constexpr std::size_t kBlockSize = 8;
  // 18 subkeys of 4 bytes: key bytes beyond them would have no effect, so such keys are refused.
  static constexpr std::size_t kMaxKeySize = 72;

  TBlowfish() noexcept = default;
  ~TBlowfish();
  TBlowfish(const TBlowfish&) = delete;
  TBlowfish& operator=(const TBlowfish&) = delete;

  // False (and the object stays unkeyed) for an empty key or one longer than kMaxKeySize.
  bool SetKey(const unsigned char* key, std::size_t size) noexcept;

  // One block as its two halves, left and right, in the cipher's own word form.
  void EncryptWords(std::uint32_t& left, std::uint32_t& right) const noexcept;
  void DecryptWords(std::uint32_t& left, std::uint32_t& right) const noexcept;

  // ECB in place over whole blocks, bytes 0-3 the left word (byte 0 least significant), bytes 4-7 the
  // right. False, with nothing changed, when unkeyed or when size is not a multiple of kBlockSize.
  bool EncryptLittleEndian(unsigned char* data, std::size_t size) const noexcept;
  bool DecryptLittleEndian(unsigned char* data, std::size_t size) const noexcept;

 private:
  std::uint32_t F(std::uint32_t x) const noexcept;
  template <bool kEncrypt>
  bool CryptLittleEndian(unsigned char* data, std::size_t size) const noexcept;

  std::uint32_t p_[18] = {};
  std::uint32_t s_[4][256] = {};
  bool keyed_ = false;
};

}  // namespace velt
