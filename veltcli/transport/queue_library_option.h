// The queue library's process-wide network time-out, set through RIMQ_SetOption when the loaded
// queue library has it (looked up at run time, so an older library without it still works).
#pragma once

namespace velt {

// Option 0 of the queue library: `seconds` when below 30, otherwise -1. Skipped silently when
// the function or the library cannot be found.
void SetQueueLibraryTimeout(int seconds) noexcept;

}  // namespace velt
