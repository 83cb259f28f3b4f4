// The Redis engine under real faults and deployments: logins, a server killed and restarted,
// scripts flushed, waits longer than one chunk, key clean-up, and getters in other processes.
#include <fcntl.h>
#include <hiredis/hiredis.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "redis_fixture.h"
#include "rimq_test_client.h"

extern char** environ;

namespace velt::rimqtest {
namespace {

using velt::testsupport::RedisServer;
using velt::testsupport::RedisServerOptions;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

Endpoint TcpTo(const RedisServer& server, std::string user = "", std::string password = "") {
  Endpoint e;
  e.address = server.host();
  e.port = server.port();
  e.user = std::move(user);
  e.password = std::move(password);
  return e;
}

// A plain hiredis connection for looking at the server from outside the library.
struct Raw {
  explicit Raw(const RedisServer& server) : ctx(redisConnect(server.host().c_str(), server.port())) {}
  ~Raw() { if (ctx) redisFree(ctx); }
  std::unique_ptr<redisReply, void (*)(void*)> Command(const char* text) {
    return {static_cast<redisReply*>(redisCommand(ctx, text)), freeReplyObject};
  }
  std::vector<std::string> KeysOf(const std::string& queue) {
    std::vector<std::string> keys;
    auto reply = Command(("KEYS rimq:{" + queue + "}:*").c_str());
    for (std::size_t i = 0; reply && i < reply->elements; ++i) keys.emplace_back(reply->element[i]->str);
    return keys;
  }
  redisContext* ctx;
};

class RedisFaults : public ::testing::Test {
 protected:
  void SetUp() override { UseSharedRedisServer(&server_); }
  RedisServer* server_ = nullptr;
};

TEST_F(RedisFaults, LoginsAreCheckedByTheServer) {
  struct Case { const char* what; const char* user; const char* password; int expected; };
  const Case cases[] = {
      {"right user and password", kRedisUser, kRedisPassword, 0},
      {"wrong password", kRedisUser, "not-the-password", RIMQRC_NOT_AUTHORIZED},
      {"unknown user", "nobody", kRedisPassword, RIMQRC_NOT_AUTHORIZED},
      {"no user: the default user, which needs no password here", "", "", 0},
  };
  for (const auto& k : cases) {
    Client c;
    EXPECT_EQ(c.Connect(TcpTo(*server_, k.user, k.password)), k.expected) << k.what;
    EXPECT_EQ(c.handle() > 0, k.expected == 0) << k.what;
  }
}

TEST_F(RedisFaults, AccountsWithoutScriptsOrWithALockedDefaultUserAreRefused) {
  VELT_REQUIRE_REDIS_SERVER();
  RedisServerOptions options;
  options.defaultUserPassword = "default-secret";
  options.users = {{"noscript", "pw", "~* &* +@all -@scripting"},
                   {"least", "pw", "~rimq:* +@read +@write +@scripting +@connection"}};
  RedisServer locked(options);
  ASSERT_TRUE(locked.Start()) << locked.error();
  Client c;
  EXPECT_EQ(c.Connect(TcpTo(locked, "noscript", "pw")), RIMQRC_NOT_AUTHORIZED);
  EXPECT_EQ(c.Connect(TcpTo(locked)), RIMQRC_NOT_AUTHORIZED);
  for (const char* user : {"", "least"}) {
    SCOPED_TRACE(*user ? "the documented least rights" : "password alone logs in the default user");
    Client ok;
    ASSERT_EQ(ok.Connect(TcpTo(locked, user, *user ? "pw" : "default-secret")), 0);
    int q = -1;
    ASSERT_EQ(ok.Open("LOCKED.Q", &q), 0);
    ASSERT_EQ(ok.Put(q, "in"), 0);
    EXPECT_EQ(ok.Get(q, 0).body, "in");
    ASSERT_EQ(ok.Put(q, "waited for"), 0);
    EXPECT_EQ(ok.Get(q, 1).body, "waited for");
    EXPECT_EQ(ok.Get(q, 1).reason, RIMQRC_NO_MSG_AVAILABLE);
  }
}

TEST_F(RedisFaults, KilledServerEndsABlockedGetAndARestartedOneTakesFreshConnections) {
  VELT_REQUIRE_REDIS_SERVER();
  RedisServer own;
  ASSERT_TRUE(own.Start()) << own.error();
  Client c;
  int q = -1;
  ASSERT_EQ(c.Connect(TcpTo(own)), 0);
  ASSERT_EQ(c.Open("KILL.Q", &q), 0);
  std::thread killer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    own.Kill();
  });
  const auto start = Clock::now();
  EXPECT_EQ(c.Get(q, -1).reason, RIMQRC_CONNECTION_LOST);
  killer.join();
  EXPECT_LT(SecondsSince(start), 2.0);
  EXPECT_EQ(c.Put(q, "after the loss"), RIMQRC_CONNECTION_LOST);
  Client refused;
  EXPECT_EQ(refused.Connect(TcpTo(own)), RIMQRC_QMGR_NOT_REACHABLE);

