// Process and thread ids through getpid and gettid; fork handlers through pthread_atfork.
#include "platform/process.h"

#include <pthread.h>
#include <unistd.h>

namespace velt::platform {

int ProcessId() noexcept { return static_cast<int>(getpid()); }
long ThreadId() noexcept { return static_cast<long>(gettid()); }

bool RunInChildAfterFork(void (*fn)()) noexcept {
  return fn != nullptr && pthread_atfork(nullptr, nullptr, fn) == 0;
}

}  // namespace velt::platform
