// Information-centre costs against the in-process emulator, beside a call round trip measured in
// the same run: publish -> callback latency (p50, p99) with 1 and 16 subscribers, each with its
// background receiver, and publications per second to them with a ledger of what each received
// (none may be lost or doubled). Both engines: embedded and Redis.
// Redis: RIMQ_BENCH_REDIS_PORT names a running server on 127.0.0.1; otherwise one is started.
#include <benchmark/benchmark.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "emulator.h"
#include "queue_peer.h"
#include "veltcli.h"

namespace {

using Clock = std::chrono::steady_clock;

enum class Engine { kEmbedded, kRedis };

velt::bench::QueueTarget TargetOf(Engine engine) {
  if (engine == Engine::kRedis) return velt::bench::RedisQueueTarget();
  velt::bench::QueueTarget t;
  t.address = "inproc:bench-infocenter";
  return t;
}

std::string Fresh(const char* role) {
  static int n = 0;
  return std::string("IB.") + role + "." + std::to_string(getpid()) + "." + std::to_string(++n);
}

// What one subscriber's receiver has delivered: publication numbers with their arrival times.
struct Subscriber {
  VELTCLI_HANDLE h = nullptr;
  tagInfoControl control{};
  std::mutex mutex;
  std::vector<std::pair<long long, Clock::time_point>> got;
};

constexpr int kMaxSubscribers = 16;
Subscriber* g_subscribers[kMaxSubscribers] = {};

// Runs on each receiver thread; the subscriber's index travels in the control's szCbParm.
void OnPublication(tagInfoControl* copy) {
  const auto now = Clock::now();
  Subscriber& s = *g_subscribers[std::atoi(copy->szCbParm)];
  char number[32] = {};
  VELTCLI_GetValue(s.h, "pubno", number, sizeof number - 1);
  std::lock_guard<std::mutex> guard(s.mutex);
  s.got.emplace_back(std::atoll(number), now);
}

tagVELTConnectOption EntryFor(const velt::bench::QueueTarget& t, const std::string& requests) {
  tagVELTConnectOption e;
  std::memset(&e, 0, sizeof e);
  std::strncpy(e.szServerName, "bench", 32);
  std::strncpy(e.szAddress, t.address.c_str(), 32);
  e.nPort = t.port;
  std::strncpy(e.szSendQName, requests.c_str(), 32);
  std::strncpy(e.szReceiveQName, Fresh("ANS").c_str(), 32);
  return e;
}

VELTCLI_HANDLE Connected(const velt::bench::QueueTarget& t, const std::string& requests) {
  VELTCLI_HANDLE h = nullptr;
  VELTCLI_Init(&h);
  VELTCLI_SetConnectOption(h, EntryFor(t, requests));
  VELTCLI_SetCliTimeOut(h, 30);
  if (VELTCLI_ConnectServer(h, "bench", "", "") != 0) {
    VELTCLI_Exit(h);
    return nullptr;
  }
  return h;
}

tagInfoControl NewControl() {
  tagInfoControl c;
  std::memset(&c, 0, sizeof c);
  c.nSize = sizeof c;
  c.nExpiry = 60;
  return c;
}

// The emulator, a publisher, a caller for the round-trip floor, and `count` subscribers of one
// topic with their receivers running.
class Rig {
 public:
  Rig(Engine engine, int count) : target_(TargetOf(engine)), requests_(Fresh("REQ")) {
    veltemu::EmulatorConfig config;
    config.address = target_.address;
    config.port = target_.port;
    config.requestQueue = requests_;
    config.workers = 2;
    config.log = nullptr;
    emulator_ = std::make_unique<veltemu::Emulator>(config);
    if (emulator_->Start() != 0) return;
    publisher_ = Connected(target_, requests_);
    caller_ = Connected(target_, requests_);
    if (publisher_ == nullptr || caller_ == nullptr) return;
    publication_ = NewControl();
    std::strcpy(publication_.szUserId, "publisher");
    for (int k = 0; k < count; ++k) {
      auto s = std::make_unique<Subscriber>();
      g_subscribers[k] = s.get();
      char user[] = "";   // no AUTH: the benchmark server has no users
      char password[] = "";
      const tagVELTConnectOption entry = EntryFor(target_, requests_);
      if (VELTRecvPub_Init(&s->h, entry, user, password) != 0) return;
      subscribers_.push_back(std::move(s));
      Subscriber& sub = *subscribers_.back();
      sub.control = NewControl();
      std::snprintf(sub.control.szCbParm, sizeof sub.control.szCbParm, "%d", k);
      std::string name = "subscriber-" + std::to_string(k);
      char topic[] = "bench.quotes";
      if (VELTCLI_InfoSubscribe(sub.h, &sub.control, name.data(), topic, 0) != 0) return;
      sub.control.pfnCallback = &OnPublication;
      if (VELTRecvPub_Start(sub.h, &sub.control) != 0) return;
    }
    ready_ = true;
  }
  ~Rig() {
    for (auto& s : subscribers_) VELTRecvPub_Exit(s->h);
    for (int k = 0; k < kMaxSubscribers; ++k) g_subscribers[k] = nullptr;
    if (publisher_ != nullptr) VELTCLI_Exit(publisher_);
    if (caller_ != nullptr) VELTCLI_Exit(caller_);
    emulator_->Stop();
  }
  Rig(const Rig&) = delete;
  Rig& operator=(const Rig&) = delete;

