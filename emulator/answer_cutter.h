// Cutting an answer into queue packets, free of I/O. Units are packed into answer parts of at most
// eight packets, each part a complete text (every part after the first begins with the "&" of its
// first pair); parts are cut into packets of at most 3958 text bytes behind a 126-byte header.
// Flags: the last packet of each part carries 2 ("end of window"), the final packet of the answer
// carries 1 alone; every other packet 0. A unit longer than a part gets a part of its own with as
// many packets as it needs.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "answer.h"
#include "wire/packet_header.h"

namespace veltemu {

struct CutLimits {
  std::size_t packetText = velt::wire::kMaxPacketText;
  int partPackets = velt::wire::kWindowPackets;
};

// The answer parts' texts (at least one, possibly empty).
std::vector<std::string> PackParts(std::vector<std::string> units, const CutLimits& limits = {});

// The packets of all parts, each header + text, from `base` (version, call type, session,
// server number, transaction id, status, service prefix): sequence numbers run from 0 across
// the parts; length, flags and checksum are set per packet.
std::vector<std::string> CutPackets(const std::vector<std::string>& parts, const velt::wire::PacketHeader& base,
                                    const CutLimits& limits = {});

// Alters the packets as the fault says (re-sealing them, so that only that fault shows).
void ApplyFault(std::vector<std::string>& packets, AnswerFault fault);

}  // namespace veltemu
