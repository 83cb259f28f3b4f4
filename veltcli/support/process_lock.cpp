// The process-wide lock.
#include "support/process_lock.h"

namespace velt {

std::mutex& ProcessLock() noexcept {
  static std::mutex lock;
  return lock;
}

}  // namespace velt
