// File-name rules carried over from the system's Windows home, and the folders of the running code.
#pragma once

#include <string>
#include <string_view>

namespace velt::platform {

// A path that is used as given: it begins with a backslash or "/", or contains a colon.
bool IsRootedPath(std::string_view path);

// The part after the last "\" or "/" (the whole text when there is neither).
std::string_view BaseName(std::string_view path);

// Folder of the shared library or program holding `addressInModule`, ending in "/".
// Empty when the loader cannot tell.
std::string ModuleDirectory(const void* addressInModule);

// Full path of the running program (/proc/self/exe); empty when unreadable.
std::string ProgramPath();

}  // namespace velt::platform
