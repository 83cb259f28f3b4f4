// Named-value lookup in packet text (pairs name=value joined by "&", names and values escaped
// with "@25" "@26" "@3D" "@40"). The error calls read "_ERRNO" and "_ERRMSG" with it; the answer
// reader's value calls are built on the same lookup.
#pragma once

#include <cstddef>
#include <string_view>

namespace velt {

constexpr std::size_t kMaxValueName = 100;

// Escaped form of `text`; `out` must hold 3 * text.size() bytes. Returns the length written.
std::size_t PacketEscape(std::string_view text, char* out) noexcept;

// Raw (still escaped) value of the first pair named `name` (a "&"-led pair anywhere, else a pair
// at the very start); false when there is none or the name is longer than kMaxValueName.
bool FindRawValue(std::string_view text, const char* name, std::string_view& raw) noexcept;

// Decodes `raw` into out[0..len); returns the decoded length, which may exceed len (the output
// then holds the first len characters).
std::size_t PacketDecode(std::string_view raw, char* out, std::size_t len) noexcept;

// The value lookup: 0 found (decoded, terminated: `out` holds len + 1 bytes); 100 longer than
// len (len characters, no terminator); 1 out null or no such value; 2 no packet text; 3 len <= 0;
// 4 name longer than 100. A null or empty name copies the whole raw text.
int LookupPacketValue(std::string_view text, const char* name, char* out, int len) noexcept;

}  // namespace velt
