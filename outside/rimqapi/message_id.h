// Message ids the library assigns (put option 64).
#pragma once

namespace velt::rimq {

constexpr int kMessageIdLength = 24;

// Writes 24 printable characters (standard Base64), unique across the processes of this and
// other machines: the process id, a random per-process value and a per-process counter.
void NewMessageId(char* out);

}  // namespace velt::rimq
