// The Redis server shared by the Redis tests of this program, started on first use.
#pragma once

#include "testsupport/redis_server.h"

namespace velt::rimqtest {

constexpr const char* kRedisUser = "rimq-user";
constexpr const char* kRedisPassword = "rimq-secret";

// One server per test program (loopback TCP and a Unix socket, user kRedisUser). *out stays null,
// with the test skipped or failed, when it cannot run. Use in SetUp or a test body.
void UseSharedRedisServer(velt::testsupport::RedisServer** out);

}  // namespace velt::rimqtest
