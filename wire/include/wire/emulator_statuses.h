// The answer statuses velt-emulator sets itself, with their texts: the emulator answers them and
// the client's VELTCLI_CodeText names them. VELT_EMULATOR_STATUSES(X) lists each once as
// X(name, number, text); numbers are stable and never reused.
#pragma once

#define VELT_EMULATOR_STATUSES(X)                                                                   \
  X(kStatusUnknownService, 7001, "unknown service")                                                 \
  X(kStatusBadChecksum, 7002, "request packet checksum mismatch")                                   \
  X(kStatusBadLength, 7003, "request packet length field exceeds the packet")                       \
  X(kStatusBadSequence, 7004, "request packets out of sequence")                                    \
  X(kStatusRequestTooLarge, 7005, "request too large")                                              \
  X(kStatusMalformedPacket, 7006, "queue message shorter than a packet header")                     \
  X(kStatusUnknownTransaction, 7007, "unknown transaction")                                         \
  X(kStatusBadCall, 7008, "call type and transaction mode do not fit")                              \
  X(kStatusTooManyTransactions, 7009, "too many open transactions")                                 \
  X(kStatusTooManySessions, 7010, "too many sessions")                                              \
  X(kStatusBadArgument, 7011, "bad argument")                                                       \
  X(kStatusAnswerTooLarge, 7012, "answer too large")                                                \
  X(kStatusProgramFailed, 7013, "program failed")                                                   \
  X(kStatusStoreFull, 7014, "key-value store full")                                                 \
  X(kStatusStopping, 7015, "emulator stopping")
