// Access to the session's packet text for the codec: its length without a scan whenever the
// codec itself wrote it last, and room for appending however much escaping expands a value.
#pragma once

#include <cstddef>
#include <string_view>

#include "core/session.h"

namespace velt {

// Free bytes the writer keeps behind the text, so that small pairs never reallocate.
constexpr std::size_t kPacketSlack = 4000;

// The packet text; its length is remembered from the codec's last write when still valid.
std::string_view PacketText(CLUNQCliBase& session) noexcept;
// Records the length of the text the codec just left in the packet buffer (terminated there).
void SetPacketTextLength(CLUNQCliBase& session, std::size_t length) noexcept;

// Makes the packet buffer hold `length` + `extra` bytes and a terminator plus the slack, growing
// by at least half its capacity. False when memory fails (the text is kept).
bool PacketRoom(CLUNQCliBase& session, std::size_t length, std::size_t extra) noexcept;

// Cell escaping of table rows: "," -> "@2C", "@" -> "@40". `out` holds 3 * cell.size() bytes.
std::size_t CellEscape(std::string_view cell, char* out) noexcept;
// The reverse, into out[0..len); returns the decoded length (which may exceed len).
std::size_t CellDecode(std::string_view raw, char* out, std::size_t len) noexcept;

}  // namespace velt
