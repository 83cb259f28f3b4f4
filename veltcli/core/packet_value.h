// Named-value lookup in packet text (pairs name=value joined by "&", names and values escaped
// with "@25" "@26" "@3D" "@40"): the one lookup of the library. The error calls, the request
// writer's pair replacement and the answer reader all find pairs through it.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace velt {

// Longest name a caller may look up; longer names are refused with their function's code.
constexpr std::size_t kMaxValueName = 100;
// Longest name looked up internally: a caller's name with a reserved prefix ("_BASE64_").
constexpr std::size_t kMaxLookupName = 128;

// Escaped form of `text`; `out` must hold 3 * text.size() bytes. Returns the length written.
std::size_t PacketEscape(std::string_view text, char* out) noexcept;
// Length of the escaped form of `text`.
std::size_t PacketEscapedLength(std::string_view text) noexcept;

// Where a pair sits in the text: [begin, end) is the whole pair with its leading "&" (or, for a
// first pair without one, the pair and nothing else); [value, end) its raw value.
struct PairSpan {
  std::size_t begin = 0;
  std::size_t value = 0;
  std::size_t end = 0;
  bool led = false;   // the pair has its own "&" in front
};

// Finds the first pair whose escaped name is given by `ledPattern` ("&" + escaped name + "="):
// an "&"-led pair anywhere, else a pair at the very start of the text.
bool FindPair(std::string_view text, std::string_view ledPattern, PairSpan& span) noexcept;

// Raw (still escaped) value of the first pair named `name`; false when there is none or the name
// is longer than kMaxLookupName.
bool FindRawValue(std::string_view text, std::string_view name, std::string_view& raw) noexcept;

// The one decoder of "@XY" escapes, for pair values and table cells alike: `unescape(X, Y)` gives
// the character an escape stands for, or 0 when "@XY" is no escape (the "@" is then kept).
// Writes out[0..len) and returns the decoded length, which may exceed len (the output then holds
// the first len characters). `out` may be raw.data(): decoding never writes ahead.
template <typename Unescape>
std::size_t DecodeEscapes(std::string_view raw, char* out, std::size_t len, Unescape unescape) noexcept {
  std::size_t n = 0;
  const auto put = [&](const char* from, std::size_t count) {
    if (n < len) std::memmove(out + n, from, count < len - n ? count : len - n);
    n += count;
  };
  std::size_t i = 0;
  while (i < raw.size()) {
    const void* at = std::memchr(raw.data() + i, '@', raw.size() - i);
    const std::size_t stop =
        at != nullptr ? static_cast<std::size_t>(static_cast<const char*>(at) - raw.data()) : raw.size();
    put(raw.data() + i, stop - i);
    i = stop;
    if (i == raw.size()) break;
    char c = '@';
    std::size_t step = 1;
    if (i + 2 < raw.size()) {
      if (const char u = unescape(raw[i + 1], raw[i + 2])) {
        c = u;
        step = 3;
      }
    }
    put(&c, 1);
    i += step;
  }
  return n;
}

// Decodes a pair value ("@25" "@26" "@3D" "@40").
std::size_t PacketDecode(std::string_view raw, char* out, std::size_t len) noexcept;

// The value lookup: 0 found (decoded, terminated: `out` holds len + 1 bytes); 100 longer than
// len (len characters, no terminator); 1 out null or no such value; 2 no packet text; 3 len <= 0;
// 4 name longer than 100. A null or empty name copies the whole raw text.
int LookupPacketValue(std::string_view text, const char* name, char* out, int len) noexcept;

}  // namespace velt
