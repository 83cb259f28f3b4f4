// Arbitrary inputs, keys and result sizes through MVEncode, MVDecode and MVReEncode: whatever the
// bytes, nothing may be read or written outside the areas handed in (each is its own heap block).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "mvencode.h"

namespace {

struct Reader {
  const uint8_t* p;
  size_t n;
  uint8_t Byte() {
    if (n == 0) return 0;
    --n;
    return *p++;
  }
  std::vector<unsigned char> Take(size_t want) {
    want = want < n ? want : n;
    std::vector<unsigned char> v(p, p + want);
    p += want;
    n -= want;
    return v;
  }
};

// A block of exactly `size` bytes, so any overrun is caught; texts get their terminator inside it.
std::vector<unsigned char> Text(std::vector<unsigned char> v) {
  v.push_back(0);
  return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader r{data, size};
  const int type = r.Byte() % 8;   // 0 and 7: unknown types
  const uint8_t mode = r.Byte();
  const int outSize = r.Byte() * 4;
  const auto key = Text(r.Take(r.Byte() % 48));
  const auto in = Text(r.Take(r.n));
  const int inLen = static_cast<int>(in.size()) - 1;
  const int keyLen = static_cast<int>(key.size()) - 1;
  // outSize bytes plus the one a text result's terminator may take
  std::vector<unsigned char> out(static_cast<size_t>(outSize) + 1, 0);
  switch (mode % 3) {
    case 0: MVEncode(type, in.data(), inLen, out.data(), outSize, key.data(), keyLen); break;
    case 1: MVDecode(type, in.data(), inLen, out.data(), outSize, key.data(), keyLen); break;
    default:
      MVReEncode(in.data(), inLen, out.data(), outSize, type, key.data(), keyLen, (mode / 3) % 8, key.data(), keyLen);
      break;
  }
  return 0;
}
