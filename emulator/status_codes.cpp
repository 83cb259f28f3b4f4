// Texts of the emulator's own answer statuses.
#include "status_codes.h"

namespace veltemu {

const char* StatusText(int status) noexcept {
  if (status == kStatusOk) return "ok";
#define VELT_STATUS_CASE(name, number, text) \
  case number: return text;
  switch (status) {
    VELT_EMULATOR_STATUSES(VELT_STATUS_CASE)
    default: return "unknown status";
  }
#undef VELT_STATUS_CASE
}

}  // namespace veltemu
