// Packet escaping and the named-value lookup.
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

bool FindRawValue(std::string_view text, const char* name, std::string_view& raw) noexcept {
  const std::size_t nameLen = std::strlen(name);
  if (nameLen > kMaxValueName) return false;
  char pattern[1 + 3 * kMaxValueName + 1];
  pattern[0] = '&';
  std::size_t n = 1 + PacketEscape(std::string_view(name, nameLen), pattern + 1);
  pattern[n++] = '=';
  const std::string_view led(pattern, n);
  std::size_t start;
  const std::size_t at = text.find(led);
  if (at != std::string_view::npos) {
    start = at + led.size();
  } else if (text.substr(0, led.size() - 1) == led.substr(1)) {
    start = led.size() - 1;
  } else {
    return false;
  }
  const std::size_t end = text.find('&', start);
  raw = text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
  return true;
}

std::size_t PacketDecode(std::string_view raw, char* out, std::size_t len) noexcept {
  std::size_t n = 0;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c == '@' && i + 2 < raw.size()) {
      if (const char u = UnescapeOf(raw[i + 1], raw[i + 2])) {
        c = u;
        i += 2;
      }
    }
    if (n < len) out[n] = c;
    ++n;
  }
  return n;
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
  if (std::strlen(name) > kMaxValueName) return 4;
  std::string_view raw;
  if (!FindRawValue(text, name, raw)) return 1;
  const std::size_t n = PacketDecode(raw, out, cap);
  if (n > cap) return 100;
  out[n] = '\0';
  return 0;
}

}  // namespace velt
