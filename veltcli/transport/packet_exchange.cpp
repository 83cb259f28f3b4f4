// One exchange of packets: the request cut into packets with their headers and message id, the
// answer packets got, matched, checked and joined into the receive buffer.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

#include "support/alloc_hook.h"
#include "support/ascii_text.h"
#include "support/decimal.h"
#include "wire/call_types.h"
#include "platform/base64.h"
#include "rimqapi.h"
#include "wire/packet_header.h"
#include "wire/queue_records.h"
#include "transport/queue_transport.h"
#include "transport/trace_log.h"
#include "veltplugin.h"

namespace wire = velt::wire;

namespace {

// The widest length the 5-digit length field of a packet header shows.
constexpr int kMaxPluginRequestText = 99999;

bool RebuildsConnection(int reason) {
  return reason == velt::kExchangeForeignMessage || reason == RIMQRC_CONNECTION_LOST ||
         reason == RIMQRC_QMGR_NOT_REACHABLE;
}

void PutDecimal(char (&field)[27], int value) { std::snprintf(field, sizeof field, "%d", value); }

void SetMessageId(char (&field)[27], const char (&id)[24]) {
  std::memcpy(field, id, 24);
  field[24] = '\0';
}

const char* AnswerQueueOf(const unsigned char* slot) {
  return slot != nullptr ? reinterpret_cast<const tagVELTConnectOptionEx*>(slot)->szReceiveQName : "";
}

}  // namespace

int CQueueTransport::Exchange(tagCallBlock& block) {
  velt::CopyBounded(block.szPassword, sizeof block.szPassword, encryptedPassword_);
  block.pAnswer = nullptr;
  block.nAnswerLen = 0;
  if (!receive_.Reset()) return velt::kExchangeBufferFull;
  if (reconnectPending_ != 0) {
    // Going on without a connection could only fail with "bad handle"; the reconnect's own
    // reason (queue manager not reachable, ...) tells the caller what is wrong.
    const int rc = Reconnect();
    if (rc != 0 && !ConnectionComplete()) return rc;
  }

  int rc;
  switch (block.nCallMode) {
    case velt::kCallSendAndReceive:
      if ((rc = SendRequest(block, false)) != 0) return rc;
      expectedSequence_ = 0;
      if ((rc = ReceiveAnswer(block, block.nCallMode)) != 0) return rc;
      PutDecimal(block.szCorrId, expectedSequence_);
      return block.nStatus;
    case velt::kCallSendOnly:
      if ((rc = SendRequest(block, true)) != 0) return rc;
      expectedSequence_ = 0;
      block.nStatus = 0;
      block.nFlags = 0;
      PutDecimal(block.szCorrId, 0);
      return 0;
    case velt::kCallReceiveOnly:
      expectedSequence_ = velt::DecimalToInt(block.szCorrId);
      if ((rc = ReceiveAnswer(block, block.nCallMode)) != 0) return rc;
      PutDecimal(block.szCorrId, expectedSequence_);
      return block.nStatus;
    default:
      return velt::kExchangeUnknownMode;
  }
}

int CQueueTransport::SendRequest(tagCallBlock& block, bool async) {
  const int length = block.pRequest != nullptr && block.nRequestLen > 0 ? block.nRequestLen : 0;
  const std::size_t bytes = static_cast<std::size_t>(length) + wire::kHeaderBytes + 1;
  std::unique_ptr<char, decltype(&velt::Release)> packet(static_cast<char*>(velt::Allocate(bytes)), &velt::Release);
  if (!packet) return velt::kExchangeNoMemory;
  std::memset(packet.get(), 0, bytes);
  wire::PacketHeader h;
  h.version = block.nVersion;
  h.callType = block.nCallType;
  h.transactionMode = block.nTransMode + (async ? wire::kModeAsync : 0);
  h.sessionNumber = block.nSessionNumber;
  h.flags = wire::kFlagLast | wire::kFlagWindowEnd;
  h.serverNumber = block.nServerNumber;
  wire::SetField(h.clientId, ids.clientId);
  wire::SetField(h.user, block.szUser);
  wire::SetField(h.password, block.szPassword);
  wire::SetField(h.transactionId, block.szTransId);
  wire::SetField(h.program, block.szProgram);
  h.length = length;
  wire::SetField(h.servicePrefix, block.szServicePrefix);
  wire::EncodeHeader(h, packet.get());
  if (length > 0) std::memcpy(packet.get() + wire::kHeaderBytes, block.pRequest, static_cast<std::size_t>(length));
  return SendPacket(packet.get(), length + static_cast<int>(wire::kHeaderBytes), block, async);
}

