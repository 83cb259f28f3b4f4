// Connecting and disconnecting: candidate choice within a group, queue-mode and plug-in-mode
// connects, the automatic reconnect.
#include "transport/queue_transport.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "support/ascii_text.h"
#include "lunqcrypt.h"
#include "rimqapi.h"
#include "veltplugin.h"
#include "transport/config_reader.h"
#include "wire/queue_records.h"

namespace {

constexpr std::size_t kEntryBytes = sizeof(tagVELTConnectOptionEx);

bool SameText(const char* a, const char* b) { return velt::EqualNoCase(a, b, 33); }

int ReasonOr9999(int reason) { return reason != 0 ? reason : velt::kExchangeNoReason; }

}  // namespace

std::unique_ptr<velt::platform::NamedCounter> CQueueTransport::OpenMessageIdCounter(int suffix) {
  char name[64];
  std::snprintf(name, sizeof name, "LUNQCLI_MSGID_SEMAPHORE_%d", suffix);
  return velt::platform::NamedCounter::Open(name);
}

CQueueTransport::CQueueTransport() {
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  counter_ = OpenMessageIdCounter(0);
}

CQueueTransport::~CQueueTransport() { Disconnect(); }

bool CQueueTransport::ConnectionComplete() const noexcept {
  if (servers.Mode() == velt::TransportMode::kPlugin) return plugin_.Connected();
  return connection1_ != kNoHandle && requestQueue_ != kNoHandle && connection2_ != kNoHandle &&
         answerQueue_ != kNoHandle;
}

const char* CQueueTransport::CurrentEntryName() const noexcept {
  const unsigned char* slot = servers.Current();
  return slot != nullptr ? reinterpret_cast<const char*>(slot) : "";
}

// Queue mode reads the list as 559-byte entries and matches the group, else the name. Plug-in
// entries have no group; they are matched by name in their own 1374-byte layout, so every slot
// of a plug-in list can be found, not only the first.
bool CQueueTransport::IsCandidate(int slot, const char* server, bool byGroup) const noexcept {
  if (servers.Mode() == velt::TransportMode::kPlugin)
    return !byGroup && SameText(reinterpret_cast<const tagVELTPluginOption*>(servers.Slot(slot))->szServerName, server);
  const auto* e = reinterpret_cast<const tagVELTConnectOptionEx*>(servers.Storage() + slot * kEntryBytes);
  return SameText(byGroup ? e->szReserved : e->szServerName, server);
}

int CQueueTransport::CountCandidates(const char* server, bool byGroup) const noexcept {
  int count = 0;
  for (int i = 0; i < velt::ServerList::kSlots; ++i)
    if (IsCandidate(i, server, byGroup)) ++count;
  return count;
}

int CQueueTransport::CandidateSlot(const char* server, bool byGroup, int nth) const noexcept {
  for (int i = 0; i < velt::ServerList::kSlots; ++i)
    if (IsCandidate(i, server, byGroup) && nth-- == 0) return i;
  return -1;
}

int CQueueTransport::Connect(const char* server, const char* user, const char* password) {
  server = server != nullptr ? server : "";
  user = user != nullptr ? user : "";
  password = password != nullptr ? password : "";
  if (servers.CurrentValid() && SameText(server, connectedServer_) && SameText(user, connectedUser_) &&
      SameText(password, connectedPassword_) && ConnectionComplete())
    return 0;

  bool byGroup = true;
  int count = CountCandidates(server, true);
  if (count == 0) { byGroup = false; count = CountCandidates(server, false); }
  if (count == 0 && servers.Mode() == velt::TransportMode::kQueue) {
    tagVELTConnectOptionEx loaded[velt::config::kMaxServerEntries];
    if (velt::config::LoadServerList(server, loaded) > 0) {
      servers.Clear();
      for (int i = 0; i < velt::config::kMaxServerEntries; ++i)
        std::memcpy(servers.Storage() + i * kEntryBytes, &loaded[i], kEntryBytes);
    }
    byGroup = true;
    count = CountCandidates(server, true);
    if (count == 0) { byGroup = false; count = CountCandidates(server, false); }
  }
  if (count == 0) return velt::kConnectNoEntry;

  velt::CopyBounded(connectedUser_, sizeof connectedUser_, user);
  velt::CopyBounded(connectedPassword_, sizeof connectedPassword_, password);
  bool tried[velt::ServerList::kSlots] = {};
  int attempts = 0;
  int result = velt::kConnectNoEntry;
  while (attempts < count) {
    const int index = CandidateSlot(server, byGroup, std::rand() % count);
    if (index < 0) return velt::kConnectNoPick;
    servers.SetCurrentIndex(index);
    if (tried[index]) continue;
    tried[index] = true;
    ++attempts;
    result = ConnectSlot(index);
    if (result == 0) {
      velt::CopyBounded(connectedServer_, sizeof connectedServer_, server);
      break;
    }
  }
  if (reconnectPending_ != 0 && result == 0) reconnectPending_ = 0;
  return result;
}

