// rimqapi request/reply costs next to their floors, measured in the same run:
//  - embedded engine, two threads  vs  a mutex/condition-variable ping-pong;
//  - Redis engine, two processes   vs  a raw hiredis RPUSH/BLPOP ping-pong;
//  - throughput of 4 client threads against 1 and 2 getters, on both engines.
// Redis: RIMQ_BENCH_REDIS_PORT names a running server on 127.0.0.1; otherwise one is started.
#include <benchmark/benchmark.h>
#include <hiredis/hiredis.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "rimqapi.h"
#include "queue_peer.h"
#include "testsupport/redis_server.h"

namespace {

using velt::bench::QueuePeer;
using Target = velt::bench::QueueTarget;

std::string Fresh(const char* role) {
  static int n = 0;
  return std::string(role) + "." + std::to_string(getpid()) + "." + std::to_string(++n);
}

const Target& RedisTarget() { return velt::bench::RedisQueueTarget(); }

// Runs `serve` in a forked process (no threads may be running at the fork); returns its pid.
template <typename F>
pid_t InChild(F serve) {
  const pid_t pid = fork();
  if (pid == 0) {
    serve();
    _exit(0);
  }
  return pid;
}

constexpr int kPacket = 400;   // a typical request packet: header and a short request text

void BM_FloorMutexCondvarPingPong(benchmark::State& state) {
  std::mutex mu;
  std::condition_variable pingCv, pongCv;
  bool ping = false, pong = false, stop = false;
  std::thread responder([&] {
    std::unique_lock<std::mutex> lock(mu);
    for (;;) {
      pingCv.wait(lock, [&] { return ping || stop; });
      if (stop) return;
      ping = false;
      pong = true;
      lock.unlock();
      pongCv.notify_one();
      lock.lock();
    }
  });
  for (auto _ : state) {
    std::unique_lock<std::mutex> lock(mu);
    ping = true;
    lock.unlock();
    pingCv.notify_one();
    lock.lock();
    pongCv.wait(lock, [&] { return pong; });
    pong = false;
  }
  {
    std::lock_guard<std::mutex> lock(mu);
    stop = true;
  }
  pingCv.notify_one();
  responder.join();
}
BENCHMARK(BM_FloorMutexCondvarPingPong)->UseRealTime();

void BM_InprocPingPong(benchmark::State& state) {
  const Target inproc;
  const std::string req = Fresh("req"), ans = Fresh("ans");
  QueuePeer server(inproc, req, ans);
  QueuePeer client(inproc, req, ans);
  std::thread serving([&] { server.Serve(); });
  const std::string body(kPacket, 'p');
  for (auto _ : state) {
    if (!client.Call(body.data(), kPacket)) state.SkipWithError("call failed");
  }
  client.Stop();
  serving.join();
}
BENCHMARK(BM_InprocPingPong)->UseRealTime();

void BM_FloorRedisListPingPong(benchmark::State& state) {
  const Target& redis = RedisTarget();
  const std::string req = Fresh("raw.req"), ans = Fresh("raw.ans");
  const std::string body(kPacket, 'p');
  const pid_t child = InChild([&] {
    redisContext* c = redisConnect(redis.address.c_str(), redis.port);
    for (;;) {
      auto* r = static_cast<redisReply*>(redisCommand(c, "BLPOP %s 10", req.c_str()));
      const bool stop = !r || r->type != REDIS_REPLY_ARRAY || std::strcmp(r->element[1]->str, "STOP") == 0;
      if (!stop) freeReplyObject(redisCommand(c, "RPUSH %s %b", ans.c_str(), r->element[1]->str, r->element[1]->len));
      if (r) freeReplyObject(r);
      if (stop) break;
    }
    redisFree(c);
  });
  redisContext* c = redisConnect(redis.address.c_str(), redis.port);
  for (auto _ : state) {
    freeReplyObject(redisCommand(c, "RPUSH %s %b", req.c_str(), body.data(), body.size()));
    freeReplyObject(redisCommand(c, "BLPOP %s 10", ans.c_str()));
  }
  freeReplyObject(redisCommand(c, "RPUSH %s STOP", req.c_str()));
  redisFree(c);
  waitpid(child, nullptr, 0);
}
BENCHMARK(BM_FloorRedisListPingPong)->UseRealTime();

void BM_RedisPingPong(benchmark::State& state) {
  const Target& redis = RedisTarget();
  const std::string req = Fresh("req"), ans = Fresh("ans");
  const pid_t child = InChild([&] {
    QueuePeer server(redis, req, ans);
    server.Serve();
  });
  QueuePeer client(redis, req, ans);
  const std::string body(kPacket, 'p');
  for (auto _ : state) {
    if (!client.Call(body.data(), kPacket)) state.SkipWithError("call failed");
  }
  client.Stop();
  waitpid(child, nullptr, 0);
}
BENCHMARK(BM_RedisPingPong)->UseRealTime();

// 4 client threads, each with its own connection, against state.range(0) getters.
void RunThroughput(benchmark::State& state, const Target& target, bool getterProcesses, int callsPerClient) {
  constexpr int kClients = 4;
  const int getters = static_cast<int>(state.range(0));
  const std::string req = Fresh("tp.req"), ans = Fresh("tp.ans");
  std::vector<pid_t> children;
  std::vector<std::thread> serving;
  std::vector<std::unique_ptr<QueuePeer>> servers;
  for (int g = 0; g < getters; ++g) {
    if (getterProcesses) {
      children.push_back(InChild([&] {
        QueuePeer server(target, req, ans);
        server.Serve();
      }));
    } else {
      servers.push_back(std::make_unique<QueuePeer>(target, req, ans));
    }
  }
  for (auto& s : servers) serving.emplace_back([&s] { s->Serve(); });
  std::vector<std::unique_ptr<QueuePeer>> clients;
  for (int k = 0; k < kClients; ++k) clients.push_back(std::make_unique<QueuePeer>(target, req, ans));
  const std::string body(kPacket, 'p');
  std::atomic<bool> failed{false};
  for (auto _ : state) {
    std::vector<std::thread> running;
    for (auto& c : clients) {
      running.emplace_back([&] {
        for (int i = 0; i < callsPerClient; ++i) {
          if (!c->Call(body.data(), kPacket)) failed = true;
        }
      });
    }
    for (auto& t : running) t.join();
  }
  if (failed) state.SkipWithError("call failed");
  state.SetItemsProcessed(state.iterations() * kClients * callsPerClient);
  for (int g = 0; g < getters; ++g) clients[0]->Stop();
  for (auto& t : serving) t.join();
  for (pid_t pid : children) waitpid(pid, nullptr, 0);
}

void BM_InprocThroughput4Clients(benchmark::State& state) { RunThroughput(state, Target{}, false, 2000); }
BENCHMARK(BM_InprocThroughput4Clients)->Arg(1)->Arg(2)->ArgName("getters")->UseRealTime();

void BM_RedisThroughput4Clients(benchmark::State& state) { RunThroughput(state, RedisTarget(), true, 500); }
BENCHMARK(BM_RedisThroughput4Clients)->Arg(1)->Arg(2)->ArgName("getters")->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
