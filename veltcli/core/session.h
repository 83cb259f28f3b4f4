// CLUNQCliBase, the client session behind each handle: options and system parameters, the
// credentials and numbers the server hands out, transaction state and the transport, over the
// codec's part of the session (packet buffer, cursor state, answer flags: codec/packet_session.h).
//
// Not thread-safe: a session is used by one thread at a time (its handle's caller). Option 10
// is process-wide and lives with the codec, option 20 in the frame state. Creation and
// destruction take the process lock to enter and leave the session registry.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>

#include "codec/packet_session.h"
#include "transport/queue_transport.h"

namespace velt {
// Per-session state of a family above the core (the information centre's receiver thread and
// pending list): owned by the session and destroyed first when the session goes.
class SessionAddOn {
 public:
  virtual ~SessionAddOn() = default;
};
}  // namespace velt

class CLUNQCliBase : public velt::PacketSession {
 public:
  // One publication the platform has not yet delivered (the pending list of the information centre).
  struct tagnorecvdata {
    long long n64PubNo;
    long long n64SubNo;
    int nSubMode;
    int nPubMode;
  };

  // Throws std::bad_alloc when the session cannot be registered; a packet buffer that cannot be
  // allocated leaves capacity 0 instead.
  CLUNQCliBase();
  ~CLUNQCliBase() override;
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
  int serverSession = 1;                      // option 14: connect signs on, disconnect signs off
  int transactionOpen = 0;
  char savedMessageId[27] = {};
  char savedCorrelation[27] = {};
  int serverNumber = 0;                       // system parameter 8
  char serverName[kTextField] = {};
  char user[kTextField] = {};
  char password[kTextField] = {};
  char transactionId[kTextField] = {};        // system parameter 3
  int timeout = 120;                          // option 1, seconds
  int sessionNumber = 0;                      // system parameter 2
  CQueueTransport transport;                  // connections, packet exchange, transport options
  std::unique_ptr<velt::SessionAddOn> infoCenter;   // receiver and pending list (infocenter/)

 private:
  int SetIntOption(int id, int value);
  int SetRecordOption(int id, const void* value, int length);
  int GetIntOption(int id, int* value) const;
  int GetRecordOption(int id, void* out, int* length) const;
};
