// The conformance suite on the Redis engine, over TCP with an ACL login and over a Unix socket.
#include <memory>

#include "conformance_suite.h"
#include "redis_fixture.h"

namespace velt::rimqtest {

void UseSharedRedisServer(velt::testsupport::RedisServer** out) {
  static std::unique_ptr<velt::testsupport::RedisServer> server;
  *out = nullptr;
  VELT_REQUIRE_REDIS_SERVER();
  if (!server) {
    velt::testsupport::RedisServerOptions options;
    options.users = {{kRedisUser, kRedisPassword}};
    options.unixSocket = true;
    auto started = std::make_unique<velt::testsupport::RedisServer>(options);
    ASSERT_TRUE(started->Start()) << started->error();
    server = std::move(started);
  }
  *out = server.get();
}

namespace {

class RedisBackend final : public ConformanceBackend {
 public:
  explicit RedisBackend(bool unixSocket) : unixSocket_(unixSocket) {}
  std::string name() const override { return unixSocket_ ? "redis_unix" : "redis_tcp_acl"; }
  void Prepare() override { UseSharedRedisServer(&server_); }
  Endpoint endpoint() const override {
    Endpoint e;
    if (unixSocket_) {
      e.protocol = 2;
      e.address = server_->unixSocket();
    } else {
      e.protocol = 0;
      e.address = server_->host();
      e.port = server_->port();
      e.user = kRedisUser;
      e.password = kRedisPassword;
    }
    return e;
  }

 private:
  bool unixSocket_;
  velt::testsupport::RedisServer* server_ = nullptr;
};

RedisBackend g_tcp(false);
RedisBackend g_unix(true);

INSTANTIATE_TEST_SUITE_P(Redis, RimqConformance, ::testing::Values(&g_tcp, &g_unix), BackendName);

}  // namespace
}  // namespace velt::rimqtest
