// The library's one process-wide lock: it guards the handle pool and the session registry and
// serialises the network-adapter queries made while sessions are created.
#pragma once

#include <mutex>

namespace velt {

// Constructed on first use, so it outlives every static object that took it while being built
// (the handle pool drains at unload while the lock still exists).
std::mutex& ProcessLock() noexcept;

}  // namespace velt
