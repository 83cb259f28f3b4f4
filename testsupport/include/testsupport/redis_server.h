// A real redis-server for tests: started on a free loopback port in its own temp folder, without
// persistence, with the ACL users a test asks for; stopped (or killed) by its pid.
//
//   VELT_REQUIRE_REDIS_SERVER();                 // skips locally, fails in CI, when it is missing
//   velt::testsupport::RedisServer server({{"alice", "secret"}});
//   ASSERT_TRUE(server.Start()) << server.error();
//   ... connect to 127.0.0.1:server.port() or server.unixSocket() ...
//   server.Kill(); server.Restart();            // same port, same socket path, data gone
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace velt::testsupport {

struct RedisUser {
  std::string name;
  std::string password;
  std::string rules = "~* &* +@all";   // ACL rules after "on >password"
};

struct RedisServerOptions {
  std::vector<RedisUser> users;
  bool unixSocket = false;             // also listen on <folder>/redis.sock (path under 33 characters)
  std::string defaultUserPassword;     // empty: the default user needs no password
};

// True when a redis-server program is on the PATH.
bool RedisServerAvailable();
// True when the environment says this is a CI run (CI set, not empty, not "false").
bool InContinuousIntegration();

class RedisServer {
 public:
  RedisServer();
  explicit RedisServer(std::vector<RedisUser> users);
  explicit RedisServer(RedisServerOptions options);
  ~RedisServer();
  RedisServer(const RedisServer&) = delete;
  RedisServer& operator=(const RedisServer&) = delete;

  // Starts and waits (up to 10 s) until the server answers; false with error() on failure.
  bool Start();
  // SIGTERM, then SIGKILL if it has not ended within 5 s; waits for the process.
  void Stop();
  // SIGKILL at once, as a crash would.
  void Kill();
  // Starts again on the same port and socket path (after Stop or Kill).
  bool Restart();

  bool running() const { return pid_ > 0; }
  pid_t pid() const { return pid_; }
  int port() const { return port_; }
  const std::string& host() const { return host_; }
  std::string unixSocket() const;
  const std::string& folder() const { return folder_; }
  const std::string& error() const { return error_; }

 private:
  bool WriteConfig();
  bool Launch();
  bool WaitUntilAnswering();
  void Reap(int signal, int graceMs);

  RedisServerOptions options_;
  std::string host_ = "127.0.0.1";
  std::string folder_;
  std::string error_;
  int port_ = 0;
  pid_t pid_ = -1;
};

}  // namespace velt::testsupport

// In a test body: skip with a clear message when redis-server is missing, or fail in CI.
#define VELT_REQUIRE_REDIS_SERVER()                                                        \
  do {                                                                                      \
    if (!::velt::testsupport::RedisServerAvailable()) {                                     \
      if (::velt::testsupport::InContinuousIntegration()) {                                 \
        FAIL() << "redis-server is not installed (CI=true requires it; apt-get install redis-server)"; \
      }                                                                                     \
      GTEST_SKIP() << "redis-server is not installed: Redis tests skipped (apt-get install redis-server)"; \
    }                                                                                       \
  } while (0)