  bool ready() const { return ready_; }
  std::vector<std::unique_ptr<Subscriber>>& subscribers() { return subscribers_; }

  // One publication with a small content; its number, or 0 on failure.
  long long Publish() {
    VELTCLI_BeginWrite(publisher_);
    VELTCLI_SetValue(publisher_, "symbol", "600000");
    VELTCLI_SetValue(publisher_, "price", "9.52");
    long long number = 0;
    char topic[] = "bench.quotes";
    return VELTCLI_InfoPublish(publisher_, &publication_, topic, &number, 0, 0) == 0 ? number : 0;
  }

  // The floor: one echo call of about the publication's size.
  bool Echo() {
    VELTCLI_BeginWrite(caller_);
    VELTCLI_SetValue(caller_, "symbol", "600000");
    VELTCLI_SetValue(caller_, "price", "9.52");
    return VELTCLI_CallProgramAndCommit(caller_, "echo", nullptr) == 0;
  }

  // Waits until every subscriber holds `count` deliveries; false after 60 s.
  bool WaitDelivered(std::size_t count) {
    const auto end = Clock::now() + std::chrono::seconds(60);
    for (auto& s : subscribers_) {
      for (;;) {
        {
          std::lock_guard<std::mutex> guard(s->mutex);
          if (s->got.size() >= count) break;
        }
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
      }
    }
    return true;
  }

 private:
  velt::bench::QueueTarget target_;
  std::string requests_;
  std::unique_ptr<veltemu::Emulator> emulator_;
  VELTCLI_HANDLE publisher_ = nullptr;
  VELTCLI_HANDLE caller_ = nullptr;
  tagInfoControl publication_{};
  std::vector<std::unique_ptr<Subscriber>> subscribers_;
  bool ready_ = false;
};

// Keeps this thread and every thread it starts meanwhile on the processor it runs on (as the call
// benchmark does): a hand-over between processors costs whatever the other processor happens to
// be doing on a shared machine; on one processor each leg costs its own work and its switches.
class OneProcessor {
 public:
  OneProcessor() {
    pinned_ = sched_getaffinity(0, sizeof kept_, &kept_) == 0;
    cpu_set_t one;
    CPU_ZERO(&one);
    CPU_SET(sched_getcpu(), &one);
    pinned_ = pinned_ && sched_setaffinity(0, sizeof one, &one) == 0;
  }
  ~OneProcessor() {
    if (pinned_) sched_setaffinity(0, sizeof kept_, &kept_);
  }
  OneProcessor(const OneProcessor&) = delete;
  OneProcessor& operator=(const OneProcessor&) = delete;

 private:
  cpu_set_t kept_;
  bool pinned_ = false;
};

double Percentile(std::vector<double> v, double p) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[static_cast<std::size_t>(p * static_cast<double>(v.size() - 1))];
}

