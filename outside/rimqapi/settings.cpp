// Process-wide options, read by every connection at each use.
#include "settings.h"

#include <atomic>

namespace velt::rimq {
namespace {
std::atomic<int> g_networkTimeout{kDefaultNetworkTimeoutSeconds};
}

int NetworkTimeoutSeconds() { return g_networkTimeout.load(std::memory_order_relaxed); }

void SetNetworkTimeoutSeconds(int seconds) {
  g_networkTimeout.store(seconds > 0 ? seconds : kDefaultNetworkTimeoutSeconds, std::memory_order_relaxed);
}

}  // namespace velt::rimq
