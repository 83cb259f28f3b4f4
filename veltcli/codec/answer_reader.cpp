// Named values of an answer: text decoded into the caller's buffer, binary values decoded in the
// session's value buffer, which the returned pointer refers to until the next such call.
#include "codec/answer_reader.h"

#include <cstring>

#include "codec/cbase64.h"
#include "codec/cursor_codes.h"
#include "codec/packet_text.h"
#include "support/packet_value.h"
#include "wire/text_escape.h"

namespace velt {
namespace {

constexpr std::string_view kMarkerPrefix = "_BASE64_";

// Decodes a raw value into the value buffer; false when the buffer cannot grow.
bool DecodeIntoValueBuffer(RsState& rs, std::string_view raw, std::size_t& length) {
  if (!rs.valueBuf.Reserve(raw.size() + 1)) return false;
  length = wire::Unescape(raw, rs.valueBuf.Data(), raw.size(), wire::kPairEscapes);
  rs.valueBuf.Data()[length] = '\0';
  return true;
}

}  // namespace

int GetValue(velt::PacketSession& session, const char* name, char* out, int len) noexcept {
  return LookupPacketValue(PacketText(session), name, out, len);
}

int GetVal(velt::PacketSession& session, const char* name, unsigned char** data, long* length) noexcept {
  if (name == nullptr || data == nullptr || length == nullptr) return kGetValNullArgument;
  *data = nullptr;
  *length = 0;
  const std::string_view key(name);
  if (key.size() > kMaxValueName) return kGetValNameTooLong;
  return LookupBinary(session, key, data, length);
}

int LookupBinary(velt::PacketSession& session, std::string_view name, unsigned char** data, long* length) noexcept {
  RsState& rs = session.rs;
  const std::string_view text = PacketText(session);
  std::string_view raw;
  if (!FindRawValue(text, name, raw)) return kGetValNoPair;
  std::size_t n = 0;
  if (!DecodeIntoValueBuffer(rs, raw, n)) return kGetValNoMemory;
  const std::string_view value(rs.valueBuf.Data(), n);
  const bool marked = value.size() >= kMarkerPrefix.size() + name.size() &&
                      value.substr(0, kMarkerPrefix.size()) == kMarkerPrefix &&
                      value.substr(kMarkerPrefix.size(), name.size()) == name;
  if (marked) {
    char markerName[kMarkerPrefix.size() + kMaxLookupName + 1];
    if (name.size() > kMaxLookupName) return kGetValNoBase64Pair;
    std::memcpy(markerName, kMarkerPrefix.data(), kMarkerPrefix.size());
    std::memcpy(markerName + kMarkerPrefix.size(), name.data(), name.size());
    if (!FindRawValue(text, std::string_view(markerName, kMarkerPrefix.size() + name.size()), raw)) return kGetValNoBase64Pair;
    if (!DecodeIntoValueBuffer(rs, raw, n)) return kGetValNoMemoryForBase64;
    n = CBase64::Decode(rs.valueBuf.Data(), n, reinterpret_cast<unsigned char*>(rs.valueBuf.Data()), n + 1);
  }
  *data = reinterpret_cast<unsigned char*>(rs.valueBuf.Data());
  *length = static_cast<long>(n);
  return 0;
}

}  // namespace velt
