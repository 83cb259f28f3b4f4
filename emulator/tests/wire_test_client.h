// A raw client for the emulator's tests: builds request packets with the wire codec, cuts them as
// the bus client does, puts them on the request queue and reads the answer packets back by
// message id and correlation id. No piece of the bus client library is used.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rimq_test_client.h"
#include "wire/packet_header.h"

namespace veltemu::testing {

struct WireCall {
  int callType = 2;
  int transactionMode = 0;
  bool asynchronous = false;
  int session = 0;
  int serverNumber = 0;
  std::string transactionId;
  std::string program;
  std::string servicePrefix;
  std::string text;
};

struct AnswerPacket {
  velt::wire::PacketHeader header;
  std::string text;
  std::string correlation;
  bool checksumOk = false;
  std::size_t bytes = 0;   // the whole message
};

struct WireAnswer {
  int reason = 0;   // rimqapi reason of a failed get, else 0
  std::vector<AnswerPacket> packets;

  std::string Text() const;                  // every packet's text, back to back
  std::vector<std::string> Parts() const;    // the texts of the answer parts (cut after flag 2 or 1)
  const velt::wire::PacketHeader& last() const { return packets.back().header; }
  int status() const { return packets.empty() ? -1 : last().status; }
  // The decoded value `name` of the whole text, looked up as the bus client does; "?" when absent.
  std::string Value(std::string_view name) const;
};

// Request text of pairs in order, escaped ("_CA" and "_ENDIAN" first, as every request has).
std::string RequestText(const std::vector<std::pair<std::string, std::string>>& pairs);
// A sealed packet: header from `call` with this sequence, flags and text.
std::string MakePacket(const WireCall& call, int sequence, int flags, std::string_view text);
// A fresh 24-character message id.
std::string NewMessageId();

class WireTestClient {
 public:
  int Connect(const velt::rimqtest::Endpoint& endpoint, const std::string& requestQueue);
  // Cuts the request into packets of `packetText` bytes (flags as the bus client sets them) and
  // puts them; returns the message id, empty when a put failed.
  std::string Send(const WireCall& call, std::size_t packetText = velt::wire::kMaxPacketText);
  // Puts one crafted message as packet `correlation` of message `messageId`.
  int PutRaw(std::string_view packet, const std::string& messageId, int correlation);
  // Reads answer packets from `firstSequence` on until flag 1 (or, with stopAtWindow, flag 2).
  WireAnswer Receive(const std::string& messageId, int waitSeconds = 10, int firstSequence = 0,
                     bool stopAtWindow = false);
  WireAnswer Call(const WireCall& call, int waitSeconds = 10);

  const std::string& answerQueue() const { return answerQueue_; }

 private:
  velt::rimqtest::Client client_;
  int hRequest_ = -1;
  int hAnswer_ = -1;
  std::string answerQueue_;
};

}  // namespace veltemu::testing
