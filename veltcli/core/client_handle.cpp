// Handle creation and destruction; every allocation failure ends in a null handle.
#include "core/client_handle.h"

#include "support/alloc_hook.h"

namespace velt {
namespace {

// The store's factory allocates outside the gate (the store stands on its own); asking the gate
// first lets memory exhaustion at this step be exercised like the others.
std::unique_ptr<IRpgComp> NewStore() {
  RequireAllocation(sizeof(IRpgComp));
  std::unique_ptr<IRpgComp> store = NewRpgCompPack();
  if (!store) throw std::bad_alloc();
  return store;
}

}  // namespace

ClientHandle* CreateClientHandle() noexcept {
  try {
    std::unique_ptr<ClientHandle> handle(GatedNew<ClientHandle>());
    handle->session.reset(GatedNew<CLUNQCliBase>());
    handle->store = NewStore();
    return handle.release();
  } catch (...) {
    return nullptr;
  }
}

void DestroyClientHandle(ClientHandle* handle) noexcept {
  delete handle;
}

}  // namespace velt
