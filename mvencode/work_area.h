// Zero-filled scratch memory for clear values (type 6, re-encoding), wiped before it is released.
#pragma once

#include <cstddef>

namespace velt::mvencode {

// Allocation never throws: a failed allocation leaves the area empty and the caller maps that to
// its documented code.
class WorkArea {
 public:
  explicit WorkArea(std::size_t size) noexcept;
  ~WorkArea();
  WorkArea(const WorkArea&) = delete;
  WorkArea& operator=(const WorkArea&) = delete;

  explicit operator bool() const noexcept { return data_ != nullptr; }
  unsigned char* data() noexcept { return data_; }

 private:
  unsigned char* data_;
  std::size_t size_;
};

// Test seam for the allocation-failure paths: while set, the function decides for each allocation
// whether it fails (returns true). nullptr restores normal allocation.
using WorkAreaFailure = bool (*)(std::size_t size);
void SetWorkAreaFailureForTesting(WorkAreaFailure failure) noexcept;

}  // namespace velt::mvencode
