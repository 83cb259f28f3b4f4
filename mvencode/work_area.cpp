// Work areas of the encoder: nothrow allocation, zero fill, wipe on release.
#include "work_area.h"

#include <atomic>
#include <new>

#include "platform/secure_wipe.h"

namespace velt::mvencode {
namespace {
std::atomic<WorkAreaFailure> g_failure{nullptr};
}

WorkArea::WorkArea(std::size_t size) noexcept : data_(nullptr), size_(size) {
  const WorkAreaFailure failure = g_failure.load(std::memory_order_acquire);
  if (failure != nullptr && failure(size)) return;
  data_ = new (std::nothrow) unsigned char[size == 0 ? 1 : size]();
}

WorkArea::~WorkArea() {
  if (data_ == nullptr) return;
  platform::SecureWipe(data_, size_);
  delete[] data_;
}

void SetWorkAreaFailureForTesting(WorkAreaFailure failure) noexcept {
  g_failure.store(failure, std::memory_order_release);
}

}  // namespace velt::mvencode
