// The one place where an exported function turns an exception into its status code, so nothing
// thrown inside ever crosses the C interface.
#pragma once

#include "core/client_handle.h"

namespace velt {

template <typename Body>
int Guarded(int failureCode, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return failureCode;
  }
}

inline CLUNQCliBase& SessionOf(ClientHandle* handle) { return *handle->session; }
inline IRpgComp& StoreOf(ClientHandle* handle) { return *handle->store; }

}  // namespace velt
