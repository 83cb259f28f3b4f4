// Run-time lookup of RIMQ_SetOption in the queue library this process has loaded.
#include "transport/queue_library_option.h"

#include <dlfcn.h>

#include "rimqapi.h"

namespace velt {

void SetQueueLibraryTimeout(int seconds) noexcept {
  // The library that provides RIMQ_Connect to us is the loaded queue library, whatever its file
  // is called; it is asked for, never loaded anew.
  Dl_info info;
  if (dladdr(reinterpret_cast<void*>(&RIMQ_Connect), &info) == 0 || info.dli_fname == nullptr) return;
  void* module = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
  if (module == nullptr) return;
  if (auto* set = reinterpret_cast<RIMQ_SetOption_t>(dlsym(module, "RIMQ_SetOption"))) {
    const int value = seconds < 30 ? seconds : -1;
    set(0, &value, static_cast<int>(sizeof value));
  }
  dlclose(module);
}

}  // namespace velt
