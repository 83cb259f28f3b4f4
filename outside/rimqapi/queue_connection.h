// The interface each engine implements for one queue-manager connection.
// Results are reason codes (0 = success). A connection serves one thread at a time; only
// Interrupt and Close may be called from another thread, and Close only once no call runs.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "envelope.h"

namespace velt::rimq {

// An opened queue; each engine keeps what it needs to reach it again.
class OpenedQueue {
 public:
  virtual ~OpenedQueue() = default;
};

// Where a get leaves the message it took.
struct GetTarget {
  char* buffer = nullptr;
  std::size_t capacity = 0;
  std::size_t length = 0;   // out: the message's full length
  Envelope envelope;        // out
};

// Wait of a get: negative = unlimited, 0 = none, else milliseconds.
struct Wait {
  long long milliseconds = 0;
  bool unlimited() const { return milliseconds < 0; }
};

class QueueConnection {
 public:
  virtual ~QueueConnection() = default;

  virtual int Open(std::string_view name, std::shared_ptr<OpenedQueue>* out) = 0;
  // expiryMs <= 0: the message never expires.
  virtual int Put(OpenedQueue& queue, const Envelope& envelope, std::string_view body, int expiryMs) = 0;
  // Fills target on success; on 2080 the first capacity bytes and the full length.
  virtual int Get(OpenedQueue& queue, const MatchRequest& match, Wait wait, GetTarget& target) = 0;
  // Ends a blocked get with 2549, or makes the next get do so. Any thread, any time.
  virtual void Interrupt() = 0;
  // Releases the engine's resources; later calls fail with 2003.
  virtual void Close() = 0;
};

// Copies a message into the target: the whole body, or the part that fits and 2080.
int DeliverInto(GetTarget& target, const Envelope& envelope, std::string_view body);

}  // namespace velt::rimq
