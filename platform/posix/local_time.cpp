// Local time through clock_gettime and localtime_r; ids through getpid and gettid.
#include "platform/local_time.h"

#include <unistd.h>

namespace velt::platform {

LocalTime LocalNow() noexcept {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  LocalTime t;
  localtime_r(&now.tv_sec, &t.fields);
  t.milliseconds = static_cast<int>(now.tv_nsec / 1000000L);
  return t;
}

std::tm LocalTimeOf(std::time_t when) noexcept {
  std::tm local{};
  localtime_r(&when, &local);
  return local;
}

int ProcessId() noexcept { return static_cast<int>(getpid()); }
long ThreadId() noexcept { return static_cast<long>(gettid()); }

}  // namespace velt::platform