// Each iteration: one publication timed from the publish call to every subscriber's callback,
// then, after the same idle time, one echo call. The receivers pause 50 ms after each receive, so
// the next publication waits until they are back in their receive: what is measured is delivery,
// not the pause. Subscribers 0 gives the publish call alone.
void BM_PublishToCallback(benchmark::State& state, Engine engine) {
  const int count = static_cast<int>(state.range(0));
  const OneProcessor pinned;   // first: it must outlive every thread of the rig
  Rig rig(engine, count);
  if (!rig.ready()) {
    state.SkipWithError("emulator, connect, subscribe or receiver start failed");
    return;
  }
  std::vector<double> delivery, call, publish;
  std::size_t published = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    const bool sent = rig.Publish() != 0;
    publish.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    if (!sent || (count > 0 && !rig.WaitDelivered(++published))) {
      state.SkipWithError("publish or delivery failed");
      return;
    }
    for (auto& s : rig.subscribers()) {
      std::lock_guard<std::mutex> guard(s->mutex);
      if (!s->got.empty()) delivery.push_back(std::chrono::duration<double, std::micro>(s->got.back().second - start).count());
    }
    // The call waits as long as the publication did, so both start from the same idle state
    // (a call right after another runs on warm threads and caches, and costs a third).
    std::this_thread::sleep_until(start + std::chrono::milliseconds(60));
    const auto callStart = Clock::now();
    if (!rig.Echo()) {
      state.SkipWithError("echo call failed");
      return;
    }
    call.push_back(std::chrono::duration<double, std::micro>(Clock::now() - callStart).count());
    std::this_thread::sleep_until(callStart + std::chrono::milliseconds(60));
  }
  state.counters["callback_p50_us"] = Percentile(delivery, 0.5);
  state.counters["callback_p99_us"] = Percentile(delivery, 0.99);
  state.counters["publish_call_p50_us"] = Percentile(publish, 0.5);
  state.counters["call_p50_us"] = Percentile(call, 0.5);
  state.counters["call_p99_us"] = Percentile(call, 0.99);
  state.counters["callback_per_call_p50"] = Percentile(delivery, 0.5) / Percentile(call, 0.5);
}

// Publications back to back, as fast as the publisher can make them; the rate is that of the
// whole delivery (until the last subscriber's last callback). Each subscriber's ledger must hold
// every publication once, in publishing order.
void BM_PublicationsPerSecond(benchmark::State& state, Engine engine) {
  constexpr int kPublications = 60;
  const int count = static_cast<int>(state.range(0));
  Rig rig(engine, count);
  if (!rig.ready()) {
    state.SkipWithError("emulator, connect, subscribe or receiver start failed");
    return;
  }
  std::vector<long long> numbers;
  double seconds = 0, publishSeconds = 0;
  long long lost = 0, doubled = 0, outOfOrder = 0;
  for (auto _ : state) {
    const auto start = Clock::now();
    for (int i = 0; i < kPublications; ++i) {
      const long long n = rig.Publish();
      if (n == 0) {
        state.SkipWithError("publish failed");
        return;
      }
      numbers.push_back(n);
    }
    publishSeconds += std::chrono::duration<double>(Clock::now() - start).count();
    const bool all = rig.WaitDelivered(numbers.size());
    seconds += std::chrono::duration<double>(Clock::now() - start).count();
    if (!all) break;
  }
  for (auto& s : rig.subscribers()) {
    std::lock_guard<std::mutex> guard(s->mutex);
    std::vector<long long> got;
    for (const auto& g : s->got) got.push_back(g.first);
    if (!std::is_sorted(got.begin(), got.end())) ++outOfOrder;
    std::vector<long long> unique = got;
    std::sort(unique.begin(), unique.end());
    doubled += static_cast<long long>(got.size() - static_cast<std::size_t>(
                                                       std::unique(unique.begin(), unique.end()) - unique.begin()));
    for (long long n : numbers)
      if (!std::binary_search(unique.begin(), unique.end(), n)) ++lost;
  }
  const double delivered = static_cast<double>(numbers.size());
  state.counters["publications_per_s"] = delivered / seconds;
  state.counters["publish_calls_per_s"] = delivered / publishSeconds;
  state.counters["deliveries_per_s"] = delivered * count / seconds;
  state.counters["lost"] = static_cast<double>(lost);
  state.counters["doubled"] = static_cast<double>(doubled);
  state.counters["subscribers_out_of_order"] = static_cast<double>(outOfOrder);
}

BENCHMARK_CAPTURE(BM_PublishToCallback, embedded, Engine::kEmbedded)
    ->Arg(0)->Arg(1)->Arg(16)->ArgName("subscribers")->Iterations(100)->UseRealTime();
BENCHMARK_CAPTURE(BM_PublishToCallback, redis, Engine::kRedis)
    ->Arg(0)->Arg(1)->Arg(16)->ArgName("subscribers")->Iterations(100)->UseRealTime();
BENCHMARK_CAPTURE(BM_PublicationsPerSecond, embedded, Engine::kEmbedded)
    ->Arg(1)->Arg(16)->ArgName("subscribers")->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_PublicationsPerSecond, redis, Engine::kRedis)
    ->Arg(1)->Arg(16)->ArgName("subscribers")->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
