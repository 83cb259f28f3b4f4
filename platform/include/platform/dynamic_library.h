// Loading shared libraries at run time and looking up their entry points (transport plug-ins,
// the queue library's optional functions).
#pragma once

namespace velt::platform {

// Opaque handle of a loaded library; each successful OpenLibrary or FindOpenLibrary is ended by
// one CloseLibrary.
using LibraryHandle = void*;

// Loads the library with its symbols kept local to it; null when it cannot be loaded.
LibraryHandle OpenLibrary(const char* path) noexcept;
// The library at `path` only if this process has already loaded it; null otherwise. With `pin`,
// the library stays mapped until the process ends, whatever is unloaded later.
LibraryHandle FindOpenLibrary(const char* path, bool pin = false) noexcept;
void* LibrarySymbol(LibraryHandle library, const char* name) noexcept;
void CloseLibrary(LibraryHandle library) noexcept;
// Why the last OpenLibrary or LibrarySymbol of this thread failed, for messages ("" when unknown).
const char* LibraryError() noexcept;

}  // namespace velt::platform
