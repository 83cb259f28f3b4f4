// Handle creation and destruction; every allocation failure ends in a null handle.
#include "core/client_handle.h"

#include "core/alloc_hook.h"

namespace velt {

ClientHandle* CreateClientHandle() noexcept {
  try {
    std::unique_ptr<ClientHandle> handle(GatedNew<ClientHandle>());
    handle->session.reset(GatedNew<CLUNQCliBase>());
    return handle.release();
  } catch (...) {
    return nullptr;
  }
}

void DestroyClientHandle(ClientHandle* handle) noexcept {
  delete handle;
}

}  // namespace velt
