// CQueueTransport: the session's way to the platform. It keeps the server list and options (the
// settings it derives from), picks an entry of a group at random, connects to the queue manager
// and opens the request and answer queues (or loads a transport plug-in), reconnects after a
// lost connection, and runs one exchange of packets per call (packet_exchange.cpp).
//
// Not thread-safe: it belongs to one session, used by one thread at a time. The message-id counter
// it opens is machine-wide and needs no lock.
#pragma once

#include <atomic>
#include <memory>

#include "transport/transport_settings.h"
#include "platform/named_counter.h"
#include "transport/call_block.h"
#include "wire/packet_header.h"
#include "transport/plugin_transport.h"
#include "transport/receive_buffer.h"
#include "transport/transport_codes.h"

class CQueueTransport : public velt::TransportSettings {
 public:
  static constexpr int kNoHandle = -1;

  // Seeds rand, makes the client ids and reply tag (settings) and opens the message-id counter.
  CQueueTransport();
  ~CQueueTransport();
  CQueueTransport(const CQueueTransport&) = delete;
  CQueueTransport& operator=(const CQueueTransport&) = delete;

  // 0 connected; kConnectNoEntry (also after reading the configuration files), kConnectNoPick, a
  // queue reason code, kExchangeNoReason, or a plug-in code 1700-1706.
  int Connect(const char* server, const char* user, const char* password);
  // Always 0 in queue mode; 1712 when a plug-in's disconnect failed.
  int Disconnect();
  // One exchange (call modes 0, 1, 5): the answer status, or a failure code of the exchange
  // (transport_codes.h, the queue library's reason or a plug-in code).
  int Exchange(tagCallBlock& block);

  // Queue mode: all four handles valid; plug-in mode: a context present.
  bool ConnectionComplete() const noexcept;
  // Name of the current server entry (its first field in either layout).
  const char* CurrentEntryName() const noexcept;
  bool ReconnectPending() const noexcept { return reconnectPending_ != 0; }
  bool HasMessageIdCounter() const noexcept { return static_cast<bool>(counter_); }
  // From any thread: a receive blocked on the answer connection (or the next one) returns 2549.
  void InterruptReceive() noexcept;
  // Takes an interrupt no receive has taken, so it cannot end a later call; the owning thread only.
  void ClearInterrupt() noexcept;

 private:
  bool IsCandidate(int slot, const char* server, bool byGroup) const noexcept;
  int CountCandidates(const char* server, bool byGroup) const noexcept;
  int CandidateSlot(const char* server, bool byGroup, int nth) const noexcept;
  int ConnectSlot(int index);
  int ConnectQueueSlot(int index);
  int ConnectOne(const tagVELTConnectOptionEx& entry, int& handle);
  int OpenQueue(int connection, const char* name, int& queue);
  void DisconnectQueues();
  int Reconnect();

  // Packet exchange (packet_exchange.cpp).
  int SendRequest(tagCallBlock& block, bool async);
  int SendPacket(char* packet, int total, tagCallBlock& block, bool async);
  int PutPacket(int index, char* packet, int chunk, bool last, tagCallBlock& block, bool async);
  static std::unique_ptr<velt::platform::NamedCounter> OpenMessageIdCounter(int suffix);
  bool NewMessageId(char (&id)[27]);
  int ReceiveAnswer(tagCallBlock& block, int mode);
  int ReceivePlugin(tagCallBlock& block);
  int GetPacket(tagCallBlock& block, int mode, int& got);
  int CheckPacket(const velt::wire::PacketHeader& h, int got) const;
  void DecodeAnswer(tagCallBlock& block, int joined);
  bool UsesReplyTag(bool async) const noexcept;

  int reconnectPending_ = 0;
  velt::ReceiveBuffer receive_;
  int expectedSequence_ = 0;
  std::unique_ptr<velt::platform::NamedCounter> counter_;   // the message-id semaphore
  int nextCounterSuffix_ = 1;
  char connectedServer_[33] = {};
  char connectedUser_[33] = {};
  char connectedPassword_[33] = {};
  char encryptedPassword_[33] = {};
  int connection1_ = kNoHandle;
  int requestQueue_ = kNoHandle;
  int connection2_ = kNoHandle;
  int answerQueue_ = kNoHandle;
  std::atomic<int> interruptTarget_{kNoHandle};   // connection2_ as other threads may read it
  velt::PluginTransport plugin_;
  std::unique_ptr<char[]> packetArea_;   // one answer packet as got from the queue
};
