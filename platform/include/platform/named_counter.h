// A machine-wide counter under a name, standing in for a named semaphore that is only ever
// released: a POSIX shared-memory object holding one atomic 32-bit count. Every process of the
// user that opens the same name shares the count; the object stays until the machine restarts.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace velt::platform {

class NamedCounter {
 public:
  static constexpr std::int32_t kMaximum = 2147483647;

  // Creates the object (count 0) or opens the existing one. Null when the system refuses, e.g.
  // an object of that name belongs to another user. `name` without the leading "/".
  static std::unique_ptr<NamedCounter> Open(const std::string& name);
  ~NamedCounter();
  NamedCounter(const NamedCounter&) = delete;
  NamedCounter& operator=(const NamedCounter&) = delete;

  // Raises the count by one and gives the count before it; false (nothing changed) when the count
  // has reached kMaximum, as a semaphore release past its maximum fails.
  bool Release(std::int32_t& previous) noexcept;

 private:
  explicit NamedCounter(std::atomic<std::int32_t>* count) : count_(count) {}
  std::atomic<std::int32_t>* count_;
};

}  // namespace velt::platform
