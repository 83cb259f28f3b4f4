// ClientHandle: the object behind VELTCLI_HANDLE. It owns the session (and, once the component
// store is built, the store, which goes first when the handle is destroyed).
#pragma once

#include <atomic>
#include <memory>

#include "core/session.h"

struct ClientHandle {
  std::unique_ptr<CLUNQCliBase> session;
  // CVELTCli objects sharing this handle; only class-made handles count.
  std::atomic<int> classShares{0};
};

namespace velt {

// A new handle with a new session; null when memory fails (nothing is left behind).
ClientHandle* CreateClientHandle() noexcept;
void DestroyClientHandle(ClientHandle* handle) noexcept;

}  // namespace velt
