// Joining request packets.
#include "request_joiner.h"

#include "status_codes.h"

namespace veltemu {

using velt::wire::kHeaderBytes;

int CheckPacket(std::string_view packet, velt::wire::PacketHeader& header, std::string_view& text) {
  text = {};
  if (packet.size() < kHeaderBytes) return kStatusMalformedPacket;
  header = velt::wire::DecodeHeader(packet.data());
  const std::size_t have = packet.size() - kHeaderBytes;
  if (header.length < 0 || static_cast<std::size_t>(header.length) > have) return kStatusBadLength;
  const std::size_t length = static_cast<std::size_t>(header.length);
  if (velt::wire::Checksum(packet.data(), packet.data() + kHeaderBytes, length) != header.checksum)
    return kStatusBadChecksum;
  text = packet.substr(kHeaderBytes, length);
  return 0;
}

void RequestJoiner::Append(Pending& p, const velt::wire::PacketHeader& h, std::string_view text, int damage) {
  JoinedRequest& r = p.request;
  ++r.packets;
  r.bytes += h.length > 0 ? static_cast<std::size_t>(h.length) : 0;
  if (r.damage == 0 && damage != 0) r.damage = damage;
  if (r.damage == 0 && r.bytes > limits_.maxRequestBytes) r.damage = kStatusRequestTooLarge;
  if (r.damage != 0) {
    std::string().swap(r.text);   // a damaged request keeps nothing but its header
    return;
  }
  r.text.append(text);
}

JoinResult RequestJoiner::Feed(std::string_view messageId, std::string_view packet, Clock::time_point now) {
  JoinResult out;
  velt::wire::PacketHeader h;
  std::string_view text;
  const int damage = CheckPacket(packet, h, text);
  const std::string id(messageId);
  auto it = pending_.find(id);

  if (damage == kStatusMalformedPacket) {
    // No header: neither its sequence nor its flags can be known.
    if (it != pending_.end()) {
      pending_.erase(it);
      out.note = "packet without header inside a request";
      return out;
    }
    out.status = JoinStatus::kComplete;
    out.request.messageId = id;
    out.request.damage = damage;
    out.request.packets = 1;
    return out;
  }

  if (it == pending_.end()) {
    if (h.sequence != 0) {
      out.status = JoinStatus::kStray;
      return out;
    }
    if (pending_.size() >= limits_.maxPending && (h.flags & velt::wire::kFlagLast) == 0) {
      out.note = "too many requests collected at once";
      return out;
    }
    Pending fresh;
    fresh.request.messageId = id;
    fresh.request.header = h;
    it = pending_.emplace(id, std::move(fresh)).first;
  } else if (h.sequence != it->second.nextSequence) {
    // A duplicate or a gap: the text can no longer be trusted.
    Append(it->second, h, {}, kStatusBadSequence);
  }
  Pending& p = it->second;
  if (h.sequence == p.nextSequence || p.request.packets == 0) Append(p, h, text, damage);
  p.nextSequence = h.sequence + 1;
  p.last = now;
  if ((h.flags & velt::wire::kFlagLast) == 0) {
    out.status = JoinStatus::kNeedMore;
    return out;
  }
  out.status = JoinStatus::kComplete;
  out.request = std::move(p.request);
  pending_.erase(it);
  return out;
}

void RequestJoiner::Drop(std::string_view messageId) { pending_.erase(std::string(messageId)); }

std::vector<std::string> RequestJoiner::Expire(Clock::time_point cutoff) {
  std::vector<std::string> dropped;
  for (auto it = pending_.begin(); it != pending_.end();) {
    if (it->second.last < cutoff) {
      dropped.push_back(it->first);
      it = pending_.erase(it);
    } else {
      ++it;
    }
  }
  return dropped;
}

}  // namespace veltemu
