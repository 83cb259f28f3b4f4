// Stray continuation packets.
#include "stray_table.h"

namespace veltemu {

StrayTable::Verdict StrayTable::Seen(const std::string& key, Clock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (first_.size() >= max_) {
    for (auto it = first_.begin(); it != first_.end();) {
      it = now - it->second > 2 * giveUp_ ? first_.erase(it) : std::next(it);
    }
    if (first_.size() >= max_) first_.clear();   // a flood of strays: forget them all, stay bounded
  }
  const auto [it, inserted] = first_.emplace(key, now);
  if (inserted) return Verdict::kPutBack;
  if (now - it->second > giveUp_) {
    first_.erase(it);
    return Verdict::kDrop;
  }
  return Verdict::kPutBackAfterPause;
}

}  // namespace veltemu
