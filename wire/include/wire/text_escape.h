// The "@XY" escapes of the packet text: a character of an escape set is written as "@" and its
// code in two upper-case hexadecimal digits. Pair names and values escape "%&=@" ("@25" "@26"
// "@3D" "@40"); table cells escape ",@" ("@2C" "@40"). One encoder and one decoder serve every
// set; the client, the emulator and the fuzz targets all escape through here.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace velt::wire {

class EscapeSet {
 public:
  constexpr explicit EscapeSet(std::string_view chars) {
    for (const char c : chars) escaped_[static_cast<unsigned char>(c)] = true;
  }
  constexpr bool Has(char c) const { return escaped_[static_cast<unsigned char>(c)]; }

 private:
  bool escaped_[256] = {};
};

inline constexpr EscapeSet kPairEscapes("%&=@");
inline constexpr EscapeSet kCellEscapes(",@");

// The character "@XY" at `at` stands for (at[0] is the "@", at + 3 <= end), when X and Y are
// upper-case hexadecimal digits of a character of `set`; false when it is no escape (the "@"
// then stands for itself). The one rule of decoding, inlined into the fused loops of the cursor.
inline bool UnescapeAt(const char* at, const char* end, const EscapeSet& set, char& c) noexcept {
  if (end - at < 3) return false;
  const auto digit = [](char d) -> int {
    if (d >= '0' && d <= '9') return d - '0';
    if (d >= 'A' && d <= 'F') return d - 'A' + 10;
    return -1;
  };
  const int hi = digit(at[1]);
  const int lo = digit(at[2]);
  if (hi < 0 || lo < 0) return false;
  const char u = static_cast<char>(hi * 16 + lo);
  if (!set.Has(u)) return false;
  c = u;
  return true;
}

// Length of the escaped form of `text`.
std::size_t EscapedLength(std::string_view text, const EscapeSet& set) noexcept;
// Writes the escaped form of `text` into `out`, which holds 3 * text.size() bytes; returns the
// length written.
std::size_t Escape(std::string_view text, char* out, const EscapeSet& set) noexcept;

// Decodes `raw` into out[0..len) and returns the decoded length, which may exceed len (the output
// then holds the first len characters). `out` may be raw.data(): decoding never writes ahead.
// Runs without "@" are copied whole.
std::size_t Unescape(std::string_view raw, char* out, std::size_t len, const EscapeSet& set) noexcept;

// The same as strings, for code that is not on a hot path.
std::string Escaped(std::string_view text, const EscapeSet& set);
std::string Unescaped(std::string_view raw, const EscapeSet& set);

}  // namespace velt::wire
