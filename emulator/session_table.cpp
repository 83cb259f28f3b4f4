// Session numbers.
#include "session_table.h"

#include <climits>

namespace veltemu {

int SessionTable::SignOn() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (open_.size() >= max_) return 0;
  int n = next_;
  while (open_.count(n) != 0) n = n == INT_MAX ? 1 : n + 1;   // after a wrap, skip numbers in use
  next_ = n == INT_MAX ? 1 : n + 1;
  open_.insert(n);
  return n;
}

bool SessionTable::SignOff(int session) {
  std::lock_guard<std::mutex> lock(mutex_);
  return open_.erase(session) != 0;
}

bool SessionTable::Known(int session) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return open_.count(session) != 0;
}

std::size_t SessionTable::size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return open_.size();
}

}  // namespace veltemu
