// A stop flag that waits can be cut short by: the workers' back-off pauses and the built-in
// sleep program end at once when the emulator stops.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace veltemu {

class StopSignal {
 public:
  void Raise() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      raised_ = true;
    }
    cv_.notify_all();
  }
  void Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    raised_ = false;
  }
  bool raised() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return raised_;
  }
  // Waits `duration`; false when the stop came first.
  template <typename Duration>
  bool WaitFor(Duration duration) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return !cv_.wait_for(lock, duration, [this] { return raised_; });
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable cv_;
  bool raised_ = false;
};

}  // namespace veltemu