int CQueueTransport::ConnectSlot(int index) {
  // The header carries the transform, never the clear password.
  char encrypted[LUNQCRYPT_TEXT_LEN + 1] = {};
  EncryptPassword(connectedUser_, connectedPassword_, encrypted, sizeof encrypted);
  std::memcpy(encryptedPassword_, encrypted, sizeof encryptedPassword_);
  encryptedPassword_[32] = '\0';
  if (servers.Mode() == velt::TransportMode::kQueue) return ConnectQueueSlot(index);
  Disconnect();
  if (index > 15) return VELTPLUGIN_ERR_SLOT_INDEX;
  const auto* entry = reinterpret_cast<const tagVELTPluginOption*>(servers.Slot(index));
  return plugin_.Connect(*entry, index, this);
}

int CQueueTransport::ConnectOne(const tagVELTConnectOptionEx& entry, int& handle) {
  int cc = 0;
  int reason = 0;
  RIMQ_Connect(entry.nProtocal != 0 ? entry.nProtocal : 1, entry.szAddress, entry.nPort, connectedUser_,
               connectedPassword_, entry.szProxy, entry.szSSL, &handle, &cc, &reason);
  if (cc == RIMQCC_FAILED) {
    handle = kNoHandle;
    return ReasonOr9999(reason);
  }
  return 0;
}

int CQueueTransport::OpenQueue(int connection, const char* name, int& queue) {
  const RIMQOD od = velt::wire::QueueDescriptor(name);
  int cc = 0;
  int reason = 0;
  RIMQ_Open(connection, &od, velt::wire::kOpenOptions, &queue, &cc, &reason);
  if (cc == RIMQCC_FAILED) {
    queue = kNoHandle;
    return ReasonOr9999(reason);
  }
  return 0;
}

int CQueueTransport::ConnectQueueSlot(int index) {
  DisconnectQueues();
  const auto* entry = reinterpret_cast<const tagVELTConnectOptionEx*>(servers.Slot(index));
  if (entry == nullptr) return velt::kConnectNoPick;
  int rc = ConnectOne(*entry, connection1_);
  if (rc != 0) return rc;
  if (options.sharedConnection == 1) {
    connection2_ = connection1_;
  } else if ((rc = ConnectOne(*entry, connection2_)) != 0) {
    DisconnectQueues();
    return rc;
  }
  if ((rc = OpenQueue(connection1_, entry->szSendQName, requestQueue_)) != 0 ||
      (rc = OpenQueue(connection2_, entry->szReceiveQName, answerQueue_)) != 0) {
    DisconnectQueues();   // a shared connection is released once
    return rc;
  }
  interruptTarget_.store(connection2_);
  return 0;
}

void CQueueTransport::DisconnectQueues() {
  const auto release = [](int& handle) {
    int cc = 0;
    int reason = 0;
    RIMQ_Disconn(&handle, 0, &cc, &reason);
    if (cc == RIMQCC_FAILED) {
      std::fprintf(stderr, "The Client disconnect the connection error[%ld].\n", static_cast<long>(reason));
      std::fflush(stderr);
    }
  };
  interruptTarget_.store(kNoHandle);
  const bool separate = connection2_ != kNoHandle && connection2_ != connection1_;
  if (connection1_ != kNoHandle) release(connection1_);
  if (separate) release(connection2_);   // a shared connection was released once above
  connection1_ = requestQueue_ = connection2_ = answerQueue_ = kNoHandle;
}

int CQueueTransport::Disconnect() {
  if (servers.Mode() == velt::TransportMode::kPlugin || plugin_.Connected())
    if (plugin_.Disconnect(servers.CurrentIndex()) != 0) return VELTPLUGIN_ERR_DISCONNECT;
  DisconnectQueues();
  return 0;
}

int CQueueTransport::Reconnect() {
  char server[33];
  char user[33];
  char password[33];
  velt::CopyBounded(server, sizeof server, connectedServer_);
  velt::CopyBounded(user, sizeof user, connectedUser_);
  velt::CopyBounded(password, sizeof password, connectedPassword_);
  // The broken connection still has valid handle numbers; drop them so the connect rebuilds it
  // instead of taking the still "complete" connection as good.
  DisconnectQueues();
  const int rc = Connect(server, user, password);
  reconnectPending_ = rc != 0 ? 1 : 0;
  return rc;
}
