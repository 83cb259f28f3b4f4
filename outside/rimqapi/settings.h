// Process-wide options of the library (RIMQ_SetOption).
#pragma once

namespace velt::rimq {

constexpr int kDefaultNetworkTimeoutSeconds = 10;

// Seconds a connect or a reply to a non-waiting command may take.
int NetworkTimeoutSeconds();
// 0 or negative restores the default.
void SetNetworkTimeoutSeconds(int seconds);

}  // namespace velt::rimq
