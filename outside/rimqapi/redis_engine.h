// The Redis engine: one hiredis connection per rimqapi connection, the scripts of
// redis_scripts.h, and a get that is a single round trip (script and BLPOP pipelined).
#pragma once

#include <memory>
#include <string>

#include "queue_connection.h"

namespace velt::rimq {

struct RedisEndpoint {
  bool unixSocket = false;
  std::string address;   // host, or the socket path
  int port = 0;
  std::string user;      // AUTH user password when not empty
  std::string password;  // AUTH password alone when the user is empty
};

// Longest single blocking wait; longer and unlimited waits are chains of these, so the
// registration of a getter that vanished expires within seconds.
constexpr long long kRedisWaitChunkMs = 2000;
// How long a registration outlives its chunk, covering the client's turnaround between chunks.
constexpr long long kRedisWaiterMarginMs = 3000;

// Returns 0 and the connection, or a reason code (2004, 2035, 2071, 2195).
int ConnectRedis(const RedisEndpoint& endpoint, std::unique_ptr<QueueConnection>* out);

// Key prefix of a queue's keys: "rimq:{NAME}:".
std::string RedisQueuePrefix(const std::string& name);

}  // namespace velt::rimq
