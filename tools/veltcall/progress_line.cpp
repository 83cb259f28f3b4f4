// Redraws one line in place with "\r" and erases it with "\r\033[K".
#include "progress_line.h"

#include <cstdio>

namespace velt::veltcall {

ProgressLine::ProgressLine(bool enabled)
    : enabled_(enabled), start_(std::chrono::steady_clock::now()), lastDraw_(start_) {}

ProgressLine::~ProgressLine() { Clear(); }

void ProgressLine::Update(std::uint64_t rows, int parts, std::uint64_t bytes) {
  if (!enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastDraw_ < std::chrono::milliseconds(100)) return;
  lastDraw_ = now;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  std::fprintf(stderr, "\r\033[K%llu rows, %d answer parts, %.1f MB, %.1f s", static_cast<unsigned long long>(rows),
               parts, static_cast<double>(bytes) / 1e6, seconds);
  std::fflush(stderr);
  shown_ = true;
}

void ProgressLine::Clear() {
  if (!shown_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  shown_ = false;
}

}  // namespace velt::veltcall
