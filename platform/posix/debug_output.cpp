// Debugger output routed by VELT_DEBUG_OUTPUT.
#include "platform/debug_output.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace velt::platform {

void DebugOutput(const char* text) noexcept {
  const char* target = std::getenv("VELT_DEBUG_OUTPUT");
  if (target == nullptr || target[0] == '\0' || text == nullptr) return;
  if (std::strcmp(target, "stderr") == 0) {
    std::fputs(text, stderr);
    std::fflush(stderr);
    return;
  }
  if (std::FILE* f = std::fopen(target, "a")) {
    std::fputs(text, f);
    std::fclose(f);
  }
}

}  // namespace velt::platform