  ASSERT_TRUE(own.Restart()) << own.error();
  EXPECT_EQ(c.Disconnect(), 0);
  ASSERT_EQ(c.Connect(TcpTo(own)), 0);   // a fresh server: the scripts are loaded again
  ASSERT_EQ(c.Open("KILL.Q", &q), 0);
  ASSERT_EQ(c.Put(q, "after the restart"), 0);
  EXPECT_EQ(c.Get(q, 1).body, "after the restart");
}

TEST_F(RedisFaults, FlushedScriptsAreLoadedAgain) {
  Client c;
  int q = -1;
  ASSERT_EQ(c.Connect(TcpTo(*server_)), 0);
  ASSERT_EQ(c.Open(UniqueQueueName("flush"), &q), 0);
  Raw raw(*server_);
  ASSERT_EQ(raw.Command("SCRIPT FLUSH")->type, REDIS_REPLY_STATUS);
  ASSERT_EQ(c.Put(q, "one"), 0);
  EXPECT_EQ(c.Get(q, 0).body, "one");
  ASSERT_EQ(raw.Command("SCRIPT FLUSH")->type, REDIS_REPLY_STATUS);
  // The waiting get's pipelined script fails for the whole first chunk; the scripts come back.
  EXPECT_EQ(c.Get(q, 1).reason, RIMQRC_NO_MSG_AVAILABLE);
  ASSERT_EQ(c.Put(q, "two"), 0);
  EXPECT_EQ(c.Get(q, 2).body, "two");
}

// Unlimited and long waits are chains of bounded waits: a message arriving after the first
// chunk still reaches the getter, and an idle getter leaves nothing behind.
TEST_F(RedisFaults, WaitsLongerThanOneChunkStillReceive) {
  const std::string name = UniqueQueueName("chain");
  Client getter, putter;
  int gq = -1, pq = -1;
  ASSERT_EQ(getter.Connect(TcpTo(*server_)), 0);
  ASSERT_EQ(getter.Open(name, &gq), 0);
  ASSERT_EQ(putter.Connect(TcpTo(*server_)), 0);
  ASSERT_EQ(putter.Open(name, &pq), 0);
  std::thread late([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    EXPECT_EQ(putter.Put(pq, "late"), 0);
  });
  const auto start = Clock::now();
  const Received r = getter.Get(gq, -1);
  late.join();
  ASSERT_EQ(r.reason, 0);
  EXPECT_EQ(r.body, "late");
  EXPECT_LT(SecondsSince(start), 3.5);
  Raw raw(*server_);
  EXPECT_EQ(raw.KeysOf(name), std::vector<std::string>{"rimq:{" + name + "}:seq"});
}

