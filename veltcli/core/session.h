// CLUNQCliBase, the client session behind each handle: options and system parameters, the
// credentials and numbers the server hands out, transaction and answer state, the packet buffer
// and the transport settings.
//
// Not thread-safe: a session is used by one thread at a time (its handle's caller). Options 10
// and 20 are process-wide and live in the frame state. Creation and destruction take the frame
// lock to enter and leave the session registry.
#pragma once

#include <atomic>
#include <mutex>

#include "core/packet_buffer.h"
#include "core/transport_settings.h"

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

  std::mutex destructionLock;                 // held while the session frees its buffers
  std::atomic<int> publicationStarted{0};     // shared with the publication receiver
  char clientVersion[10] = "2.4";             // request value "_CA"
  int serverSession = 1;                      // option 14: connect signs on, disconnect signs off
  int answerScanPosition = 0;
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
  velt::TransportSettings transport;

 private:
  int SetIntOption(int id, int value);
  int SetRecordOption(int id, const void* value, int length);
  int GetIntOption(int id, int* value) const;
  int GetRecordOption(int id, void* out, int* length) const;
};
