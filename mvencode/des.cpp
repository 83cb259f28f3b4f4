// DES with SP-boxes: the S-boxes and the P permutation are merged into eight 64-entry tables, and
// the initial and final permutations are done with bit swaps, so a round costs eight lookups.
#include "des.h"

#include <array>

namespace velt::mvencode {
namespace {

constexpr unsigned char kSBox[8][64] = {
    {14, 4, 13, 1, 2, 15, 11, 8, 3, 10, 6, 12, 5, 9, 0, 7, 0, 15, 7, 4, 14, 2, 13, 1, 10, 6, 12, 11,
     9, 5, 3, 8, 4, 1, 14, 8, 13, 6, 2, 11, 15, 12, 9, 7, 3, 10, 5, 0, 15, 12, 8, 2, 4, 9, 1, 7, 5,
     11, 3, 14, 10, 0, 6, 13},
    {15, 1, 8, 14, 6, 11, 3, 4, 9, 7, 2, 13, 12, 0, 5, 10, 3, 13, 4, 7, 15, 2, 8, 14, 12, 0, 1, 10,
     6, 9, 11, 5, 0, 14, 7, 11, 10, 4, 13, 1, 5, 8, 12, 6, 9, 3, 2, 15, 13, 8, 10, 1, 3, 15, 4, 2,
     11, 6, 7, 12, 0, 5, 14, 9},
    {10, 0, 9, 14, 6, 3, 15, 5, 1, 13, 12, 7, 11, 4, 2, 8, 13, 7, 0, 9, 3, 4, 6, 10, 2, 8, 5, 14,
     12, 11, 15, 1, 13, 6, 4, 9, 8, 15, 3, 0, 11, 1, 2, 12, 5, 10, 14, 7, 1, 10, 13, 0, 6, 9, 8, 7,
     4, 15, 14, 3, 11, 5, 2, 12},
    {7, 13, 14, 3, 0, 6, 9, 10, 1, 2, 8, 5, 11, 12, 4, 15, 13, 8, 11, 5, 6, 15, 0, 3, 4, 7, 2, 12,
     1, 10, 14, 9, 10, 6, 9, 0, 12, 11, 7, 13, 15, 1, 3, 14, 5, 2, 8, 4, 3, 15, 0, 6, 10, 1, 13, 8,
     9, 4, 5, 11, 12, 7, 2, 14},
    {2, 12, 4, 1, 7, 10, 11, 6, 8, 5, 3, 15, 13, 0, 14, 9, 14, 11, 2, 12, 4, 7, 13, 1, 5, 0, 15, 10,
     3, 9, 8, 6, 4, 2, 1, 11, 10, 13, 7, 8, 15, 9, 12, 5, 6, 3, 0, 14, 11, 8, 12, 7, 1, 14, 2, 13,
     6, 15, 0, 9, 10, 4, 5, 3},
    {12, 1, 10, 15, 9, 2, 6, 8, 0, 13, 3, 4, 14, 7, 5, 11, 10, 15, 4, 2, 7, 12, 9, 5, 6, 1, 13, 14,
     0, 11, 3, 8, 9, 14, 15, 5, 2, 8, 12, 3, 7, 0, 4, 10, 1, 13, 11, 6, 4, 3, 2, 12, 9, 5, 15, 10,
     11, 14, 1, 7, 6, 0, 8, 13},
    {4, 11, 2, 14, 15, 0, 8, 13, 3, 12, 9, 7, 5, 10, 6, 1, 13, 0, 11, 7, 4, 9, 1, 10, 14, 3, 5, 12,
     2, 15, 8, 6, 1, 4, 11, 13, 12, 3, 7, 14, 10, 15, 6, 8, 0, 5, 9, 2, 6, 11, 13, 8, 1, 4, 10, 7,
     9, 5, 0, 15, 14, 2, 3, 12},
    {13, 2, 8, 4, 6, 15, 11, 1, 10, 9, 3, 14, 5, 0, 12, 7, 1, 15, 13, 8, 10, 3, 7, 4, 12, 5, 6, 11,
     0, 14, 9, 2, 7, 11, 4, 1, 9, 12, 14, 2, 0, 6, 10, 13, 15, 3, 5, 8, 2, 1, 14, 7, 4, 10, 8, 13,
     15, 12, 9, 0, 3, 5, 6, 11}};

// Bit numbers count from 1 at the most significant end, as in the standard's tables.
constexpr unsigned char kP[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1, 15, 23, 26, 5, 18, 31, 10,
                                  2, 8, 24, 14, 32, 27, 3, 9, 19, 13, 30, 6, 22, 11, 4, 25};
constexpr unsigned char kPc1[56] = {57, 49, 41, 33, 25, 17, 9, 1, 58, 50, 42, 34, 26, 18,
                                    10, 2, 59, 51, 43, 35, 27, 19, 11, 3, 60, 52, 44, 36,
                                    63, 55, 47, 39, 31, 23, 15, 7, 62, 54, 46, 38, 30, 22,
                                    14, 6, 61, 53, 45, 37, 29, 21, 13, 5, 28, 20, 12, 4};
constexpr unsigned char kPc2[48] = {14, 17, 11, 24, 1, 5, 3, 28, 15, 6, 21, 10, 23, 19, 12, 4,
                                    26, 8, 16, 7, 27, 20, 13, 2, 41, 52, 31, 37, 47, 55, 30, 40,
                                    51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};
constexpr unsigned char kShifts[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

using SpTables = std::array<std::array<std::uint32_t, 64>, 8>;

constexpr std::uint32_t PermuteP(std::uint32_t v) {
  std::uint32_t out = 0;
  for (int i = 0; i < 32; ++i) out |= ((v >> (32 - kP[i])) & 1u) << (31 - i);
  return out;
}

// SP[j][v]: S-box j+1 applied to the 6-bit input v (first bit most significant), then P.
constexpr SpTables BuildSp() {
  SpTables sp{};
  for (int j = 0; j < 8; ++j) {
    for (int v = 0; v < 64; ++v) {
      const int row = ((v >> 4) & 2) | (v & 1);
      const int col = (v >> 1) & 15;
      sp[j][v] = PermuteP(static_cast<std::uint32_t>(kSBox[j][row * 16 + col]) << (28 - 4 * j));
    }
  }
  return sp;
}

// PC2 split by 7-bit slices of one 28-bit key half; each entry gives that slice's contribution to
// the even and odd subkey words.
struct SubkeyPart {
  std::uint32_t even = 0;
  std::uint32_t odd = 0;
};
using Pc2Tables = std::array<std::array<SubkeyPart, 128>, 8>;  // C slices 0..3, D slices 4..7

constexpr void PlaceSubkeyBit(SubkeyPart& part, int outBit) {  // outBit 0..47
  const int chunk = outBit / 6;
  const int shift = 26 - 8 * (chunk / 2) + (5 - outBit % 6);
  (chunk % 2 == 0 ? part.even : part.odd) |= 1u << shift;
}

constexpr Pc2Tables BuildPc2() {
  Pc2Tables t{};
  for (int i = 0; i < 48; ++i) {
    const int pos = kPc2[i] - 1;            // 0..55 within C then D
    const int slice = pos / 7;              // 0..7
    const int bitInSlice = 6 - pos % 7;     // slices are read most significant bit first
    for (int v = 0; v < 128; ++v) {
      if ((v >> bitInSlice) & 1) PlaceSubkeyBit(t[slice][v], i);
    }
  }
  return t;
}

constexpr SpTables kSp = BuildSp();
constexpr Pc2Tables kPc2Parts = BuildPc2();

inline std::uint32_t LoadBe(const unsigned char* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
inline void StoreBe(std::uint32_t v, unsigned char* p) {
  p[0] = static_cast<unsigned char>(v >> 24);
  p[1] = static_cast<unsigned char>(v >> 16);
  p[2] = static_cast<unsigned char>(v >> 8);
  p[3] = static_cast<unsigned char>(v);
}
inline std::uint32_t Rotr(std::uint32_t v, int n) { return (v >> n) | (v << (32 - n)); }

// Swaps the bits selected by `mask` in a>>shift with those in b.
inline void SwapBits(std::uint32_t& a, std::uint32_t& b, int shift, std::uint32_t mask) {
  const std::uint32_t t = ((a >> shift) ^ b) & mask;
  b ^= t;
  a ^= t << shift;
}

inline void InitialPermutation(std::uint32_t& l, std::uint32_t& r) {
  SwapBits(l, r, 4, 0x0f0f0f0fu);
  SwapBits(l, r, 16, 0x0000ffffu);
  SwapBits(r, l, 2, 0x33333333u);
  SwapBits(r, l, 8, 0x00ff00ffu);
  SwapBits(l, r, 1, 0x55555555u);
}

inline void FinalPermutation(std::uint32_t& l, std::uint32_t& r) {
  SwapBits(l, r, 1, 0x55555555u);
  SwapBits(r, l, 8, 0x00ff00ffu);
  SwapBits(r, l, 2, 0x33333333u);
  SwapBits(l, r, 16, 0x0000ffffu);
  SwapBits(l, r, 4, 0x0f0f0f0fu);
}

// The expansion E is implicit: R rotated right by 1 lines up S-boxes 1, 3, 5, 7 at bit offsets
// 26, 18, 10, 2, and R rotated left by 3 does the same for S-boxes 2, 4, 6, 8.
inline std::uint32_t RoundFunction(std::uint32_t r, std::uint32_t even, std::uint32_t odd) {
  const std::uint32_t a = Rotr(r, 1) ^ even;
  const std::uint32_t b = Rotr(r, 29) ^ odd;
  return kSp[0][(a >> 26) & 63] | kSp[2][(a >> 18) & 63] | kSp[4][(a >> 10) & 63] | kSp[6][(a >> 2) & 63] |
         kSp[1][(b >> 26) & 63] | kSp[3][(b >> 18) & 63] | kSp[5][(b >> 10) & 63] | kSp[7][(b >> 2) & 63];
}

template <bool kDecrypt>
void DesCrypt(const DesKeySchedule& ks, const unsigned char in[8], unsigned char out[8]) {
  std::uint32_t l = LoadBe(in);
  std::uint32_t r = LoadBe(in + 4);
  InitialPermutation(l, r);
  for (int i = 0; i < 16; i += 2) {
    const int k0 = kDecrypt ? 15 - i : i;
    const int k1 = kDecrypt ? 14 - i : i + 1;
    l ^= RoundFunction(r, ks.even[k0], ks.odd[k0]);
    r ^= RoundFunction(l, ks.even[k1], ks.odd[k1]);
  }
  FinalPermutation(r, l);  // the last round's halves go out swapped
  StoreBe(r, out);
  StoreBe(l, out + 4);
}

constexpr std::uint32_t kHalfMask = 0x0FFFFFFFu;
inline std::uint32_t Rotl28(std::uint32_t v, int n) { return ((v << n) | (v >> (28 - n))) & kHalfMask; }

}  // namespace

void DesSetKey(const unsigned char key[8], DesKeySchedule& schedule) {
  const std::uint64_t k = (std::uint64_t{LoadBe(key)} << 32) | LoadBe(key + 4);
  std::uint32_t c = 0;
  std::uint32_t d = 0;
  for (int i = 0; i < 28; ++i) {
    c = (c << 1) | static_cast<std::uint32_t>((k >> (64 - kPc1[i])) & 1);
    d = (d << 1) | static_cast<std::uint32_t>((k >> (64 - kPc1[i + 28])) & 1);
  }
  for (int round = 0; round < 16; ++round) {
    c = Rotl28(c, kShifts[round]);
    d = Rotl28(d, kShifts[round]);
    std::uint32_t even = 0;
    std::uint32_t odd = 0;
    for (int s = 0; s < 4; ++s) {
      const SubkeyPart& pc = kPc2Parts[s][(c >> (21 - 7 * s)) & 127];
      const SubkeyPart& pd = kPc2Parts[4 + s][(d >> (21 - 7 * s)) & 127];
      even |= pc.even | pd.even;
      odd |= pc.odd | pd.odd;
    }
    schedule.even[round] = even;
    schedule.odd[round] = odd;
  }
}

void DesEncryptBlock(const DesKeySchedule& schedule, const unsigned char in[8], unsigned char out[8]) {
  DesCrypt<false>(schedule, in, out);
}

void DesDecryptBlock(const DesKeySchedule& schedule, const unsigned char in[8], unsigned char out[8]) {
  DesCrypt<true>(schedule, in, out);
}

}  // namespace velt::mvencode
