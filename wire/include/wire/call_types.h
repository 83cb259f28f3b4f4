// What a request packet asks for: the call type (header offset 2) and the transaction mode
// (offset 3) of the packet header, shared by the client and the emulator.
#pragma once

namespace velt::wire {

// Call types.
inline constexpr int kCallSignOn = 0;
inline constexpr int kCallSignOff = 1;
inline constexpr int kCallService = 2;
inline constexpr int kCallCloseCursor = 4;
inline constexpr int kCallCommit = 9;
inline constexpr int kCallRollBack = 10;
inline constexpr int kCallCancel = 11;
inline constexpr int kMaxCallType = 15;   // the header shows the type as one hexadecimal digit

// Transaction modes of a service call; an asynchronous call adds kModeAsync.
inline constexpr int kModeStandAlone = 0;
inline constexpr int kModeOpen = 1;       // opens a server transaction
inline constexpr int kModeContinue = 2;   // runs inside the open transaction
inline constexpr int kModeEnd = 4;
inline constexpr int kModeAsync = 8;

}  // namespace velt::wire
