// Pair and cell escaping of the packet text.
#include "text_escape.h"

#include "core/packet_value.h"

namespace veltemu {
namespace {

char CellUnescape(char x, char y) {
  if (x == '2' && y == 'C') return ',';
  if (x == '4' && y == '0') return '@';
  return 0;
}

}  // namespace

std::string PacketEscaped(std::string_view text) {
  std::string out(velt::PacketEscapedLength(text), '\0');
  velt::PacketEscape(text, out.data());
  return out;
}

std::string PacketDecoded(std::string_view raw) {
  std::string out(raw.size(), '\0');   // decoding never lengthens
  out.resize(velt::PacketDecode(raw, out.data(), out.size()));
  return out;
}

std::string CellEscaped(std::string_view cell) {
  std::string out;
  out.reserve(cell.size());
  for (const char c : cell) {
    if (c == ',') out += "@2C";
    else if (c == '@') out += "@40";
    else out += c;
  }
  return out;
}

std::string CellDecoded(std::string_view raw) {
  std::string out(raw.size(), '\0');
  out.resize(velt::DecodeEscapes(raw, out.data(), out.size(), CellUnescape));
  return out;
}

}  // namespace veltemu
