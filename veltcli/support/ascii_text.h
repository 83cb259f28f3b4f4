// Byte-text helpers shared by the session and the configuration reader. Case folding is ASCII
// only, so GBK bytes compare exactly whatever locale the host program set.
#pragma once

#include <cstddef>

namespace velt {

// Compares at most `n` bytes, stopping after a zero byte common to both, ignoring ASCII case.
bool EqualNoCase(const char* a, const char* b, std::size_t n) noexcept;

// Copies at most `capacity - 1` bytes of `text` (stopping at its zero byte) and terminates;
// nothing when capacity is 0. Returns the number of bytes copied.
std::size_t CopyBounded(char* out, std::size_t capacity, const char* text) noexcept;

}  // namespace velt
