// Time through clock_gettime, localtime_r and gmtime_r.
#include "platform/local_time.h"

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

std::tm UtcTimeOf(std::time_t when) noexcept {
  std::tm utc{};
  gmtime_r(&when, &utc);
  return utc;
}

}  // namespace velt::platform
