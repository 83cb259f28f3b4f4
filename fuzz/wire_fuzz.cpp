// The platform side of the wire on hostile bytes: request packets of several messages joined,
// every complete request read in the packet grammar, and every header decoded — nothing may read
// past what arrived, and the joiner must keep its bounds.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "request.h"
#include "request_joiner.h"
#include "wire/packet_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  veltemu::JoinLimits limits;
  limits.maxRequestBytes = 1 << 16;
  limits.maxPending = 4;
  veltemu::RequestJoiner joiner(limits);
  const auto now = veltemu::Clock::now();
  // Each message: one byte picks its message id (of four), one its length, then the bytes.
  std::size_t at = 0;
  while (at + 2 <= size) {
    const std::string id(24, static_cast<char>('A' + data[at] % 4));
    const std::size_t length = std::min<std::size_t>(size - at - 2, static_cast<std::size_t>(data[at + 1]) * 40);
    const std::string_view packet(reinterpret_cast<const char*>(data + at + 2), length);
    at += 2 + length;
    if (packet.size() >= velt::wire::kHeaderBytes) (void)velt::wire::DecodeHeader(packet.data());
    veltemu::JoinResult r = joiner.Feed(id, packet, now);
    if (r.status == veltemu::JoinStatus::kComplete) {
      const veltemu::Request request = veltemu::Request::Parse(r.request.header, std::move(r.request.text));
      for (const auto& v : request.values()) (void)request.Binary(v.name);
      (void)request.Integer("ROWS");
    }
  }
  return 0;
}
