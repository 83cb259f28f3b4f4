// Interface rules that need no engine behaviour: address checks, options, manager names.
#include <gtest/gtest.h>

#include <cstring>

#include "rimq_test_client.h"

namespace velt::rimqtest {
namespace {

TEST(RimqConnect, AddressesAndSecurityStringsAreCheckedBeforeAnyNetwork) {
  struct Case { const char* what; Endpoint endpoint; int expected; };
  Endpoint redis;
  redis.address = "127.0.0.1";
  redis.port = 6379;
  auto with = [](Endpoint e, auto change) { change(e); return e; };
  const Case cases[] = {
      {"empty address", with(redis, [](Endpoint& e) { e.address.clear(); }), RIMQRC_ADDRESS_ERROR},
      {"unknown protocol", with(redis, [](Endpoint& e) { e.protocol = 3; }), RIMQRC_ADDRESS_ERROR},
      {"port 0", with(redis, [](Endpoint& e) { e.port = 0; }), RIMQRC_ADDRESS_ERROR},
      {"port 65536", with(redis, [](Endpoint& e) { e.port = 65536; }), RIMQRC_ADDRESS_ERROR},
      {"ssl", with(redis, [](Endpoint& e) { e.ssl = "CIPHER=TLS_AES_128"; }), RIMQRC_SSL_NOT_SUPPORTED},
      {"proxy", with(redis, [](Endpoint& e) { e.proxy = "proxy.example:8080"; }), RIMQRC_PROXY_NOT_SUPPORTED},
  };
  for (const auto& k : cases) {
    Client c;
    EXPECT_EQ(c.Connect(k.endpoint), k.expected) << k.what;
    EXPECT_EQ(c.handle(), -1) << k.what;
  }
  int cc = -1, reason = -1;
  RIMQ_Connect(1, "inproc", 0, "", "", "", "", nullptr, &cc, &reason);
  EXPECT_EQ(reason, RIMQRC_HCONN_ERROR);
  int h = 0;
  RIMQ_Connect(1, nullptr, 0, nullptr, nullptr, nullptr, nullptr, &h, &cc, &reason);
  EXPECT_EQ(reason, RIMQRC_ADDRESS_ERROR);
}

TEST(RimqConnect, ClosedLoopbackPortIsNotReachable) {
  Endpoint e;
  e.address = "127.0.0.1";
  e.port = 1;   // nothing listens there without privileges
  Client c;
  EXPECT_EQ(c.Connect(e), RIMQRC_QMGR_NOT_REACHABLE);
  e.protocol = 2;
  e.address = "/nonexistent/rimq.sock";
  EXPECT_EQ(c.Connect(e), RIMQRC_QMGR_NOT_REACHABLE);
}

TEST(RimqInproc, ManagersAreSeparatedByNameAndIgnoreSecurityStrings) {
  Endpoint a, b, plain;
  a.address = "inproc:alpha";
  a.ssl = "ignored in-process";
  b.address = "inproc:beta";
  plain.address = "inproc";
  Client ca, cb, cp, cp2;
  int qa = -1, qb = -1, qp = -1, qp2 = -1;
  ASSERT_EQ(ca.Connect(a), 0);
  ASSERT_EQ(cb.Connect(b), 0);
  ASSERT_EQ(cp.Connect(plain), 0);
  plain.address = "inproc:";
  ASSERT_EQ(cp2.Connect(plain), 0);
  ASSERT_EQ(ca.Open("SHARED.NAME", &qa), 0);
  ASSERT_EQ(cb.Open("SHARED.NAME", &qb), 0);
  ASSERT_EQ(cp.Open("SHARED.NAME", &qp), 0);
  ASSERT_EQ(cp2.Open("SHARED.NAME", &qp2), 0);
  ASSERT_EQ(ca.Put(qa, "alpha"), 0);
  ASSERT_EQ(cp.Put(qp, "plain"), 0);
  EXPECT_EQ(cb.Get(qb, 0).reason, RIMQRC_NO_MSG_AVAILABLE);
  EXPECT_EQ(cp2.Get(qp2, 0).body, "plain");
  EXPECT_EQ(ca.Get(qa, 0).body, "alpha");
}

TEST(RimqSetOption, NetworkTimeoutIsTheOnlyOption) {
  const int seconds = 5, restore = 0;
  EXPECT_EQ(RIMQ_SetOption(RIMQOPT_NETWORK_TIMEOUT, &seconds, 4), 0);
  EXPECT_EQ(RIMQ_SetOption(RIMQOPT_NETWORK_TIMEOUT, &restore, 4), 0);
  EXPECT_EQ(RIMQ_SetOption(RIMQOPT_NETWORK_TIMEOUT, &seconds, 8), RIMQRC_OPTIONS_ERROR);
  EXPECT_EQ(RIMQ_SetOption(1, &seconds, 4), RIMQRC_OPTIONS_ERROR);
  EXPECT_EQ(RIMQ_SetOption(RIMQOPT_NETWORK_TIMEOUT, nullptr, 4), RIMQRC_BUFFER_ERROR);
}

}  // namespace
}  // namespace velt::rimqtest
