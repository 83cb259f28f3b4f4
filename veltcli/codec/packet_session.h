// PacketSession: the part of a client session the codec works on — the packet buffer with the
// request or answer text, the table and cursor state, where the next row search begins, and the
// source of further answer parts. The session (core/) derives from it, so the codec never needs
// the session class itself.
//
// Not thread-safe: used by one thread at a time, like the session.
#pragma once

#include <cstddef>

#include "codec/rs_state.h"
#include "support/packet_buffer.h"

namespace velt {

class PacketSession;

// Where the result-set cursor gets the next part of an answer that arrived only in part ("continue
// reading"): the service-call code implements it. On 0 the part has replaced the packet text
// (through StoreAnswerText) and answerFlags bit 0 tells whether it was the last part; any other
// result is the failure of the exchange.
class IAnswerSource {
 public:
  virtual ~IAnswerSource() = default;
  virtual int ContinueReading(PacketSession& session) = 0;
};

// Bit 0 of the answer flags: the answer in hand is complete (no further part to read).
inline constexpr int kAnswerComplete = 1;

class PacketSession {
 public:
  static constexpr int kTextField = 33;      // char[33] fields hold 32 characters

  PacketSession() = default;
  virtual ~PacketSession() = default;
  PacketSession(const PacketSession&) = delete;
  PacketSession& operator=(const PacketSession&) = delete;

  // The next answer part through answerSource: 1 when the answer is already complete; 2 when
  // there is nothing to continue (no source, as on a fresh session); else the source's result.
  int ContinueReading();
  // Replaces the packet text with an answer (part): 0, or 1 when the buffer cannot hold it (the
  // text is then unchanged). Everything that puts text into the packet buffer other than the
  // request writer goes through here, so the codec's remembered text length stays true.
  int StoreAnswerText(const char* text, std::size_t length);

  bool AnswerComplete() const { return (answerFlags & kAnswerComplete) != 0; }

  char clientVersion[10] = "2.4";             // request value "_CA"
  int answerScanPosition = 0;                 // where the next row search begins (nRowSearchPos)
  int commTime = 0;                           // option 11, milliseconds
  int answerFlags = 0;                        // kAnswerComplete and the answer's other flags
  char servicePrefix[kTextField] = {};        // system parameter 7
  PacketBuffer packet;
  RsState rs;                                 // table writer and result-set cursor
  IAnswerSource* answerSource = nullptr;      // not owned; null: nothing to continue
  unsigned packetRevision = 0;                // counts texts stored by StoreAnswerText
};

// Option id 10, process-wide: nonzero = request values with empty text are written.
int EmptyValuesOption() noexcept;
void SetEmptyValuesOption(int value) noexcept;

}  // namespace velt
