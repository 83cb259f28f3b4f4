// The progress line on standard error while an answer streams in: rows, answer parts, bytes and
// elapsed time, redrawn at most ten times a second, wiped when done. Only on a terminal.
#pragma once

#include <chrono>
#include <cstdint>

namespace velt::veltcall {

class ProgressLine {
 public:
  // Shown only when `enabled` (standard error is a terminal).
  explicit ProgressLine(bool enabled);
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  void Update(std::uint64_t rows, int parts, std::uint64_t bytes);
  void Clear();

 private:
  bool enabled_;
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point lastDraw_;
};

}  // namespace velt::veltcall
