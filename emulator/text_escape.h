// The escapings of the packet text as strings: pair escaping over the client's wire codec, and
// the cell escaping of table rows ("," -> "@2C", "@" -> "@40") on the client's one "@XY" decoder.
#pragma once

#include <string>
#include <string_view>

namespace veltemu {

std::string PacketEscaped(std::string_view text);
std::string PacketDecoded(std::string_view raw);
std::string CellEscaped(std::string_view cell);
std::string CellDecoded(std::string_view raw);

}  // namespace veltemu
