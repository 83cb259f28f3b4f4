// The one Base64 codec of the SDK (standard alphabet, "=" fill, no line breaks).
// Two decoders exist because the system's formats read Base64 in two ways:
//  - skipping: characters outside the alphabet (including "=", spaces, line breaks) are ignored and
//    every 8 accumulated bits give a byte (request/answer texts, sign-on tickets);
//  - grouped: the text is read in groups of four, a "=" in the third or fourth place shortens the
//    group (stored encodings, components).
#pragma once

#include <cstddef>

namespace velt::platform {

constexpr std::size_t Base64EncodedLength(std::size_t bytes) { return (bytes + 2) / 3 * 4; }
// Upper bound of what the grouped decoder writes for `chars` characters.
constexpr std::size_t Base64DecodedBound(std::size_t chars) { return (chars + 3) / 4 * 3; }

// Value 0..63 of an alphabet character, -1 for anything else ("=" included).
int Base64Value(unsigned char c);

// Writes exactly Base64EncodedLength(n) characters to `out` (no terminator); returns that count.
std::size_t Base64Encode(const unsigned char* in, std::size_t n, char* out);

// Skipping decoder. Writes at most `outSize` bytes but always returns the full number of bytes the
// text decodes to, so a caller can tell that the output was cut.
std::size_t Base64DecodeSkipping(const char* in, std::size_t n, unsigned char* out, std::size_t outSize);

struct GroupedDecodeOptions {
  bool stopAtFill = false;   // a shortened group ends the data (otherwise later groups still count)
};
struct GroupedDecodeResult {
  std::size_t bytes = 0;     // bytes written
  bool foreign = false;      // a character outside the alphabet was met (it counted as 0)
};

// Grouped decoder. `out` must hold Base64DecodedBound(n) bytes. A last group shorter than four
// characters gives what its characters hold (2 -> 1 byte, 3 -> 2 bytes, 1 -> nothing); nothing past
// in[n-1] is read.
GroupedDecodeResult Base64DecodeGrouped(const char* in, std::size_t n, unsigned char* out,
                                        GroupedDecodeOptions options = {});

}  // namespace velt::platform
