// Packet escaping, pair search and the named-value lookup.
#include "core/packet_value.h"

#include <cstring>

namespace velt {
namespace {

const char* EscapeOf(char c) {
  switch (c) {
    case '%': return "@25";
    case '&': return "@26";
    case '=': return "@3D";
    case '@': return "@40";
    default: return nullptr;
  }
}

// The byte an "@xy" sequence stands for, or 0 when it is no escape.
char UnescapeOf(char x, char y) {
  if (x == '2' && y == '5') return '%';
  if (x == '2' && y == '6') return '&';
  if (x == '3' && y == 'D') return '=';
  if (x == '4' && y == '0') return '@';
  return 0;
}

}  // namespace

std::size_t PacketEscape(std::string_view text, char* out) noexcept {
  std::size_t n = 0;
  for (const char c : text) {
    if (const char* e = EscapeOf(c)) {
      std::memcpy(out + n, e, 3);
      n += 3;
    } else {
      out[n++] = c;
    }
  }
  return n;
}

std::size_t PacketEscapedLength(std::string_view text) noexcept {
  std::size_t n = text.size();
  for (const char c : text) {
    if (EscapeOf(c) != nullptr) n += 2;
  }
  return n;
}

bool FindPair(std::string_view text, std::string_view ledPattern, PairSpan& span) noexcept {
  const std::size_t at = text.find(ledPattern);
  if (at != std::string_view::npos) {
    span.begin = at;
    span.value = at + ledPattern.size();
    span.led = true;
  } else if (text.substr(0, ledPattern.size() - 1) == ledPattern.substr(1)) {
    span.begin = 0;
    span.value = ledPattern.size() - 1;
    span.led = false;
  } else {
    return false;
  }
  const std::size_t end = text.find('&', span.value);
  span.end = end == std::string_view::npos ? text.size() : end;
  return true;
}

bool FindRawValue(std::string_view text, std::string_view name, std::string_view& raw) noexcept {
  if (name.size() > kMaxLookupName) return false;
  char pattern[1 + 3 * kMaxLookupName + 1];
  pattern[0] = '&';
  std::size_t n = 1 + PacketEscape(name, pattern + 1);
  pattern[n++] = '=';
  PairSpan span;
  if (!FindPair(text, std::string_view(pattern, n), span)) return false;
  raw = text.substr(span.value, span.end - span.value);
  return true;
}

std::size_t PacketDecode(std::string_view raw, char* out, std::size_t len) noexcept {
  return DecodeEscapes(raw, out, len, UnescapeOf);
}

int LookupPacketValue(std::string_view text, const char* name, char* out, int len) noexcept {
  if (out == nullptr) return 1;
  if (text.empty()) return 2;
  if (len <= 0) return 3;
  out[0] = '\0';
  const auto cap = static_cast<std::size_t>(len);
  if (name == nullptr || name[0] == '\0') {
    const std::size_t n = text.size() < cap ? text.size() : cap;
    std::memcpy(out, text.data(), n);
    if (text.size() > cap) return 100;
    out[n] = '\0';
    return 0;
  }
  const std::string_view key(name);
  if (key.size() > kMaxValueName) return 4;
  std::string_view raw;
  if (!FindRawValue(text, key, raw)) return 1;
  const std::size_t n = PacketDecode(raw, out, cap);
  if (n > cap) return 100;
  out[n] = '\0';
  return 0;
}

}  // namespace velt
