// Receiving an answer: packets got by message id and correlation, checked, and joined into the
// receive buffer behind room for one header; or one whole answer from a plug-in.
#include <cstdio>
#include <cstring>

#include "rimqapi.h"
#include "wire/packet_header.h"
#include "wire/queue_records.h"
#include "transport/queue_transport.h"
#include "transport/trace_log.h"

namespace wire = velt::wire;

namespace {


bool RebuildsConnection(int reason) {
  return reason == velt::kExchangeForeignMessage || reason == RIMQRC_CONNECTION_LOST ||
         reason == RIMQRC_QMGR_NOT_REACHABLE;
}

}  // namespace

int CQueueTransport::ReceiveAnswer(tagCallBlock& block, int mode) {
  if (servers.Mode() == velt::TransportMode::kPlugin) return ReceivePlugin(block);
  if (!packetArea_) {
    packetArea_.reset(new (std::nothrow) char[velt::wire::kGetBufferBytes]);
    if (!packetArea_) return velt::kExchangeBufferFull;
  }
  const int endMask = options.windowEnds != 0 ? (wire::kFlagLast | wire::kFlagWindowEnd) : wire::kFlagLast;
  std::size_t joined = wire::kHeaderBytes;
  wire::PacketHeader last;
  for (;;) {
    int got = 0;
    int rc = GetPacket(block, mode, got);
    if (rc != 0) return rc;
    const wire::PacketHeader h = wire::DecodeHeader(packetArea_.get());
    if ((rc = CheckPacket(h, got)) != 0) return rc;
    ++expectedSequence_;
    const auto length = static_cast<std::size_t>(h.length);
    if (!receive_.Reserve(joined + length + 1)) return velt::kExchangeBufferFull;
    std::memcpy(receive_.Data() + joined, packetArea_.get() + wire::kHeaderBytes, length);
    joined += length;
    last = h;
    if ((h.flags & endMask) != 0) break;
  }
  receive_.Data()[joined] = '\0';
  last.length = static_cast<int>(joined);
  wire::EncodeHeader(last, receive_.Data());
  velt::WriteTrace(options.trace != 0, this, velt::kTraceReceive, receive_.Data(), joined);
  DecodeAnswer(block, static_cast<int>(joined));
  return 0;
}

// One get with the matching the message id buffer asks for; the packet lands in packetArea_.
int CQueueTransport::GetPacket(tagCallBlock& block, int mode, int& got) {
  RIMQMD md = velt::wire::GetDescriptor();
  velt::wire::SetId24(md.abMsgId, block.szMsgId);
  int match;
  if (block.szMsgId[0] == '\0') {
    match = RIMQMO_NONE;
  } else if (std::strcmp(block.szMsgId, "0") == 0) {
    expectedSequence_ = 0;
    match = RIMQMO_MATCH_CORREL_ID;
    velt::wire::SetId24(md.abCorrelId, block.szMsgId);
    const bool tagged = (mode == velt::kCallSendOnly && (options.replyTagUse & 1) != 0) ||
                        (mode == velt::kCallSendAndReceive && (options.replyTagUse & 2) != 0) ||
                        mode == velt::kCallReceiveOnly;
    if (replyTag[0] != '\0' && tagged) {
      match += RIMQMO_MATCH_REPLY_TAG;
      velt::wire::SetId24(md.abReplyTag, replyTag);
    }
  } else {
    match = RIMQMO_MATCH_MSG_AND_CORREL_ID;
    char correlation[16];
    std::snprintf(correlation, sizeof correlation, "%d", expectedSequence_);
    velt::wire::SetId24(md.abCorrelId, correlation);
  }
  const RIMQGMO gmo = velt::wire::GetOptions(block.nTimeout, match);
  int cc = 0;
  int reason = 0;
  if (expectedSequence_ == 0 && options.libraryIds == 0 && mode == velt::kCallSendAndReceive && counter_) {
    RIMQ_Get2(connection2_, &md, &gmo, velt::wire::kGetBufferBytes, packetArea_.get(), &got, &cc, &reason);
  } else {
    RIMQ_Get(connection2_, answerQueue_, &md, &gmo, velt::wire::kGetBufferBytes, packetArea_.get(), &got, &cc, &reason);
  }
  if (cc == RIMQCC_FAILED) {
    if (RebuildsConnection(reason)) Reconnect();
    return reason != 0 ? reason : velt::kExchangeNoReason;
  }
  if (std::strlen(block.szMsgId) >= 2) {
    char expected[24];
    velt::wire::SetId24(expected, block.szMsgId);
    if (std::memcmp(expected, md.abMsgId, sizeof expected) != 0) {
      Reconnect();
      return velt::kExchangeForeignMessage;
    }
  }
  std::memcpy(block.szMsgId, md.abMsgId, 24);
  block.szMsgId[24] = '\0';
  return 0;
}

