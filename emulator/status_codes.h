// The answer statuses the emulator itself sets: stable numbers, never reused, each with a text.
// Business programs choose their own statuses; these stay clear of the client's own codes.
#pragma once

namespace veltemu {

enum StatusCode : int {
  kStatusOk = 0,
  kStatusUnknownService = 7001,      // no program registered under the service id or program name
  kStatusBadChecksum = 7002,         // a request packet's checksum does not match its bytes
  kStatusBadLength = 7003,           // a length field larger than the bytes of its packet, or negative
  kStatusBadSequence = 7004,         // request packets out of order
  kStatusRequestTooLarge = 7005,     // the joined request passes the request limit
  kStatusMalformedPacket = 7006,     // a queue message shorter than a packet header
  kStatusUnknownTransaction = 7007,  // transaction id not open here (ended, expired or foreign)
  kStatusBadCall = 7008,             // call type and transaction mode do not fit together
  kStatusTooManyTransactions = 7009, // the table of open transactions is full
  kStatusTooManySessions = 7010,     // the table of signed-on sessions is full
  kStatusBadArgument = 7011,         // a built-in program's request value is missing or out of range
  kStatusAnswerTooLarge = 7012,      // the answer passes the answer limit
  kStatusProgramFailed = 7013,       // the business program threw
  kStatusStoreFull = 7014,           // the key-value store passes its byte limit
  kStatusStopping = 7015,            // the emulator stopped while the call ran
};

// The text of an emulator status ("unknown status" for any other number).
const char* StatusText(int status) noexcept;

}  // namespace veltemu
