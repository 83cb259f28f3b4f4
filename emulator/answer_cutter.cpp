// Answer parts and packets.
#include "answer_cutter.h"

#include <algorithm>
#include <cstring>

namespace veltemu {

using velt::wire::kHeaderBytes;

std::vector<std::string> PackParts(std::vector<std::string> units, const CutLimits& limits) {
  const std::size_t capacity = limits.packetText * static_cast<std::size_t>(std::max(limits.partPackets, 1));
  std::vector<std::string> parts(1);
  for (std::string& unit : units) {
    std::string* part = &parts.back();
    const bool led = parts.size() > 1 || !part->empty();   // only the answer's first pair has no "&"
    const std::size_t need = unit.size() + (led ? 1 : 0);
    if (!part->empty() && part->size() + need > capacity) {
      parts.emplace_back();
      part = &parts.back();
    }
    if (parts.size() > 1 || !part->empty()) part->push_back('&');
    part->append(unit);
    std::string().swap(unit);
  }
  return parts;
}

std::vector<std::string> CutPackets(const std::vector<std::string>& parts, const velt::wire::PacketHeader& base,
                                    const CutLimits& limits) {
  std::vector<std::string> packets;
  velt::wire::PacketHeader h = base;
  int sequence = 0;
  for (std::size_t p = 0; p < parts.size(); ++p) {
    const std::string& text = parts[p];
    std::size_t at = 0;
    do {
      const std::size_t chunk = std::min(limits.packetText, text.size() - at);
      const bool partEnd = at + chunk == text.size();
      h.sequence = sequence++;
      h.length = static_cast<int>(chunk);
      h.flags = !partEnd ? 0 : (p + 1 == parts.size() ? velt::wire::kFlagLast : velt::wire::kFlagWindowEnd);
      h.checksum = 0;
      std::string packet(kHeaderBytes + chunk, '\0');
      velt::wire::EncodeHeader(h, packet.data());
      std::memcpy(packet.data() + kHeaderBytes, text.data() + at, chunk);
      velt::wire::SealPacket(packet.data(), chunk);
      packets.push_back(std::move(packet));
      at += chunk;
    } while (at < text.size());
  }
  return packets;
}

namespace {

void Reseal(std::string& packet, const velt::wire::PacketHeader& h) {
  velt::wire::EncodeHeader(h, packet.data());
  velt::wire::SealPacket(packet.data(), packet.size() - kHeaderBytes);
}

}  // namespace

void ApplyFault(std::vector<std::string>& packets, AnswerFault fault) {
  if (packets.empty() || fault == AnswerFault::kNone) return;
  switch (fault) {
    case AnswerFault::kChecksum: {
      std::string& p = packets.front();
      velt::wire::PacketHeader h = velt::wire::DecodeHeader(p.data());
      h.checksum = (h.checksum + 1) % 255;
      velt::wire::EncodeHeader(h, p.data());
      break;
    }
    case AnswerFault::kSequence: {
      std::string& p = packets.size() > 1 ? packets[1] : packets.front();
      velt::wire::PacketHeader h = velt::wire::DecodeHeader(p.data());
      h.sequence += 100;
      Reseal(p, h);
      break;
    }
    case AnswerFault::kLength: {
      std::string& p = packets.front();
      velt::wire::PacketHeader h = velt::wire::DecodeHeader(p.data());
      h.length += 100;
      Reseal(p, h);
      break;
    }
    case AnswerFault::kNone: break;
  }
}

}  // namespace veltemu
