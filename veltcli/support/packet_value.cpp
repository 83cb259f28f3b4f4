// Pair search and the named-value lookup.
#include "support/packet_value.h"
#include "support/value_codes.h"
#include "wire/text_escape.h"

#include <cstring>

namespace velt {

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
  std::size_t n = 1 + wire::Escape(name, pattern + 1, wire::kPairEscapes);
  pattern[n++] = '=';
  PairSpan span;
  if (!FindPair(text, std::string_view(pattern, n), span)) return false;
  raw = text.substr(span.value, span.end - span.value);
  return true;
}

int LookupPacketValue(std::string_view text, const char* name, char* out, int len) noexcept {
  if (out == nullptr) return kValueNotFound;
  if (text.empty()) return kValueNoText;
  if (len <= 0) return kValueBadLength;
  out[0] = '\0';
  const auto cap = static_cast<std::size_t>(len);
  if (name == nullptr || name[0] == '\0') {
    const std::size_t n = text.size() < cap ? text.size() : cap;
    std::memcpy(out, text.data(), n);
    if (text.size() > cap) return kValueTruncated;
    out[n] = '\0';
    return 0;
  }
  const std::string_view key(name);
  if (key.size() > kMaxValueName) return kValueNameTooLong;
  std::string_view raw;
  if (!FindRawValue(text, key, raw)) return kValueNotFound;
  const std::size_t n = wire::Unescape(raw, out, cap, wire::kPairEscapes);
  if (n > cap) return kValueTruncated;
  out[n] = '\0';
  return 0;
}

}  // namespace velt
