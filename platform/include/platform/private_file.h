// Files that hold what only their owner may read (packet traces with request and answer text).
#pragma once

#include <cstdio>

namespace velt::platform {

// Opens `path` for appending, creating it readable and writable by its owner only (a file that
// already exists keeps its mode). Null when it cannot be opened.
std::FILE* OpenPrivateForAppend(const char* path) noexcept;

}  // namespace velt::platform
