// Signed-on sessions: numbers 1, 2, ... handed out at sign-on and forgotten at sign-off.
// Thread-safe: shared by all workers of one emulator.
#pragma once

#include <cstddef>
#include <mutex>
#include <unordered_set>

namespace veltemu {

class SessionTable {
 public:
  explicit SessionTable(std::size_t maxSessions = 100000) : max_(maxSessions) {}

  // A new session number, or 0 when the table is full.
  int SignOn();
  // False when the session was not signed on.
  bool SignOff(int session);
  bool Known(int session) const;
  std::size_t size() const;

 private:
  mutable std::mutex mutex_;
  std::size_t max_;
  int next_ = 1;
  std::unordered_set<int> open_;
};

}  // namespace veltemu
