// Filling the rimqapi records.
#include "wire/queue_records.h"

#include <cstring>
#include <limits>

namespace velt::wire {
namespace {

template <std::size_t N>
void CopyPadded(char (&field)[N], const char* text) noexcept {
  std::memset(field, 0, N);
  if (text != nullptr) std::memcpy(field, text, strnlen(text, N));
}

// Seconds to milliseconds, clamped to what an int holds on both sides.
int ExpiryMilliseconds(int seconds) noexcept {
  constexpr int kLimit = std::numeric_limits<int>::max() / 1000;
  if (seconds > kLimit) return std::numeric_limits<int>::max();
  if (seconds < -kLimit) return std::numeric_limits<int>::min();
  return seconds * 1000;
}

}  // namespace

void SetId24(char (&field)[24], const char* text) noexcept { CopyPadded(field, text); }

RIMQOD QueueDescriptor(const char* queueName) noexcept {
  RIMQOD od = QueueRecord<RIMQOD>(RIMQ_OD_STRUC_ID);
  CopyPadded(od.szObjectName, queueName);
  od.nObjectType = 1;
  return od;
}

RIMQMD RequestDescriptor(const RequestDescriptorFields& f) noexcept {
  RIMQMD md = QueueRecord<RIMQMD>(RIMQ_MD_STRUC_ID);
  md.cMsgType = 1;
  md.nExpiry = ExpiryMilliseconds(f.timeoutSeconds);
  md.nFormat = 5;
  CopyPadded(md.abMsgId, f.messageId);
  CopyPadded(md.abCorrelId, f.correlation);
  CopyPadded(md.szReplyToQ, f.replyToQueue);
  md.cClientOption4 = static_cast<char>(f.option4 & 0xFF);
  md.cClientOption3 = static_cast<char>(f.option3 & 0xFF);
  if (f.replyTag != nullptr) CopyPadded(md.abReplyTag, f.replyTag);
  md.nMsgLength = f.packetLength;
  return md;
}

RIMQMD GetDescriptor() noexcept {
  RIMQMD md = QueueRecord<RIMQMD>(RIMQ_MD_STRUC_ID);
  md.cMsgType = 2;
  md.nExpiry = 20000;
  md.nFormat = 5;
  return md;
}

RIMQPMO PutOptions(bool libraryAssignsId, int timeoutSeconds) noexcept {
  RIMQPMO pmo = QueueRecord<RIMQPMO>(RIMQ_PMO_STRUC_ID);
  pmo.nOptions = libraryAssignsId ? RIMQPMO_NEW_MSG_ID : 0;
  pmo.nTimeout = timeoutSeconds;
  return pmo;
}

RIMQGMO GetOptions(int waitSeconds, int matchMode) noexcept {
  RIMQGMO gmo = QueueRecord<RIMQGMO>(RIMQ_GMO_STRUC_ID);
  gmo.nOptions = kGetOptions;
  gmo.nWaitInterval = waitSeconds;
  gmo.nMatchOptions = matchMode;
  return gmo;
}

RIMQPGO PutGetOptions(int requestQueue, int answerQueue, int timeoutSeconds) noexcept {
  RIMQPGO pgo = QueueRecord<RIMQPGO>(RIMQ_PGO_STRUC_ID);
  pgo.nOptions = RIMQPGO_CLIENT;
  pgo.hRequestQ = requestQueue;
  pgo.nGetOptions = kGetOptions;
  pgo.nReserved = 1;
  pgo.hReplyQ = answerQueue;
  pgo.nTimeout = timeoutSeconds;
  return pgo;
}

}  // namespace velt::wire
