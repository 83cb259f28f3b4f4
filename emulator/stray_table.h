// Memory of the continuation packets a worker took through "next message" and put back for the
// worker collecting their request. A packet seen again is put back after a pause (so an orphan
// does not spin the workers), and dropped once it has circled longer than the collect time-out
// (its request's first packet was lost or never came). Thread-safe, bounded.
#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace veltemu {

class StrayTable {
 public:
  using Clock = std::chrono::steady_clock;
  enum class Verdict { kPutBack, kPutBackAfterPause, kDrop };

  StrayTable(std::chrono::milliseconds giveUpAfter, std::size_t maxEntries = 4096)
      : giveUp_(giveUpAfter), max_(maxEntries) {}

  // `key`: message id and correlation id of the packet.
  Verdict Seen(const std::string& key, Clock::time_point now);

 private:
  std::mutex mutex_;
  std::chrono::milliseconds giveUp_;
  std::size_t max_;
  std::unordered_map<std::string, Clock::time_point> first_;
};

}  // namespace veltemu
