// CLUNQCliBase, the client session behind each handle: options and system parameters, the
// credentials and numbers the server hands out, transaction and answer state, the packet buffer
// and the transport settings.
//
// Not thread-safe: a session is used by one thread at a time (its handle's caller). Options 10
// and 20 are process-wide and live in the frame state. Creation and destruction take the frame
// lock to enter and leave the session registry.
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>

#include "codec/rs_state.h"
#include "core/packet_buffer.h"
#include "transport/queue_transport.h"

class CLUNQCliBase;

namespace velt {

// Where the result-set cursor gets the next part of an answer that arrived only in part ("continue
// reading"): the service-call code implements it. On 0 the part has replaced the packet text
// (through StoreAnswerText) and answerFlags bit 0 tells whether it was the last part; any other
// result is the failure of the exchange.
class IAnswerSource {
 public:
  virtual ~IAnswerSource() = default;
  virtual int ContinueReading(CLUNQCliBase& session) = 0;
};

}  // namespace velt

class CLUNQCliBase {
 public:
  static constexpr int kTextField = 33;      // char[33] fields hold 32 characters

  // Throws std::bad_alloc when the session cannot be registered; a packet buffer that cannot be
  // allocated leaves capacity 0 instead.
  CLUNQCliBase();
  virtual ~CLUNQCliBase();
  CLUNQCliBase(const CLUNQCliBase&) = delete;
  CLUNQCliBase& operator=(const CLUNQCliBase&) = delete;

  // Option ids and system parameters; results as documented in veltcli.h.
  int SetOptions(int id, const void* value, int length);
  int GetOptions(int id, void* out, int* length);
  int SetSystemParam(int id, const char* text);
  int GetSystemParam(int id, char* out, int length) const;
  int CommLen() const { return packet.Length(); }

  // Standard length of an option id (for VELTCLI_SetOption / VELTCLI_GetOption).
  static int StandardOptionLength(int id) noexcept;

  // The next answer part through answerSource: 1 when the answer is already complete; 2 when
  // there is nothing to continue (no source, as on a fresh session); else the source's result.
  int ContinueReading();
  // Replaces the packet text with an answer (part): 0, or 1 when the buffer cannot hold it (the
  // text is then unchanged). Everything that puts text into the packet buffer other than the
  // request writer goes through here, so the codec's remembered text length stays true.
  int StoreAnswerText(const char* text, std::size_t length);

  std::mutex destructionLock;                 // held while the session frees its buffers
  std::atomic<int> publicationStarted{0};     // shared with the publication receiver
  char clientVersion[10] = "2.4";             // request value "_CA"
  int serverSession = 1;                      // option 14: connect signs on, disconnect signs off
  int answerScanPosition = 0;                 // where the next row search begins (nRowSearchPos)
  int commTime = 0;                           // option 11, milliseconds
  int transactionOpen = 0;
  char savedMessageId[27] = {};
  char savedCorrelation[27] = {};
  int serverNumber = 0;                       // system parameter 8
  int answerFlags = 0;                        // bit 0: the answer is complete
  char serverName[kTextField] = {};
  char user[kTextField] = {};
  char password[kTextField] = {};
  char transactionId[kTextField] = {};        // system parameter 3
  int timeout = 120;                          // option 1, seconds
  velt::PacketBuffer packet;
  char servicePrefix[kTextField] = {};        // system parameter 7
  int sessionNumber = 0;                      // system parameter 2
  CQueueTransport transport;                  // connections, packet exchange, transport options
  velt::RsState rs;                           // table writer and result-set cursor (codec/)
  velt::IAnswerSource* answerSource = nullptr;   // not owned; null: nothing to continue
  unsigned packetRevision = 0;                // counts texts stored by StoreAnswerText

 private:
  int SetIntOption(int id, int value);
  int SetRecordOption(int id, const void* value, int length);
  int GetIntOption(int id, int* value) const;
  int GetRecordOption(int id, void* out, int* length) const;
};
