// The library's own pseudo-random numbers (server candidate choice, the random part of message
// ids): one generator per owner, seeded apart from the host's rand(), which is never touched.
#pragma once

#include <cstdint>
#include <random>

namespace velt {

class RandomSource {
 public:
  // Seeded from the clock, the object's address and a process-wide count, so two sources made
  // in the same second (or the same nanosecond on two threads) still differ.
  RandomSource() noexcept;
  std::uint32_t Next() noexcept { return static_cast<std::uint32_t>(engine_()); }

 private:
  std::mt19937 engine_;
};

}  // namespace velt
