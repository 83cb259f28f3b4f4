// ASCII case folding and bounded copies.
#include "support/ascii_text.h"

#include <cstring>

namespace velt {
namespace {
unsigned char Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }
}  // namespace

bool EqualNoCase(const char* a, const char* b, std::size_t n) noexcept {
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(a[i]);
    const auto y = static_cast<unsigned char>(b[i]);
    if (Fold(x) != Fold(y)) return false;
    if (x == 0) return true;
  }
  return true;
}

std::size_t CopyBounded(char* out, std::size_t capacity, const char* text) noexcept {
  if (capacity == 0) return 0;
  const std::size_t n = strnlen(text, capacity - 1);
  std::memcpy(out, text, n);
  out[n] = '\0';
  return n;
}

}  // namespace velt
