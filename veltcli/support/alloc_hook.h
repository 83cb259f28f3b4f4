// Every allocation the library makes on its own behalf passes this gate, so a test can fail the
// N-th one and check that each memory code is reported and nothing leaks.
#pragma once

#include <cstddef>
#include <new>
#include <utility>

namespace velt {

// Returns false to make the allocation of `bytes` fail. Null (the default) lets every one pass.
using AllocationHook = bool (*)(std::size_t bytes);

void SetAllocationHook(AllocationHook hook) noexcept;
bool AllocationAllowed(std::size_t bytes) noexcept;

// malloc/realloc/free through the gate (null when refused or when the heap is exhausted).
void* Allocate(std::size_t bytes) noexcept;
void* Reallocate(void* block, std::size_t bytes) noexcept;
void Release(void* block) noexcept;

// Throws std::bad_alloc when the gate refuses; for allocations made inside standard containers.
inline void RequireAllocation(std::size_t bytes) {
  if (!AllocationAllowed(bytes)) throw std::bad_alloc();
}

// new T(...) through the gate; throws std::bad_alloc like new.
template <typename T, typename... Args>
T* GatedNew(Args&&... args) {
  RequireAllocation(sizeof(T));
  return new T(std::forward<Args>(args)...);
}

}  // namespace velt
