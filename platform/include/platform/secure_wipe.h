// Wiping of key material that the compiler may not optimise away.
#pragma once

#include <cstddef>

namespace velt::platform {

void SecureWipe(void* data, std::size_t size) noexcept;

// Wipes an object (a key schedule, a work area) when it goes out of scope, on every path.
template <typename T>
class WipeOnExit {
 public:
  explicit WipeOnExit(T& object) noexcept : object_(object) {}
  ~WipeOnExit() { SecureWipe(&object_, sizeof(T)); }
  WipeOnExit(const WipeOnExit&) = delete;
  WipeOnExit& operator=(const WipeOnExit&) = delete;

 private:
  T& object_;
};

}  // namespace velt::platform
