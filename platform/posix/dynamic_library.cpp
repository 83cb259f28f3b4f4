// Run-time loading through dlopen/dlsym.
#include "platform/dynamic_library.h"

#include <dlfcn.h>

namespace velt::platform {

LibraryHandle OpenLibrary(const char* path) noexcept {
  return path == nullptr ? nullptr : dlopen(path, RTLD_NOW | RTLD_LOCAL);
}

LibraryHandle FindOpenLibrary(const char* path, bool pin) noexcept {
  if (path == nullptr) return nullptr;
  return dlopen(path, RTLD_NOW | RTLD_NOLOAD | (pin ? RTLD_NODELETE : 0));
}

void* LibrarySymbol(LibraryHandle library, const char* name) noexcept {
  return library == nullptr || name == nullptr ? nullptr : dlsym(library, name);
}

void CloseLibrary(LibraryHandle library) noexcept {
  if (library != nullptr) dlclose(library);
}

const char* LibraryError() noexcept {
  const char* text = dlerror();
  return text == nullptr ? "" : text;
}

}  // namespace velt::platform
