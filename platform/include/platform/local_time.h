// Wall-clock time, local and universal, for time stamps in requests, trace files and logs.
#pragma once

#include <ctime>

namespace velt::platform {

struct LocalTime {
  std::tm fields{};       // broken-down local time
  int milliseconds = 0;   // 0..999 within fields.tm_sec
};

LocalTime LocalNow() noexcept;
std::tm LocalTimeOf(std::time_t when) noexcept;
std::tm UtcTimeOf(std::time_t when) noexcept;

}  // namespace velt::platform
