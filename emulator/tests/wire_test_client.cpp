// The emulator tests' raw wire client.
#include "wire_test_client.h"

#include <atomic>
#include <cstring>
#include <random>

#include "request.h"
#include "wire/text_escape.h"

namespace veltemu::testing {

using velt::wire::kHeaderBytes;

std::string WireAnswer::Text() const {
  std::string out;
  for (const AnswerPacket& p : packets) out += p.text;
  return out;
}

std::vector<std::string> WireAnswer::Parts() const {
  std::vector<std::string> parts(1);
  for (const AnswerPacket& p : packets) {
    parts.back() += p.text;
    if ((p.header.flags & 3) != 0 && &p != &packets.back()) parts.emplace_back();
  }
  return parts;
}

std::string WireAnswer::Value(std::string_view name) const {
  return Request::Parse(velt::wire::PacketHeader{}, Text()).Value(name).value_or("?");
}

std::string RequestText(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::string text = "_CA=2.4&_ENDIAN=0";
  for (const auto& [name, value] : pairs) text += "&" + velt::wire::Escaped(name, velt::wire::kPairEscapes) + "=" + velt::wire::Escaped(value, velt::wire::kPairEscapes);
  return text;
}

std::string MakePacket(const WireCall& call, int sequence, int flags, std::string_view text) {
  velt::wire::PacketHeader h;
  h.callType = call.callType;
  h.transactionMode = call.transactionMode + (call.asynchronous ? 8 : 0);
  h.sessionNumber = call.session;
  h.sequence = sequence;
  h.flags = flags;
  h.serverNumber = call.serverNumber;
  velt::wire::SetField(h.clientId, "testclient");
  velt::wire::SetField(h.user, "tester");
  velt::wire::SetField(h.transactionId, call.transactionId.c_str());
  velt::wire::SetField(h.program, call.program.c_str());
  velt::wire::SetField(h.servicePrefix, call.servicePrefix.c_str());
  h.length = static_cast<int>(text.size());
  std::string packet(kHeaderBytes + text.size(), '\0');
  velt::wire::EncodeHeader(h, packet.data());
  std::memcpy(packet.data() + kHeaderBytes, text.data(), text.size());
  velt::wire::SealPacket(packet.data(), text.size());
  return packet;
}

std::string NewMessageId() {
  static std::atomic<unsigned> counter{0};
  static const unsigned salt = std::random_device{}();
  char id[32];
  std::snprintf(id, sizeof id, "W%08X%015u", salt, ++counter);
  return std::string(id, 24);
}

int WireTestClient::Connect(const velt::rimqtest::Endpoint& endpoint, const std::string& requestQueue) {
  if (const int r = client_.Connect(endpoint); r != 0) return r;
  answerQueue_ = velt::rimqtest::UniqueQueueName("answer");
  if (const int r = client_.Open(requestQueue, &hRequest_); r != 0) return r;
  return client_.Open(answerQueue_, &hAnswer_);
}

int WireTestClient::PutRaw(std::string_view packet, const std::string& messageId, int correlation) {
  RIMQMD md = velt::rimqtest::PutDescriptor();
  velt::rimqtest::SetId(md.abMsgId, messageId);
  velt::rimqtest::SetId(md.abCorrelId, std::to_string(correlation));
  std::memcpy(md.szReplyToQ, answerQueue_.data(), std::min(answerQueue_.size(), sizeof md.szReplyToQ));
  md.nMsgLength = static_cast<int>(packet.size());
  return client_.Put(hRequest_, md, packet, 0);
}

std::string WireTestClient::Send(const WireCall& call, std::size_t packetText) {
  const std::string id = NewMessageId();
  std::size_t at = 0;
  int sequence = 0;
  do {
    const std::size_t chunk = std::min(packetText, call.text.size() - at);
    int flags = (sequence + 1) % 8 == 0 ? 2 : 0;
    if (at + chunk == call.text.size()) flags += 1;
    if (PutRaw(MakePacket(call, sequence, flags, std::string_view(call.text).substr(at, chunk)), id, sequence) != 0)
      return std::string();
    at += chunk;
    ++sequence;
  } while (at < call.text.size());
  return id;
}

WireAnswer WireTestClient::Receive(const std::string& messageId, int waitSeconds, int firstSequence,
                                   bool stopAtWindow) {
  WireAnswer answer;
  for (int sequence = firstSequence;; ++sequence) {
    RIMQMD match = velt::rimqtest::GetDescriptor();
    velt::rimqtest::SetId(match.abMsgId, messageId);
    velt::rimqtest::SetId(match.abCorrelId, std::to_string(sequence));
    const velt::rimqtest::Received r = client_.Get(hAnswer_, waitSeconds, RIMQMO_MATCH_MSG_AND_CORREL_ID, &match);
    if (r.reason != 0) {
      answer.reason = r.reason;
      return answer;
    }
    AnswerPacket p;
    p.bytes = r.body.size();
    if (r.body.size() < kHeaderBytes) {
      answer.reason = -1;
      return answer;
    }
    p.header = velt::wire::DecodeHeader(r.body.data());
    p.correlation = velt::rimqtest::IdText(r.md.abCorrelId);
    const std::size_t have = r.body.size() - kHeaderBytes;
    const std::size_t length = std::min<std::size_t>(have, static_cast<std::size_t>(std::max(p.header.length, 0)));
    p.text = r.body.substr(kHeaderBytes, length);
    p.checksumOk = velt::wire::Checksum(r.body.data(), r.body.data() + kHeaderBytes, length) == p.header.checksum;
    const int flags = p.header.flags;
    answer.packets.push_back(std::move(p));
    if ((flags & (stopAtWindow ? 3 : 1)) != 0) return answer;
  }
}

WireAnswer WireTestClient::Call(const WireCall& call, int waitSeconds) {
  const std::string id = Send(call);
  if (id.empty()) {
    WireAnswer failed;
    failed.reason = -2;
    return failed;
  }
  return Receive(id, waitSeconds);
}

}  // namespace veltemu::testing
