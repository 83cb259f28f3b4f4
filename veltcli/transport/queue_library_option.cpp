// Run-time lookup of RIMQ_SetOption in the queue library this process has loaded.
#include "transport/queue_library_option.h"

#include <string>

#include "platform/dynamic_library.h"
#include "platform/paths.h"
#include "rimqapi.h"

namespace velt {

void SetQueueLibraryTimeout(int seconds) noexcept {
  // The library that provides RIMQ_Connect to us is the loaded queue library, whatever its file
  // is called; it is asked for, never loaded anew.
  const std::string file = platform::ModuleLoadName(reinterpret_cast<const void*>(&RIMQ_Connect));
  if (file.empty()) return;
  platform::LibraryHandle module = platform::FindOpenLibrary(file.c_str());
  if (module == nullptr) return;
  if (auto* set = reinterpret_cast<RIMQ_SetOption_t>(platform::LibrarySymbol(module, "RIMQ_SetOption"))) {
    const int value = seconds < 30 ? seconds : -1;
    set(0, &value, static_cast<int>(sizeof value));
  }
  platform::CloseLibrary(module);
}

}  // namespace velt
