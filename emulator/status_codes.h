// The answer statuses the emulator itself sets: stable numbers, never reused, each with a text.
// Business programs choose their own statuses; these stay clear of the client's own codes.
#pragma once

#include "wire/emulator_statuses.h"

namespace veltemu {

// The numbers and texts are shared with the client (wire/emulator_statuses.h).
#define VELT_STATUS_ENUMERATOR(name, number, text) name = (number),
enum StatusCode : int { kStatusOk = 0, VELT_EMULATOR_STATUSES(VELT_STATUS_ENUMERATOR) };
#undef VELT_STATUS_ENUMERATOR

// The text of an emulator status ("unknown status" for any other number).
const char* StatusText(int status) noexcept;

}  // namespace veltemu
