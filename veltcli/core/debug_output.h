// The debugger-output channel: silent unless VELT_DEBUG_OUTPUT names a file (appended to) or
// "stderr". Belongs with the other operating-system services of the platform layer.
#pragma once

namespace velt {

void DebugOutput(const char* text) noexcept;

}  // namespace velt
