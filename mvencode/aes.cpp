// AES with T-tables: SubBytes, ShiftRows and MixColumns of a round merged into four lookups per
// column. The tables are computed at compile time, so they are constant and shared by all threads.
#include "aes.h"

#include <array>

namespace velt::mvencode {
namespace {

using ByteTable = std::array<unsigned char, 256>;
using WordTable = std::array<std::uint32_t, 256>;

constexpr unsigned char XTime(unsigned char a) {
  return static_cast<unsigned char>((a << 1) ^ ((a & 0x80) ? 0x1b : 0));
}

constexpr unsigned char GfMul(unsigned char a, unsigned char b) {
  unsigned char product = 0;
  while (b != 0) {
    if (b & 1) product ^= a;
    a = XTime(a);
    b >>= 1;
  }
  return product;
}

constexpr unsigned char GfInverse(unsigned char a) {  // a^254; 0 maps to 0
  unsigned char result = 1;
  unsigned char power = a;
  for (int e = 254; e != 0; e >>= 1) {
    if (e & 1) result = GfMul(result, power);
    power = GfMul(power, power);
  }
  return a == 0 ? 0 : result;
}

constexpr unsigned char Rotl8(unsigned char v, int n) {
  return static_cast<unsigned char>((v << n) | (v >> (8 - n)));
}

constexpr ByteTable BuildSBox() {
  ByteTable s{};
  for (int x = 0; x < 256; ++x) {
    const unsigned char inv = GfInverse(static_cast<unsigned char>(x));
    s[x] = static_cast<unsigned char>(inv ^ Rotl8(inv, 1) ^ Rotl8(inv, 2) ^ Rotl8(inv, 3) ^ Rotl8(inv, 4) ^ 0x63);
  }
  return s;
}

constexpr ByteTable kSBox = BuildSBox();

constexpr ByteTable BuildInverseSBox() {
  ByteTable inv{};
  for (int x = 0; x < 256; ++x) inv[kSBox[x]] = static_cast<unsigned char>(x);
  return inv;
}

constexpr ByteTable kInvSBox = BuildInverseSBox();

constexpr std::uint32_t Pack(unsigned char b0, unsigned char b1, unsigned char b2, unsigned char b3) {
  return (std::uint32_t{b0} << 24) | (std::uint32_t{b1} << 16) | (std::uint32_t{b2} << 8) | b3;
}

constexpr std::uint32_t Rotr(std::uint32_t v, int n) { return n == 0 ? v : (v >> n) | (v << (32 - n)); }

// Table `rotation` of the encryption set: column (2s, s, s, 3s) rotated right by 8·rotation bits.
constexpr WordTable BuildEncryptTable(int rotation) {
  WordTable t{};
  for (int x = 0; x < 256; ++x) {
    const unsigned char s = kSBox[x];
    t[x] = Rotr(Pack(GfMul(s, 2), s, s, GfMul(s, 3)), 8 * rotation);
  }
  return t;
}

// Table `rotation` of the decryption set: column (14s, 9s, 13s, 11s) of the inverse S-box value.
constexpr WordTable BuildDecryptTable(int rotation) {
  WordTable t{};
  for (int x = 0; x < 256; ++x) {
    const unsigned char s = kInvSBox[x];
    t[x] = Rotr(Pack(GfMul(s, 14), GfMul(s, 9), GfMul(s, 13), GfMul(s, 11)), 8 * rotation);
  }
  return t;
}

constexpr WordTable kTe0 = BuildEncryptTable(0);
constexpr WordTable kTe1 = BuildEncryptTable(1);
constexpr WordTable kTe2 = BuildEncryptTable(2);
constexpr WordTable kTe3 = BuildEncryptTable(3);
constexpr WordTable kTd0 = BuildDecryptTable(0);
constexpr WordTable kTd1 = BuildDecryptTable(1);
constexpr WordTable kTd2 = BuildDecryptTable(2);
constexpr WordTable kTd3 = BuildDecryptTable(3);

static_assert(kSBox[0x00] == 0x63 && kSBox[0x53] == 0xED && kInvSBox[0x63] == 0x00);

inline std::uint32_t LoadBe(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
inline void StoreBe(std::uint32_t v, unsigned char* p) {
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}
inline unsigned Byte(std::uint32_t v, int n) { return (v >> (24 - 8 * n)) & 0xFF; }

inline std::uint32_t SubWord(std::uint32_t w) {
  return Pack(kSBox[Byte(w, 0)], kSBox[Byte(w, 1)], kSBox[Byte(w, 2)], kSBox[Byte(w, 3)]);
}

inline std::uint32_t InvMixColumn(std::uint32_t w) {
  return kTd0[kSBox[Byte(w, 0)]] ^ kTd1[kSBox[Byte(w, 1)]] ^ kTd2[kSBox[Byte(w, 2)]] ^ kTd3[kSBox[Byte(w, 3)]];
}

inline std::uint32_t EncryptColumn(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return kTe0[Byte(a, 0)] ^ kTe1[Byte(b, 1)] ^ kTe2[Byte(c, 2)] ^ kTe3[Byte(d, 3)];
}
inline std::uint32_t EncryptLastColumn(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return Pack(kSBox[Byte(a, 0)], kSBox[Byte(b, 1)], kSBox[Byte(c, 2)], kSBox[Byte(d, 3)]);
}
inline std::uint32_t DecryptColumn(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return kTd0[Byte(a, 0)] ^ kTd1[Byte(b, 1)] ^ kTd2[Byte(c, 2)] ^ kTd3[Byte(d, 3)];
}
inline std::uint32_t DecryptLastColumn(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
  return Pack(kInvSBox[Byte(a, 0)], kInvSBox[Byte(b, 1)], kInvSBox[Byte(c, 2)], kInvSBox[Byte(d, 3)]);
}

}  // namespace

bool AesSetEncryptKey(const unsigned char* key, std::size_t keyBytes, AesKeySchedule& schedule) {
  if (keyBytes != 16 && keyBytes != 24 && keyBytes != 32) return false;
  const int nk = static_cast<int>(keyBytes / 4);
  schedule.rounds = nk + 6;
  std::uint32_t* w = schedule.words;
  for (int i = 0; i < nk; ++i) w[i] = LoadBe(key + 4 * i);
  unsigned char rcon = 1;
  const int total = 4 * (schedule.rounds + 1);
  for (int i = nk; i < total; ++i) {
    std::uint32_t t = w[i - 1];
    if (i % nk == 0) {
      t = SubWord((t << 8) | (t >> 24)) ^ (std::uint32_t{rcon} << 24);
      rcon = XTime(rcon);
    } else if (nk > 6 && i % nk == 4) {
      t = SubWord(t);
    }
    w[i] = w[i - nk] ^ t;
  }
  return true;
}

void AesSetDecryptKey(const AesKeySchedule& encrypt, AesKeySchedule& decrypt) {
  const int rounds = encrypt.rounds;
  decrypt.rounds = rounds;
  for (int r = 0; r <= rounds; ++r) {
    for (int c = 0; c < 4; ++c) {
      const std::uint32_t w = encrypt.words[4 * (rounds - r) + c];
      decrypt.words[4 * r + c] = (r == 0 || r == rounds) ? w : InvMixColumn(w);
    }
  }
}

void AesEncryptBlock(const AesKeySchedule& schedule, const unsigned char in[16], unsigned char out[16]) {
  const std::uint32_t* rk = schedule.words;
  std::uint32_t s0 = LoadBe(in) ^ rk[0];
  std::uint32_t s1 = LoadBe(in + 4) ^ rk[1];
  std::uint32_t s2 = LoadBe(in + 8) ^ rk[2];
  std::uint32_t s3 = LoadBe(in + 12) ^ rk[3];
  for (int round = 1; round < schedule.rounds; ++round) {
    rk += 4;
    const std::uint32_t t0 = EncryptColumn(s0, s1, s2, s3) ^ rk[0];
    const std::uint32_t t1 = EncryptColumn(s1, s2, s3, s0) ^ rk[1];
    const std::uint32_t t2 = EncryptColumn(s2, s3, s0, s1) ^ rk[2];
    const std::uint32_t t3 = EncryptColumn(s3, s0, s1, s2) ^ rk[3];
    s0 = t0;
    s1 = t1;
    s2 = t2;
    s3 = t3;
  }
  rk += 4;
  StoreBe(EncryptLastColumn(s0, s1, s2, s3) ^ rk[0], out);
  StoreBe(EncryptLastColumn(s1, s2, s3, s0) ^ rk[1], out + 4);
  StoreBe(EncryptLastColumn(s2, s3, s0, s1) ^ rk[2], out + 8);
  StoreBe(EncryptLastColumn(s3, s0, s1, s2) ^ rk[3], out + 12);
}

void AesDecryptBlock(const AesKeySchedule& schedule, const unsigned char in[16], unsigned char out[16]) {
  const std::uint32_t* rk = schedule.words;
  std::uint32_t s0 = LoadBe(in) ^ rk[0];
  std::uint32_t s1 = LoadBe(in + 4) ^ rk[1];
  std::uint32_t s2 = LoadBe(in + 8) ^ rk[2];
  std::uint32_t s3 = LoadBe(in + 12) ^ rk[3];
  for (int round = 1; round < schedule.rounds; ++round) {
    rk += 4;
    const std::uint32_t t0 = DecryptColumn(s0, s3, s2, s1) ^ rk[0];
    const std::uint32_t t1 = DecryptColumn(s1, s0, s3, s2) ^ rk[1];
    const std::uint32_t t2 = DecryptColumn(s2, s1, s0, s3) ^ rk[2];
    const std::uint32_t t3 = DecryptColumn(s3, s2, s1, s0) ^ rk[3];
    s0 = t0;
    s1 = t1;
    s2 = t2;
    s3 = t3;
  }
  rk += 4;
  StoreBe(DecryptLastColumn(s0, s3, s2, s1) ^ rk[0], out);
  StoreBe(DecryptLastColumn(s1, s0, s3, s2) ^ rk[1], out + 4);
  StoreBe(DecryptLastColumn(s2, s1, s0, s3) ^ rk[2], out + 8);
  StoreBe(DecryptLastColumn(s3, s2, s1, s0) ^ rk[3], out + 12);
}

}  // namespace velt::mvencode
