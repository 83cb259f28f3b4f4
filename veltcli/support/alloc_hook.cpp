// The allocation gate: one atomic hook read by every library allocation.
#include "support/alloc_hook.h"

#include <atomic>
#include <cstdlib>

namespace velt {
namespace {
std::atomic<AllocationHook> g_hook{nullptr};
}  // namespace

void SetAllocationHook(AllocationHook hook) noexcept { g_hook.store(hook); }

bool AllocationAllowed(std::size_t bytes) noexcept {
  const AllocationHook hook = g_hook.load();
  return hook == nullptr || hook(bytes);
}

void* Allocate(std::size_t bytes) noexcept {
  return AllocationAllowed(bytes) ? std::malloc(bytes) : nullptr;
}

void* Reallocate(void* block, std::size_t bytes) noexcept {
  return AllocationAllowed(bytes) ? std::realloc(block, bytes) : nullptr;
}

void Release(void* block) noexcept { std::free(block); }

}  // namespace velt
