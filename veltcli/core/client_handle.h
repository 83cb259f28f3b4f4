// ClientHandle: the object behind VELTCLI_HANDLE. It owns the session and the component store; the
// store is declared last so it goes first when the handle is destroyed.
#pragma once

#include <atomic>
#include <memory>

#include "core/session.h"
#include "rgcomp/rpg_comp.h"

struct ClientHandle {
  std::unique_ptr<CLUNQCliBase> session;
  // CVELTCli objects sharing this handle; only class-made handles count.
  std::atomic<int> classShares{0};
  // Components and repeating groups; kept, like the session, while the handle waits in the pool.
  std::unique_ptr<velt::IRpgComp> store;
};

namespace velt {

// A new handle with a new session and an empty store; null when memory fails (nothing is left behind).
ClientHandle* CreateClientHandle() noexcept;
void DestroyClientHandle(ClientHandle* handle) noexcept;

}  // namespace velt
