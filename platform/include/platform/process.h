// The running process: its id, the calling thread's id, and work to redo in a forked child.
#pragma once

namespace velt::platform {

int ProcessId() noexcept;
long ThreadId() noexcept;

// Runs `fn` in the child after every fork of this process (ids cached by the parent go stale
// there). False when it cannot be registered.
bool RunInChildAfterFork(void (*fn)()) noexcept;

}  // namespace velt::platform
