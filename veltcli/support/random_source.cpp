// Seeding of the library's own generator.
#include "support/random_source.h"

#include <atomic>
#include <chrono>

namespace velt {
namespace {

std::atomic<std::uint64_t> g_sources{0};

// splitmix64: spreads nearby inputs (consecutive counts, close clock readings) over the seed.
std::uint64_t Mix(std::uint64_t x) noexcept {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

}  // namespace

RandomSource::RandomSource() noexcept {
  const auto now = static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count());
  const std::uint64_t seed = Mix(now ^ Mix(g_sources.fetch_add(1) ^ reinterpret_cast<std::uintptr_t>(this)));
  engine_.seed(static_cast<std::mt19937::result_type>(seed ^ (seed >> 32)));
}

}  // namespace velt