// Request/reply traffic as the bus client makes it leaves only the counters: index lists,
// waiter lists, waiter entries and inboxes are all cleaned as they are used.
TEST_F(RedisFaults, RequestReplyTrafficLeavesNoKeysBehind) {
  const std::string requests = UniqueQueueName("k.req"), answers = UniqueQueueName("k.ans");
  Client client, server;
  int crq = -1, caq = -1, srq = -1, saq = -1;
  ASSERT_EQ(client.Connect(TcpTo(*server_)), 0);
  ASSERT_EQ(client.Open(requests, &crq), 0);
  ASSERT_EQ(client.Open(answers, &caq), 0);
  ASSERT_EQ(server.Connect(TcpTo(*server_)), 0);
  ASSERT_EQ(server.Open(requests, &srq), 0);
  ASSERT_EQ(server.Open(answers, &saq), 0);
  std::thread serve([&] {
    for (int i = 0; i < 200; ++i) {
      Received r = server.Get(srq, 5);
      ASSERT_EQ(r.reason, 0);
      RIMQMD reply = r.md;
      ASSERT_EQ(server.Put(saq, reply, r.body, 0), 0);
    }
  });
  for (int i = 0; i < 200; ++i) {
    RIMQMD md = PutDescriptor();
    SetId(md.abCorrelId, "0");
    ASSERT_EQ(client.Put(crq, md, "ping", RIMQPMO_NEW_MSG_ID), 0);
    RIMQMD match = md;
    if (i % 2 == 0) {
      EXPECT_EQ(client.Get(caq, 5, RIMQMO_MATCH_MSG_AND_CORREL_ID, &match).reason, 0);
    } else {
      EXPECT_EQ(client.Get(caq, 5, RIMQMO_MATCH_CORREL_ID, &match).reason, 0);
    }
  }
  serve.join();
  Raw raw(*server_);
  EXPECT_EQ(raw.KeysOf(requests), std::vector<std::string>{"rimq:{" + requests + "}:seq"});
  EXPECT_EQ(raw.KeysOf(answers), std::vector<std::string>{"rimq:{" + answers + "}:seq"});
}

// A message handed to a wait that was interrupted is not lost: leaving the wait returns it, and
// a message put after the interrupt is stored for the next get.
TEST_F(RedisFaults, InterruptedWaitIsLeftOnTheServer) {
  const std::string name = UniqueQueueName("left");
  Client c;
  int q = -1;
  ASSERT_EQ(c.Connect(TcpTo(*server_)), 0);
  ASSERT_EQ(c.Open(name, &q), 0);
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    c.Interrupt();
  });
  EXPECT_EQ(c.Get(q, 30).reason, RIMQRC_INTERRUPTED);
  stopper.join();
  Raw raw(*server_);
  EXPECT_EQ(raw.KeysOf(name), std::vector<std::string>{"rimq:{" + name + "}:seq"});
  Client p;
  int pq = -1;
  ASSERT_EQ(p.Connect(TcpTo(*server_)), 0);
  ASSERT_EQ(p.Open(name, &pq), 0);
  ASSERT_EQ(p.Put(pq, "stored"), 0);
  EXPECT_EQ(c.Get(q, 0).body, "stored");
}

pid_t SpawnPeer(const RedisServer& server, const std::string& queue, const std::string& output) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const std::string port = std::to_string(server.port());
  char* argv[] = {const_cast<char*>(RIMQ_PEER_PATH), const_cast<char*>(port.c_str()),
                  const_cast<char*>(queue.c_str()), nullptr};
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, RIMQ_PEER_PATH, &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  return rc == 0 ? pid : -1;
}

TEST_F(RedisFaults, GettersInSeveralProcessesShareAQueueWithoutDuplicatesOrLosses) {
  const std::string name = UniqueQueueName("procs");
  constexpr int kPeers = 3, kMessages = 600;
  std::vector<pid_t> peers;
  std::vector<std::string> outputs;
  for (int i = 0; i < kPeers; ++i) {
    outputs.push_back(server_->folder() + "/peer" + std::to_string(i) + ".out");
    peers.push_back(SpawnPeer(*server_, name, outputs.back()));
    ASSERT_GT(peers.back(), 0);
  }
  Client c;
  int q = -1;
  ASSERT_EQ(c.Connect(TcpTo(*server_)), 0);
  ASSERT_EQ(c.Open(name, &q), 0);
  for (int i = 0; i < kMessages; ++i) ASSERT_EQ(c.Put(q, "m" + std::to_string(i)), 0);
  for (int i = 0; i < kPeers; ++i) ASSERT_EQ(c.Put(q, "END"), 0);
  std::multiset<std::string> received;
  for (int i = 0; i < kPeers; ++i) {
    int status = 0;
    ASSERT_EQ(waitpid(peers[static_cast<std::size_t>(i)], &status, 0), peers[static_cast<std::size_t>(i)]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "peer " << i << " status " << status;
    std::ifstream in(outputs[static_cast<std::size_t>(i)]);
    for (std::string line; std::getline(in, line);) received.insert(line);
  }
  EXPECT_EQ(received.size(), static_cast<std::size_t>(kMessages));
  EXPECT_EQ(std::set<std::string>(received.begin(), received.end()).size(), static_cast<std::size_t>(kMessages));
}

}  // namespace
}  // namespace velt::rimqtest
