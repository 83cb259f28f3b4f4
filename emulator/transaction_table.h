// Open server-side transactions: ids handed out when a call opens one (transaction mode 1),
// looked up by later calls (mode 2), ended by commit, roll back, cancel or close cursor, by the
// sign-off of the session that opened it, or after being idle too long (rolled back).
// Thread-safe; the end listener runs outside the table's lock.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>

namespace veltemu {

class TransactionTable {
 public:
  using Clock = std::chrono::steady_clock;
  // Called once per ended transaction: committed or rolled back.
  using EndListener = std::function<void(const std::string& id, bool committed)>;

  // `idPrefix` makes ids of this table unique among emulators sharing a queue (cut to 10
  // characters, so that ids keep within the header's 26).
  TransactionTable(std::string idPrefix, std::size_t maxOpen = 10000,
                   std::chrono::seconds idleLimit = std::chrono::minutes(10));

  void SetEndListener(EndListener listener);
  // A new transaction's id, or empty when the table is full.
  std::string Open(int session, Clock::time_point now);
  // True when `id` is open here (and marks it used now).
  bool Touch(const std::string& id, Clock::time_point now);
  // Ends `id`; false when it is not open.
  bool End(const std::string& id, bool commit);
  // Rolls back every transaction session `session` opened.
  void EndSession(int session);
  // Rolls back the transactions idle since before now - idleLimit; returns how many.
  std::size_t ExpireIdle(Clock::time_point now);
  std::size_t open() const;

 private:
  struct Entry {
    int session = 0;
    Clock::time_point used;
  };
  void Notify(const std::string& id, bool commit);

  mutable std::mutex mutex_;
  std::string prefix_;
  std::size_t max_;
  std::chrono::seconds idle_;
  unsigned long long next_ = 1;
  std::unordered_map<std::string, Entry> open_;
  EndListener listener_;
};

}  // namespace veltemu
