// File-name rules carried over from the system's Windows home, and the folders of the running code.
#pragma once

#include <string>
#include <string_view>

namespace velt::platform {

// A path that is used as given: it begins with a backslash or "/", or contains a colon.
bool IsRootedPath(std::string_view path);

// The part after the last "\" or "/" (the whole text when there is neither).
std::string_view BaseName(std::string_view path);

// The name the module holding `addressInModule` was loaded by (as the loader saw it, possibly
// relative); empty when the loader cannot tell.
std::string ModuleLoadName(const void* addressInModule);

// Folder of the shared library or program holding `addressInModule`, ending in "/".
// Empty when the loader cannot tell.
std::string ModuleDirectory(const void* addressInModule);

// The process's current working folder; empty when it cannot be read.
std::string CurrentDirectory();

// Full path of the running program (/proc/self/exe); empty when unreadable.
std::string ProgramPath();

}  // namespace velt::platform
