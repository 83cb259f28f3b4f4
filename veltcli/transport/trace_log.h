// The packet trace: one file per transport object in the current folder, named by the object's
// address, one entry (prefix, raw bytes, line feed) per request sent and per answer received.
// The file is opened and closed for every entry, so no handle is ever shared between threads.
#pragma once

#include <cstddef>
#include <ctime>

namespace velt {

inline constexpr std::size_t kTracePrefixChars = 59;
inline constexpr const char* kTraceSend = "send";
inline constexpr const char* kTraceReceive = "recv";

// The address as upper-case hexadecimal digits of the pointer's width, then ".dat".
// `out` holds at least 2 * sizeof(void*) + 5 bytes.
void TraceFileName(const void* owner, char* out, std::size_t capacity) noexcept;

// "%04d%02d%02d%02d%02d%02d [%6d] [%6d] %s:" of local time, process id, thread id and tag, cut to
// 59 characters; `out` holds kTracePrefixChars + 1 bytes. Returns the prefix length.
std::size_t TracePrefix(const std::tm& local, int pid, int tid, const char* tag, char* out) noexcept;

// 0 when `on` is false (nothing is created) or the entry was appended; 1 when the file could
// not be opened.
int WriteTrace(bool on, const void* owner, const char* tag, const void* bytes, std::size_t length) noexcept;

}  // namespace velt
