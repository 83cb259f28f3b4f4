// Pair rules over the packet buffer. Appending never scans the text: its length is remembered
// (packet_text.h), so a request is built in time linear in its size.
#include "codec/request_writer.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "codec/cbase64.h"
#include "codec/packet_text.h"
#include "codec/request_codes.h"
#include "codec/table_writer.h"
#include "support/packet_value.h"
#include "wire/text_escape.h"

namespace velt {
namespace {

// "&" + escaped name + "=", on the stack for the usual short names.
class LedPattern {
 public:
  bool Build(std::string_view name) noexcept {
    const std::size_t size = 3 * name.size() + 2;
    char* out = small_;
    if (size > sizeof small_) {
      if (!large_.Reserve(size)) return false;
      out = large_.Data();
    }
    out[0] = '&';
    std::size_t n = 1 + wire::Escape(name, out + 1, wire::kPairEscapes);
    out[n++] = '=';
    text_ = std::string_view(out, n);
    return true;
  }
  std::string_view Text() const noexcept { return text_; }
  std::string_view EscapedNameAndEquals() const noexcept { return text_.substr(1); }

 private:
  char small_[3 * kMaxLookupName + 2];
  GrowBuffer large_;
  std::string_view text_;
};

// Removes the first pair the pattern finds; returns the new text length.
std::size_t RemovePair(char* data, std::size_t length, const LedPattern& pattern) noexcept {
  PairSpan span;
  if (!FindPair(std::string_view(data, length), pattern.Text(), span)) return length;
  std::size_t from = span.begin;
  std::size_t to = span.end;
  if (!span.led && to < length) ++to;   // the first pair goes with the "&" after it
  std::memmove(data + from, data + to, length - to);
  length -= to - from;
  data[length] = '\0';
  return length;
}

}  // namespace

int StorePair(velt::PacketSession& session, std::string_view name, std::string_view value) noexcept {
  const std::size_t length = PacketText(session).size();
  if (value.size() > static_cast<std::size_t>(INT_MAX) / 4 || name.size() > static_cast<std::size_t>(INT_MAX) / 4 ||
      !PacketRoom(session, length, 2 + 3 * name.size() + 3 * value.size())) {
    return kWriteBufferFull;
  }
  char* data = session.packet.Data();
  if (name.empty()) {
    std::memmove(data, value.data(), value.size());
    data[value.size()] = '\0';
    SetPacketTextLength(session, value.size());
    return 0;
  }
  LedPattern pattern;
  if (!pattern.Build(name)) return kWriteBufferFull;
  std::size_t n = RemovePair(data, length, pattern);
  if (value.empty() && EmptyValuesOption() == 0) {
    SetPacketTextLength(session, n);
    return kWriteValueSkipped;
  }
  if (n > 0) data[n++] = '&';
  const std::string_view head = pattern.EscapedNameAndEquals();
  std::memcpy(data + n, head.data(), head.size());
  n += head.size();
  n += wire::Escape(value, data + n, wire::kPairEscapes);
  data[n] = '\0';
  SetPacketTextLength(session, n);
  return 0;
}

int StoreIntPair(velt::PacketSession& session, std::string_view name, long long value) noexcept {
  char digits[24];
  const int n = std::snprintf(digits, sizeof digits, "%lld", value);
  return StorePair(session, name, std::string_view(digits, static_cast<std::size_t>(n)));
}

int SetValue(velt::PacketSession& session, const char* name, const char* value) noexcept {
  if (value == nullptr) return kWriteValueSkipped;
  return StorePair(session, name != nullptr ? name : "", value);
}

int StoreBinary(velt::PacketSession& session, const char* name, const unsigned char* data, long length) noexcept {
  if (name == nullptr || data == nullptr) return kWriteBinaryNullArgument;
  const std::size_t nameLength = std::strlen(name);
  if (nameLength >= kMaxValueName) return kWriteBinaryNameTooLong;
  if (length <= 0) return SetValue(session, name, reinterpret_cast<const char*>(data));
  char marker[sizeof "_BASE64_" + kMaxValueName];
  const int markerLength = std::snprintf(marker, sizeof marker, "_BASE64_%s", name);
  const std::string_view markerText(marker, static_cast<std::size_t>(markerLength));
  if (StorePair(session, std::string_view(name, nameLength), markerText) != 0) return kWriteBinaryMarkerFailed;
  CBase64 base64;
  std::size_t textLength = 0;
  const char* text = base64.Encode(data, static_cast<std::size_t>(length), &textLength);
  if (text == nullptr) return kWriteBinaryNoMemory;
  return StorePair(session, markerText, std::string_view(text, textLength));
}

void ResetTableState(velt::PacketSession& session) noexcept {
  RsState& rs = session.rs;
  rs.nRsCount = rs.nCurRow = rs.nFirstRow = rs.nLastRow = rs.nColNum = 0;
  rs.szCursorName[0] = '\0';
  if (rs.colNames.Data() != nullptr) rs.colNames.Data()[0] = '\0';
  rs.szRowText[0] = '\0';
  rs.tableListLength = 0;
}

int ResetRequest(velt::PacketSession& session) noexcept {
  ResetTableState(session);
  if (!session.packet.Reset()) return kWriteNoMemory;
  SetPacketTextLength(session, 0);
  StorePair(session, "_CA", session.clientVersion);
  StorePair(session, "_ENDIAN", "0");
  return 0;
}

int BeginWrite(velt::PacketSession& session) noexcept {
  session.commTime = 0;
  session.answerScanPosition = 0;
  session.servicePrefix[0] = '\0';
  return ResetRequest(session);
}

int CompleteRequest(velt::PacketSession& session) noexcept {
  RsState& rs = session.rs;
  if (rs.nCurRow <= 0) return 0;
  if (CloseTable(session) != 0) return kCompleteNoMemory;
  char head[64];
  const int headLength = std::snprintf(head, sizeof head, "&_RC=%d&_CC=%d", rs.nCurRow, rs.nColNum);
  const std::string_view list(rs.tableList.Data(), rs.tableListLength);
  const std::size_t length = PacketText(session).size();
  if (!PacketRoom(session, length, static_cast<std::size_t>(headLength) + 5 + 3 * list.size())) return kCompleteNoMemory;
  char* data = session.packet.Data();
  std::size_t n = length;
  std::memcpy(data + n, head, static_cast<std::size_t>(headLength));
  n += static_cast<std::size_t>(headLength);
  if (!list.empty()) {
    std::memcpy(data + n, "&_TL=", 5);
    n += 5;
    n += wire::Escape(list, data + n, wire::kPairEscapes);
  }
  data[n] = '\0';
  SetPacketTextLength(session, n);
  ResetTableState(session);
  return 0;
}

}  // namespace velt
