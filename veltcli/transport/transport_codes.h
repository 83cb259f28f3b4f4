// Return codes of connecting, the packet exchange and the service calls built on it, besides the
// answer status, the queue library's reasons (rimqapi.h) and the plug-in codes (veltplugin.h).
// VELT_TRANSPORT_CODES(X) lists each code once as X(name, number, doc rows, meaning); the doc
// rows, separated by ", ", are the functions of docs/veltcli.md (or "Service calls", that
// section's table) that list it ("" for codes that stay inside the library), and a test holds
// both in step.
#pragma once

#define VELT_TRANSPORT_CODES(X)                                                                    \
  X(kCallNoServiceId, -999, "Service calls", "null service id; nothing sent")                      \
  X(kExchangeNoMemory, -1, "Service calls", "no memory for the request packet")                    \
  X(kCallAnswerNoMemory, 1, "Service calls", "the answer does not fit in memory")                  \
  X(kExchangeBufferFull, 100, "Service calls", "the receive buffer could not grow")                \
  X(kExchangeBadChecksum, 101, "Service calls", "an answer packet's checksum does not match")      \
  X(kExchangeBadSequence, 102, "Service calls", "an answer packet's sequence number is not the next") \
  X(kExchangeShortPacket, 103, "Service calls", "an answer packet claims more text than it carries") \
  X(kExchangeForeignMessage, 2054, "Service calls", "a packet of another message arrived (reconnects)") \
  X(kExchangeNoReason, 9999, "Service calls", "the queue library failed without a reason")         \
  X(kExchangeUnknownMode, -99, "", "call mode not send-and-receive, send-only or receive-only")    \
  X(kConnectNoEntry, -1, "VELTCLI_ConnectServer", "no server-list entry has that group or name")   \
  X(kConnectNoPick, -2, "VELTCLI_ConnectServer", "no entry could be picked")                       \
  X(kDisconnectPooled, 100, "VELTCLI_DisConnect", "pooling on; the connection is kept")            \
  X(kReplyOtherServer, 50, "VELTCLI_GetReply", "the record belongs to another server entry")       \
  X(kReplyComplete, 1, "VELTCLI_GetReply", "the answer was already read completely")               \
  X(kReplyNullRecord, -1, "VELTCLI_GetReply", "null record")

namespace velt {

#define VELT_CODE_ENUMERATOR(name, number, rows, meaning) name = (number),
enum TransportCode : int { VELT_TRANSPORT_CODES(VELT_CODE_ENUMERATOR) };
#undef VELT_CODE_ENUMERATOR

}  // namespace velt
