// Access to the session's packet text for the codec: its length without a scan whenever the
// codec itself wrote it last, and room for appending however much escaping expands a value.
#pragma once

#include <cstddef>
#include <string_view>

#include "codec/packet_session.h"

namespace velt {

// Free bytes the writer keeps behind the text, so that small pairs never reallocate.
constexpr std::size_t kPacketSlack = 4000;

// The packet text; its length is remembered from the codec's last write when still valid.
std::string_view PacketText(PacketSession& session) noexcept;
// Records the length of the text the codec just left in the packet buffer (terminated there).
void SetPacketTextLength(PacketSession& session, std::size_t length) noexcept;

// Makes the packet buffer hold `length` + `extra` bytes and a terminator plus the slack, growing
// by at least half its capacity. False when memory fails (the text is kept).
bool PacketRoom(PacketSession& session, std::size_t length, std::size_t extra) noexcept;

}  // namespace velt
