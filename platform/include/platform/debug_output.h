// The debugger-output channel: silent unless VELT_DEBUG_OUTPUT names a file (appended to) or
// "stderr", as a debugger channel is silent when no debugger listens.
#pragma once

namespace velt::platform {

void DebugOutput(const char* text) noexcept;

}  // namespace velt::platform
