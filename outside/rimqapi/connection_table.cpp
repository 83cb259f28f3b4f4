// Handle numbers count up from 1 and are not reused within the process.
#include "connection_table.h"

namespace velt::rimq {

int ConnectionTable::Add(std::unique_ptr<QueueConnection> connection) {
  auto entry = std::make_shared<ConnectionEntry>(std::move(connection));
  std::unique_lock<std::shared_mutex> lock(mu_);
  const int handle = nextConnection_++;
  entries_.emplace(handle, std::move(entry));
  return handle;
}

std::shared_ptr<ConnectionEntry> ConnectionTable::Find(int handle) const {
  std::shared_lock<std::shared_mutex> lock(mu_);
  auto it = entries_.find(handle);
  return it == entries_.end() ? nullptr : it->second;
}

std::shared_ptr<ConnectionEntry> ConnectionTable::Remove(int handle) {
  std::unique_lock<std::shared_mutex> lock(mu_);
  auto it = entries_.find(handle);
  if (it == entries_.end()) return nullptr;
  auto entry = std::move(it->second);
  entries_.erase(it);
  return entry;
}

int ConnectionTable::NewQueueHandle() {
  std::unique_lock<std::shared_mutex> lock(mu_);
  return nextQueue_++;
}

ConnectionTable& Connections() {
  static ConnectionTable table;
  return table;
}

}  // namespace velt::rimq
