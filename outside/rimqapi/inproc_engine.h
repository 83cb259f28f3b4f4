// The embedded queue manager: named managers inside the process, each a set of queues.
// A get that finds nothing registers as a waiter; a put hands its message straight to the oldest
// waiter it matches (each waiter has its own condition variable), else stores it.
#pragma once

#include <memory>
#include <string_view>

#include "queue_connection.h"

namespace velt::rimq {

// A connection to the embedded manager `name` ("" for plain "inproc"), created on first use and
// kept, with its queues and messages, for the life of the process.
std::unique_ptr<QueueConnection> ConnectInproc(std::string_view name);

}  // namespace velt::rimq
