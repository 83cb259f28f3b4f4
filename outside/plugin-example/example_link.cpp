// The queue side of the example plug-in: one message per request, answer packets matched by the
// request's message id and the correlation ids 0, 1, 2, ..., joined per answer part.
#include "example_link.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "rimqapi.h"
#include "wire/packet_header.h"
#include "wire/queue_records.h"
#include "veltplugin_example.h"

namespace velt::plugin_example {
namespace {

constexpr std::size_t kMaxJoinedText = 99999;   // the widest value of the header's length field

int Failure(int reason) { return reason != 0 ? reason : VELTPLUGIN_EXAMPLE_ERR_QUEUE; }

RIMQMD Descriptor(char messageType) {
  RIMQMD md = wire::QueueRecord<RIMQMD>(RIMQ_MD_STRUC_ID);
  md.cMsgType = messageType;
  md.nFormat = 5;
  return md;
}

void SetCorrelation(RIMQMD& md, int number) {
  char text[16];
  const int n = std::snprintf(text, sizeof text, "%d", number);
  std::memset(md.abCorrelId, 0, sizeof md.abCorrelId);
  std::memcpy(md.abCorrelId, text, static_cast<std::size_t>(n));
}

int OpenQueue(int connection, const std::string& name, int& queue) {
  const RIMQOD od = wire::QueueDescriptor(name.c_str());   // at most 32 characters, checked by the parser
  int cc = 0;
  int reason = 0;
  RIMQ_Open(connection, &od, wire::kOpenOptions, &queue, &cc, &reason);
  return cc == RIMQCC_FAILED ? Failure(reason) : 0;
}

}  // namespace

int ExampleLink::Connect(const ConnectSettings& settings) {
  Disconnect();
  int cc = 0;
  int reason = 0;
  RIMQ_Connect(settings.protocol, settings.address.c_str(), settings.port, settings.user.c_str(),
               settings.password.c_str(), "", "", &connection_, &cc, &reason);
  if (cc == RIMQCC_FAILED) {
    connection_ = -1;
    return Failure(reason);
  }
  int result = OpenQueue(connection_, settings.requestQueue, requestQueue_);
  if (result == 0) result = OpenQueue(connection_, settings.answerQueue, answerQueue_);
  if (result != 0) {
    Disconnect();
    return result;
  }
  std::memset(answerName_, 0, sizeof answerName_);
  std::memcpy(answerName_, settings.answerQueue.data(), settings.answerQueue.size());
  sent_ = false;
  return 0;
}

int ExampleLink::Disconnect() noexcept {
  if (connection_ < 0) return 0;
  int cc = 0;
  int reason = 0;
  RIMQ_Disconn(&connection_, 0, &cc, &reason);
  connection_ = requestQueue_ = answerQueue_ = -1;
  sent_ = false;
  return cc == RIMQCC_FAILED ? Failure(reason) : 0;
}

int ExampleLink::Send(const char* data, int length) {
  if (connection_ < 0) return VELTPLUGIN_EXAMPLE_ERR_NOT_CONNECTED;
  if (data == nullptr || length < static_cast<int>(wire::kHeaderBytes)) return VELTPLUGIN_EXAMPLE_ERR_BAD_ARGUMENT;
  // A text longer than the header's length field can show would reach the platform cut short.
  if (wire::DecodeHeader(data).length != length - static_cast<int>(wire::kHeaderBytes))
    return VELTPLUGIN_EXAMPLE_ERR_BAD_ARGUMENT;
  RIMQMD md = Descriptor(1);
  md.nExpiry = timeoutSeconds_ * 1000;
  SetCorrelation(md, 0);
  std::memcpy(md.szReplyToQ, answerName_, sizeof md.szReplyToQ);
  md.nMsgLength = length;
  const RIMQPMO pmo = wire::PutOptions(true, timeoutSeconds_);
  int cc = 0;
  int reason = 0;
  RIMQ_Put(connection_, requestQueue_, &md, &pmo, length, data, &cc, &reason);
  if (cc == RIMQCC_FAILED) return Failure(reason);
  std::memcpy(messageId_, md.abMsgId, sizeof messageId_);
  sent_ = true;
  nextCorrelation_ = 0;
  return 0;
}

int ExampleLink::GetPacket(int& received) {
  RIMQMD md = Descriptor(2);
  std::memcpy(md.abMsgId, messageId_, sizeof md.abMsgId);
  SetCorrelation(md, nextCorrelation_);
  const RIMQGMO gmo = wire::GetOptions(timeoutSeconds_, RIMQMO_MATCH_MSG_AND_CORREL_ID);
  int cc = 0;
  int reason = 0;
  RIMQ_Get(connection_, answerQueue_, &md, &gmo, wire::kGetBufferBytes, packet_.data(), &received, &cc, &reason);
  return cc == RIMQCC_FAILED ? Failure(reason) : 0;
}

int ExampleLink::Receive(char** buffer, int* length) {
  if (connection_ < 0) return VELTPLUGIN_EXAMPLE_ERR_NOT_CONNECTED;
  if (!sent_) return VELTPLUGIN_EXAMPLE_ERR_NOTHING_SENT;
  packet_.resize(wire::kGetBufferBytes);
  std::vector<char> text;
  char header[wire::kHeaderBytes];
  for (;;) {
    int received = 0;
    if (const int result = GetPacket(received); result != 0) return result;
    ++nextCorrelation_;
    if (received < static_cast<int>(wire::kHeaderBytes)) return VELTPLUGIN_EXAMPLE_ERR_BAD_PACKET;
    const wire::PacketHeader h = wire::DecodeHeader(packet_.data());
    if (h.length < 0 || h.length > received - static_cast<int>(wire::kHeaderBytes))
      return VELTPLUGIN_EXAMPLE_ERR_BAD_PACKET;
    if (text.size() + static_cast<std::size_t>(h.length) > kMaxJoinedText)
      return VELTPLUGIN_EXAMPLE_ERR_ANSWER_TOO_LARGE;
    const char* body = packet_.data() + wire::kHeaderBytes;
    text.insert(text.end(), body, body + h.length);
    std::memcpy(header, packet_.data(), sizeof header);
    if ((h.flags & (wire::kFlagLast | wire::kFlagWindowEnd)) != 0) break;
  }
  return Answer(header, text, buffer, length);
}

int ExampleLink::Answer(const char* lastHeader, const std::vector<char>& text, char** buffer,
                        int* length) const {
  wire::PacketHeader h = wire::DecodeHeader(lastHeader);
  h.length = static_cast<int>(text.size());
  const std::size_t total = wire::kHeaderBytes + text.size();
  char* answer = static_cast<char*>(std::malloc(total));
  if (answer == nullptr) return VELTPLUGIN_EXAMPLE_ERR_NO_MEMORY;
  wire::EncodeHeader(h, answer);
  if (!text.empty()) std::memcpy(answer + wire::kHeaderBytes, text.data(), text.size());
  wire::SealPacket(answer, text.size());
  *buffer = answer;
  *length = static_cast<int>(total);
  return 0;
}

}  // namespace velt::plugin_example
