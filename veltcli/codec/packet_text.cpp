// The remembered text length and packet-buffer growth.
#include "codec/packet_text.h"


#include <climits>
#include <cstring>

namespace velt {

std::string_view PacketText(PacketSession& session) noexcept {
  RsState& rs = session.rs;
  const char* data = session.packet.Data();
  const int capacity = session.packet.Capacity();
  if (data == nullptr) return {};
  const int n = rs.textLength;
  const bool known = n >= 0 && n < capacity && rs.textData == data && rs.textCapacity == capacity &&
                     rs.textRevision == session.packetRevision && data[n] == '\0' &&
                     (n == 0 || data[n - 1] != '\0');
  if (known) return std::string_view(data, static_cast<std::size_t>(n));
  const int length = session.packet.Length();
  SetPacketTextLength(session, static_cast<std::size_t>(length));
  return std::string_view(data, static_cast<std::size_t>(length));
}

void SetPacketTextLength(PacketSession& session, std::size_t length) noexcept {
  RsState& rs = session.rs;
  rs.textLength = static_cast<int>(length);
  rs.textData = session.packet.Data();
  rs.textCapacity = session.packet.Capacity();
  rs.textRevision = session.packetRevision;
}

bool PacketRoom(PacketSession& session, std::size_t length, std::size_t extra) noexcept {
  const std::size_t capacity = static_cast<std::size_t>(session.packet.Capacity());
  const std::size_t limit = static_cast<std::size_t>(INT_MAX);
  if (extra > limit || length > limit - extra - kPacketSlack - 1) return false;
  const std::size_t needed = length + extra + 1 + kPacketSlack;
  if (needed <= capacity) return true;
  const std::size_t half = capacity + capacity / 2;
  const std::size_t target = needed < half && half <= limit ? half : needed;
  return session.packet.Grow(target);
}

}  // namespace velt
