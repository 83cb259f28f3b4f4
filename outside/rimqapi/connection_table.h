// The process-wide table behind the int handles of the interface.
// Lookups copy a shared pointer, so a connection outlives a concurrent RIMQ_Disconn until the
// call using it has returned; `op` serialises the calls on one connection.
#pragma once

#include <memory>
#include <mutex>
#include <shared_mutex>
#include <unordered_map>

#include "queue_connection.h"

namespace velt::rimq {

struct ConnectionEntry {
  explicit ConnectionEntry(std::unique_ptr<QueueConnection> c) : connection(std::move(c)) {}
  std::mutex op;                                   // held for the whole of every call but Interrupt
  const std::unique_ptr<QueueConnection> connection;
  std::unordered_map<int, std::shared_ptr<OpenedQueue>> queues;   // guarded by op
  int lastOpened = -1;                                            // guarded by op
};

class ConnectionTable {
 public:
  int Add(std::unique_ptr<QueueConnection> connection);
  std::shared_ptr<ConnectionEntry> Find(int handle) const;
  std::shared_ptr<ConnectionEntry> Remove(int handle);
  // Queue handles are unique in the process, so one from another connection is never taken.
  int NewQueueHandle();

 private:
  // Shared for lookups: every call looks its handle up, and callers on other connections must
  // not queue behind each other for that.
  mutable std::shared_mutex mu_;
  std::unordered_map<int, std::shared_ptr<ConnectionEntry>> entries_;
  int nextConnection_ = 1;
  int nextQueue_ = 1;
};

ConnectionTable& Connections();

}  // namespace velt::rimq