// A packet too short for its header, or whose length field claims more text than it carries,
// is refused before anything is read from it.
int CQueueTransport::CheckPacket(const wire::PacketHeader& h, int got) const {
  if (got < static_cast<int>(wire::kHeaderBytes) || h.length < 0 ||
      h.length > got - static_cast<int>(wire::kHeaderBytes))
    return velt::kExchangeShortPacket;
  const char* packet = packetArea_.get();
  if (options.checksum != 0 &&
      wire::Checksum(packet, packet + wire::kHeaderBytes, static_cast<std::size_t>(h.length)) != h.checksum)
    return velt::kExchangeBadChecksum;
  if (options.sequence != 0 && h.sequence != expectedSequence_) return velt::kExchangeBadSequence;
  return 0;
}

int CQueueTransport::ReceivePlugin(tagCallBlock& block) {
  int length = 0;
  const int rc = plugin_.Receive(receive_, length);
  if (rc != 0) return rc;
  if (length < static_cast<int>(wire::kHeaderBytes)) return velt::kExchangeShortPacket;
  DecodeAnswer(block, length);
  return 0;
}

void CQueueTransport::DecodeAnswer(tagCallBlock& block, int joined) {
  char* data = receive_.Data();
  const wire::PacketHeader h = wire::DecodeHeader(data);
  block.nServerNumber = h.serverNumber;
  wire::SetField(block.szTransId, h.transactionId);
  block.nSessionNumber = h.sessionNumber;
  block.nStatus = h.status;
  block.nFlags = h.flags;
  wire::SetField(block.szServicePrefix, h.servicePrefix);
  const std::size_t text = static_cast<std::size_t>(joined) - wire::kHeaderBytes;
  std::memmove(data, data + wire::kHeaderBytes, text);
  data[text] = '\0';
  block.pAnswer = data;
  block.nAnswerLen = static_cast<int>(text);
}

void CQueueTransport::InterruptReceive() noexcept {
  const int connection = interruptTarget_.load();
  if (connection != kNoHandle) RIMQ_Interrupt(connection);
}

// A get that waits for nothing and matches an id no message carries: it takes a kept interrupt
// (2549) or finds nothing (2033); either way no message is consumed.
void CQueueTransport::ClearInterrupt() noexcept {
  if (connection2_ == kNoHandle || answerQueue_ == kNoHandle) return;
  RIMQMD md = velt::wire::GetDescriptor();
  velt::wire::SetId24(md.abMsgId, "velt-no-such-message-id!");
  velt::wire::SetId24(md.abCorrelId, "velt-no-such-correlation");
  const RIMQGMO gmo = velt::wire::GetOptions(0, RIMQMO_MATCH_MSG_AND_CORREL_ID);
  char area[16];
  int got = 0;
  int cc = 0;
  int reason = 0;
  RIMQ_Get(connection2_, answerQueue_, &md, &gmo, sizeof area, area, &got, &cc, &reason);
}
