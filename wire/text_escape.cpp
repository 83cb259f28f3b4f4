// The escape encoder and decoder.
#include "wire/text_escape.h"

namespace velt::wire {

std::size_t EscapedLength(std::string_view text, const EscapeSet& set) noexcept {
  std::size_t n = text.size();
  for (const char c : text) {
    if (set.Has(c)) n += 2;
  }
  return n;
}

std::size_t Escape(std::string_view text, char* out, const EscapeSet& set) noexcept {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::size_t n = 0;
  for (const char c : text) {
    if (set.Has(c)) {
      const auto u = static_cast<unsigned char>(c);
      out[n] = '@';
      out[n + 1] = kHex[u >> 4];
      out[n + 2] = kHex[u & 15];
      n += 3;
    } else {
      out[n++] = c;
    }
  }
  return n;
}

std::size_t Unescape(std::string_view raw, char* out, std::size_t len, const EscapeSet& set) noexcept {
  std::size_t n = 0;
  const auto put = [&](const char* from, std::size_t count) {
    if (n < len) std::memmove(out + n, from, count < len - n ? count : len - n);
    n += count;
  };
  const char* p = raw.data();
  const char* const end = p + raw.size();
  while (p < end) {
    const void* at = std::memchr(p, '@', static_cast<std::size_t>(end - p));
    const char* stop = at != nullptr ? static_cast<const char*>(at) : end;
    put(p, static_cast<std::size_t>(stop - p));
    p = stop;
    if (p == end) break;
    char c = '@';
    const bool escape = UnescapeAt(p, end, set, c);
    put(&c, 1);
    p += escape ? 3 : 1;
  }
  return n;
}

std::string Escaped(std::string_view text, const EscapeSet& set) {
  std::string out(EscapedLength(text, set), '\0');
  Escape(text, out.data(), set);
  return out;
}

std::string Unescaped(std::string_view raw, const EscapeSet& set) {
  std::string out(raw.size(), '\0');   // decoding never lengthens
  out.resize(Unescape(raw, out.data(), out.size(), set));
  return out;
}

}  // namespace velt::wire
