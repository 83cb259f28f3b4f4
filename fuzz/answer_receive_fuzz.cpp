// Hostile answer packets from the queue: the input is cut into queue messages that a raw peer
// puts on the answer queue of the embedded queue manager, then one receive-only exchange of the
// client's transport gets, checks and joins them (and a continuation after it). Byte 0 selects
// the checks (bit 0 checksum, bit 1 sequence, bit 2 window ends) and the matching (bit 3: by
// correlation only, with any message id); each message is a 2-byte little-endian length and
// that many bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "rimqapi.h"
#include "transport/call_block.h"
#include "transport/queue_transport.h"
#include "wire/queue_records.h"

namespace {

constexpr const char* kAddress = "inproc:answer-fuzz";
constexpr const char* kMessageId = "FUZZANSWER00000000000001";

struct Peer {
  int connection = -1;
  int answerQueue = -1;
  Peer() {
    int cc = 0, reason = 0;
    RIMQ_Connect(1, kAddress, 0, "", "", "", "", &connection, &cc, &reason);
    const RIMQOD od = velt::wire::QueueDescriptor("FUZZ.ANS");
    RIMQ_Open(connection, &od, 0, &answerQueue, &cc, &reason);
  }
  void Put(const char* data, int length, int sequence) {
    RIMQMD md = velt::wire::GetDescriptor();
    velt::wire::SetId24(md.abMsgId, kMessageId);
    const std::string correlation = std::to_string(sequence);
    velt::wire::SetId24(md.abCorrelId, correlation.c_str());
    const RIMQPMO pmo = velt::wire::PutOptions(false, 10);
    int cc = 0, reason = 0;
    RIMQ_Put(connection, answerQueue, &md, &pmo, length, data, &cc, &reason);
  }
  // Takes whatever the exchange left, so every input starts on an empty queue.
  void Drain() {
    char buffer[velt::wire::kGetBufferBytes];
    for (;;) {
      RIMQMD md = velt::wire::GetDescriptor();
      const RIMQGMO gmo = velt::wire::GetOptions(0, RIMQMO_NONE);
      int got = 0, cc = 0, reason = 0;
      RIMQ_Get(connection, answerQueue, &md, &gmo, sizeof buffer, buffer, &got, &cc, &reason);
      if (cc == RIMQCC_FAILED) return;
    }
  }
};

CQueueTransport& Transport() {
  static CQueueTransport* t = [] {
    auto* transport = new CQueueTransport;
    tagVELTConnectOptionEx e{};
    std::strcpy(e.szServerName, "fuzz");
    std::strcpy(e.szAddress, kAddress);
    std::strcpy(e.szSendQName, "FUZZ.REQ");
    std::strcpy(e.szReceiveQName, "FUZZ.ANS");
    transport->servers.ReplaceAll(velt::RecordKind::kConnectEx, &e, 1);
    transport->Connect("fuzz", "", "");
    transport->replyTag[0] = '\0';
    transport->options.timeout = 0;      // a part that breaks off is not waited for
    transport->answerPartLimit = 1 << 20;   // the limit is reached by inputs of fuzzing size
    return transport;
  }();
  return *t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  static Peer peer;
  CQueueTransport& t = Transport();
  const std::uint8_t mode = data[0];
  t.options.checksum = mode & 1;
  t.options.sequence = (mode >> 1) & 1;
  t.options.windowEnds = (mode >> 2) & 1;
  std::size_t at = 1;
  int sequence = 0;
  while (at + 2 <= size && sequence < 64) {
    std::size_t length = data[at] | (static_cast<std::size_t>(data[at + 1]) << 8);
    at += 2;
    if (length > size - at) length = size - at;
    peer.Put(reinterpret_cast<const char*>(data + at), static_cast<int>(length), sequence++);
    at += length;
  }
  tagCallBlock b;
  b.nCallMode = velt::kCallReceiveOnly;
  b.nTimeout = 0;
  std::strcpy(b.szMsgId, (mode & 8) != 0 ? "0" : kMessageId);
  std::strcpy(b.szCorrId, "0");
  if (t.Exchange(b) == 0 && b.pAnswer != nullptr) {
    volatile char sink = 0;
    for (int i = 0; i < b.nAnswerLen; ++i) sink = static_cast<char>(sink ^ b.pAnswer[i]);
    if ((b.nFlags & 1) == 0) t.Exchange(b);   // the next part, from where this one ended
  }
  peer.Drain();
  if (!t.ConnectionComplete()) t.Connect("fuzz", "", "");   // a foreign id rebuilds it
  return 0;
}
