// The emulator over a real Redis server, including a server restart while it runs.
#include "emulator.h"

#include <gtest/gtest.h>

#include <thread>

#include "testsupport/redis_server.h"
#include "wire_test_client.h"

namespace veltemu {
namespace {

using testing::RequestText;
using testing::WireAnswer;
using testing::WireCall;
using testing::WireTestClient;

WireCall Echo(const std::string& tag, std::size_t pad) {
  WireCall c;
  c.program = "echo";
  c.text = RequestText({{"_VeltServiceID_", "echo"}, {"tag", tag}, {"pad", std::string(pad, 'r')}});
  return c;
}

TEST(EmulatorRedisTest, ServesOverRedisAndSurvivesAServerRestart) {
  VELT_REQUIRE_REDIS_SERVER();
  velt::testsupport::RedisServer server(std::vector<velt::testsupport::RedisUser>{{"emu", "pw"}});
  ASSERT_TRUE(server.Start()) << server.error();

  EmulatorConfig config;
  config.address = server.host();
  config.port = server.port();
  config.user = "emu";
  config.password = "pw";
  config.requestQueue = "REQ.emu";
  config.workers = 2;
  config.log = nullptr;
  Emulator emulator(config);
  ASSERT_EQ(emulator.Start(), 0);

  velt::rimqtest::Endpoint endpoint;
  endpoint.address = server.host();
  endpoint.port = server.port();
  endpoint.user = "emu";
  endpoint.password = "pw";
  {
    WireTestClient client;
    ASSERT_EQ(client.Connect(endpoint, config.requestQueue), 0);
    const WireAnswer a = client.Call(Echo("before", 9000));
    EXPECT_EQ(a.Value("tag"), "before");
    EXPECT_EQ(a.Value("pad").size(), 9000u);
    WireCall rows;
    rows.program = "rows";
    rows.text = RequestText({{"_VeltServiceID_", "rows"}, {"ROWS", "2000"}, {"COLS", "3"}});
    const WireAnswer r = client.Call(rows);
    ASSERT_EQ(r.reason, 0);
    EXPECT_GT(r.Parts().size(), 1u);
    EXPECT_EQ(r.Value("_EORS_1"), "2000");
  }

  server.Kill();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  ASSERT_TRUE(server.Restart()) << server.error();

  // The workers rebuild their connections; a request put after the restart is served.
  WireTestClient client;
  ASSERT_EQ(client.Connect(endpoint, config.requestQueue), 0);
  const WireAnswer after = client.Call(Echo("after", 5000), 20);
  ASSERT_EQ(after.reason, 0);
  EXPECT_EQ(after.Value("tag"), "after");

  server.Kill();   // Stop stays prompt while the workers back off
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto start = std::chrono::steady_clock::now();
  emulator.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

}  // namespace
}  // namespace veltemu
