// Joins request packets into whole requests by message id, free of I/O: fed one queue message at
// a time, packets of several clients interleaved. It checks every packet (header present, length
// field within the bytes received, checksum, sequence) and bounds what it keeps: a request past
// the size limit keeps no text, and at most `maxPending` requests are collected at once.
// A damaged request is still joined to its end, so its client gets an error answer, never silence.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "wire/packet_header.h"

namespace veltemu {

using Clock = std::chrono::steady_clock;

// Largest joined request text the emulator accepts.
inline constexpr std::size_t kMaxRequestBytes = 64u << 20;

struct JoinedRequest {
  std::string messageId;              // the 24 id bytes
  velt::wire::PacketHeader header;    // of packet 0
  std::string text;                   // the joined text (empty when damaged)
  int damage = 0;                     // 0, or the status to answer with (status_codes.h)
  std::size_t packets = 0;
  std::size_t bytes = 0;              // text bytes received (also when damaged)
};

enum class JoinStatus {
  kNeedMore,   // the request goes on in further packets
  kComplete,   // `request` is whole (possibly damaged)
  kStray,      // a packet with sequence > 0 of a request not collected here
  kDropped,    // a packet that ends nothing: it was not kept
};

struct JoinResult {
  JoinStatus status = JoinStatus::kDropped;
  JoinedRequest request;
  std::string note;   // why a packet was dropped
};

struct JoinLimits {
  std::size_t maxRequestBytes = kMaxRequestBytes;
  std::size_t maxPending = 1024;
};

class RequestJoiner {
 public:
  explicit RequestJoiner(JoinLimits limits = {}) : limits_(limits) {}

  // One queue message: `messageId` as the queue delivered it (24 bytes), `packet` its bytes.
  JoinResult Feed(std::string_view messageId, std::string_view packet, Clock::time_point now);
  // Forgets a request being collected (its remaining packets did not come).
  void Drop(std::string_view messageId);
  // Drops every request whose last packet came before `cutoff`; returns their message ids.
  std::vector<std::string> Expire(Clock::time_point cutoff);
  std::size_t pending() const { return pending_.size(); }

 private:
  struct Pending {
    JoinedRequest request;
    int nextSequence = 1;
    Clock::time_point last;
  };
  void Append(Pending& p, const velt::wire::PacketHeader& h, std::string_view text, int damage);

  JoinLimits limits_;
  std::unordered_map<std::string, Pending> pending_;
};

// Checks one packet: 0 or the damage status. `text` receives the packet's text (as many bytes as
// its length field says), empty when damaged.
int CheckPacket(std::string_view packet, velt::wire::PacketHeader& header, std::string_view& text);

}  // namespace veltemu
