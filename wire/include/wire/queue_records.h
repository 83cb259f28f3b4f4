// The records the client and the emulator hand to rimqapi for opening queues, putting packets and
// getting them, filled as the wire contract lays them out.
#pragma once

#include "rimqapi.h"

namespace velt::wire {

// A record zero-filled with its structure id and version set, as the queue library wants it.
template <typename T>
T QueueRecord(const char* strucId) noexcept {
  T r;
  RIMQ_INIT_RECORD(r, strucId);
  return r;
}

// Open options of every queue open, get options of every get.
inline constexpr int kOpenOptions = RIMQOO_CLIENT;
inline constexpr int kGetOptions = RIMQGMO_CLIENT;
// Every get and put-and-get accepts at most this many bytes.
inline constexpr int kGetBufferBytes = 32672;

RIMQOD QueueDescriptor(const char* queueName) noexcept;

// Descriptor of a request packet: message id (24 bytes, may be empty), correlation id text,
// reply-to queue (at most 32 characters), the two option bytes, expiry = timeout * 1000, the reply
// tag when not null, and the packet length.
struct RequestDescriptorFields {
  const char* messageId = nullptr;
  const char* correlation = nullptr;
  const char* replyToQueue = nullptr;
  int option3 = 0;
  int option4 = 0;
  int timeoutSeconds = 0;
  const char* replyTag = nullptr;
  int packetLength = 0;
};
RIMQMD RequestDescriptor(const RequestDescriptorFields& f) noexcept;
// Descriptor of a get: message type 2, expiry 20000, ids and reply tag filled by the caller.
RIMQMD GetDescriptor() noexcept;

RIMQPMO PutOptions(bool libraryAssignsId, int timeoutSeconds) noexcept;
RIMQGMO GetOptions(int waitSeconds, int matchMode) noexcept;
RIMQPGO PutGetOptions(int requestQueue, int answerQueue, int timeoutSeconds) noexcept;

// Copies at most 24 bytes of `text` into a 24-byte id field, zero-padding the rest.
void SetId24(char (&field)[24], const char* text) noexcept;

}  // namespace velt::wire
