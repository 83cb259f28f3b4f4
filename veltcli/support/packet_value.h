// Named-value lookup in packet text (pairs name=value joined by "&", names and values escaped
// with the pair escapes of wire/text_escape.h): the one lookup of the library. The error calls,
// the request writer's pair replacement and the answer reader all find pairs through it.
#pragma once

#include <cstddef>
#include <string_view>

namespace velt {

// Longest name a caller may look up; longer names are refused with their function's code.
constexpr std::size_t kMaxValueName = 100;
// Longest name looked up internally: a caller's name with a reserved prefix ("_BASE64_").
constexpr std::size_t kMaxLookupName = 128;

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

// The value lookup: 0 found (decoded, terminated: `out` holds len + 1 bytes); 100 longer than
// len (len characters, no terminator); 1 out null or no such value; 2 no packet text; 3 len <= 0;
// 4 name longer than 100. A null or empty name copies the whole raw text.
int LookupPacketValue(std::string_view text, const char* name, char* out, int len) noexcept;

}  // namespace velt