int CQueueTransport::SendPacket(char* packet, int total, tagCallBlock& block, bool async) {
  if (servers.Mode() == velt::TransportMode::kPlugin) {
    // One packet: a text its length field cannot state would reach the platform cut short.
    if (total - static_cast<int>(wire::kHeaderBytes) > kMaxPluginRequestText) return VELTPLUGIN_ERR_SEND_TOO_LONG;
    // The plug-in carries the request as one packet; it gets a checksum like every packet does.
    wire::SealPacket(packet, static_cast<std::size_t>(total) - wire::kHeaderBytes);
    return plugin_.Send(packet, total);
  }
  // The request is sent as text: it ends at its first zero byte.
  const int n = static_cast<int>(strnlen(packet, static_cast<std::size_t>(total)));
  velt::WriteTrace(options.trace != 0, this, velt::kTraceSend, packet, static_cast<std::size_t>(n));

  const wire::PacketHeader request = wire::DecodeHeader(packet);
  char out[wire::kMaxPacketBytes + 1];
  int offset = static_cast<int>(wire::kHeaderBytes);
  int index = 0;
  do {
    if (index == 0 && options.libraryIds == 0 && counter_ && !NewMessageId(block.szMsgId)) block.szMsgId[0] = '\0';
    wire::PacketHeader h = request;
    h.sequence = index;
    h.flags = (index + 1) % wire::kWindowPackets == 0 ? wire::kFlagWindowEnd : 0;
    int chunk = n - offset;
    if (chunk > static_cast<int>(wire::kMaxPacketText)) {
      chunk = static_cast<int>(wire::kMaxPacketText);
    } else {
      h.flags += wire::kFlagLast;
    }
    h.length = chunk;
    wire::EncodeHeader(h, out);
    std::memcpy(out + wire::kHeaderBytes, packet + offset, static_cast<std::size_t>(chunk));
    wire::SealPacket(out, static_cast<std::size_t>(chunk));
    const int rc = PutPacket(index, out, chunk, (h.flags & wire::kFlagLast) != 0, block, async);
    if (rc != 0) return rc;
    offset += chunk;
    ++index;
  } while (offset < n);
  return 0;
}

int CQueueTransport::PutPacket(int index, char* packet, int chunk, bool last, tagCallBlock& block, bool async) {
  char correlation[16];
  std::snprintf(correlation, sizeof correlation, "%d", index);
  velt::wire::RequestDescriptorFields f;
  f.messageId = block.szMsgId;
  f.correlation = correlation;
  f.replyToQueue = AnswerQueueOf(servers.Current());
  f.option3 = options.descriptor272;
  f.option4 = options.descriptor271;
  f.timeoutSeconds = block.nTimeout;
  f.replyTag = UsesReplyTag(async) ? replyTag : nullptr;
  const int bytes = static_cast<int>(wire::kHeaderBytes) + chunk;
  f.packetLength = bytes;
  RIMQMD md = velt::wire::RequestDescriptor(f);
  // Only the first packet may let the queue library choose the id; the others carry it.
  const RIMQPMO pmo = velt::wire::PutOptions(index == 0 && block.szMsgId[0] == '\0', block.nTimeout);
  int cc = 0;
  int reason = 0;
  if (options.libraryIds != 0 || !counter_) {
    RIMQ_Put(connection1_, requestQueue_, &md, &pmo, bytes, packet, &cc, &reason);
  } else if (last && !async) {
    const RIMQPGO pgo = velt::wire::PutGetOptions(requestQueue_, answerQueue_, block.nTimeout);
    RIMQMD reply = md;
    char replyArea[8];
    int replyLength = 0;
    RIMQ_PutEx(connection1_, &pgo, &md, bytes, packet, &reply, 0, replyArea, &replyLength, &cc, &reason);
  } else {
    RIMQ_Put2(connection1_, requestQueue_, &md, &pmo, bytes, packet, &cc, &reason);
  }
  if (cc == RIMQCC_FAILED) {
    if (RebuildsConnection(reason)) Reconnect();
    return reason != 0 ? reason : velt::kExchangeNoReason;
  }
  SetMessageId(block.szMsgId, md.abMsgId);
  return 0;
}

// Up to two releases of the machine-wide counter; one that fails is replaced by a counter under
// the next name. False lets the queue library assign the id.
bool CQueueTransport::NewMessageId(char (&id)[27]) {
  for (int attempt = 0; attempt < 2 && counter_; ++attempt) {
    std::int32_t previous = 0;
    if (counter_->Release(previous)) {
      unsigned char raw[12];
      const auto put = [&raw](int at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) raw[at + i] = static_cast<unsigned char>(v >> (8 * i));
      };
      put(0, static_cast<std::uint32_t>(std::time(nullptr)));
      put(4, static_cast<std::uint32_t>(previous));
      put(8, static_cast<std::uint32_t>(std::rand()));
      char encoded[17] = {};
      velt::platform::Base64Encode(raw, sizeof raw, encoded);
      std::snprintf(id, sizeof id, "%8.8s%16.16s", ids.shortClientId, encoded);
      return true;
    }
    counter_ = OpenMessageIdCounter(nextCounterSuffix_++);
  }
  return false;
}

bool CQueueTransport::UsesReplyTag(bool async) const noexcept {
  const int bit = async ? 1 : 2;
  return (options.replyTagUse & bit) != 0 && replyTag[0] != '\0';
}
