// Service-call costs of the client library against the in-process emulator, each next to a floor
// measured in the same run: a synchronous echo call beside a bare rimqapi request/reply of the
// same sizes, calls per second with 1, 4 and 16 handles, and a 10 MB answer walked with the cursor
// (throughput and the client's heap high-water mark). Both engines: embedded and Redis.
// Redis: RIMQ_BENCH_REDIS_PORT names a running server on 127.0.0.1; otherwise one is started.
#include <benchmark/benchmark.h>
#include <sched.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "emulator.h"
#include "queue_peer.h"
#include "rimqapi.h"
#include "testsupport/redis_server.h"
#include "veltcli.h"

// ---- Heap accounting ------------------------------------------------------------------------
// The client's memory is told apart from the emulator's (same process) by the thread that
// allocated it: every block carries a header with its size and whether a counted thread made it,
// so a free on any thread (the engine frees messages on the getter's side) credits the right
// account. Replacing malloc is supported by glibc and reaches every library without touching it.
// Sanitizer builds keep their own allocator; the memory counters are left out there.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define CALL_BENCH_HEAP 0
#else
#define CALL_BENCH_HEAP 1
#endif

namespace heap {

std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};
thread_local bool t_counted = false;

// Marks the calling thread's allocations as the client's while it lives; resets the high-water mark.
class CountedScope {
 public:
  CountedScope() {
    t_counted = true;
    g_peak.store(g_live.load());
    start_ = g_live.load();
  }
  ~CountedScope() { t_counted = false; }
  long long PeakGrowth() const { return g_peak.load() - start_; }

 private:
  long long start_ = 0;
};

}  // namespace heap

#if CALL_BENCH_HEAP
extern "C" {
void* __libc_malloc(size_t bytes) noexcept;
void* __libc_calloc(size_t count, size_t bytes) noexcept;
void* __libc_realloc(void* block, size_t bytes) noexcept;
void* __libc_memalign(size_t alignment, size_t bytes) noexcept;
void __libc_free(void* block) noexcept;
}

namespace heap {

constexpr std::size_t kCountedBit = std::size_t{1} << 63;

struct Header {
  void* base;              // what the C library returned
  std::size_t sizeAndFlag; // caller's size, kCountedBit when a counted thread allocated it
};
static_assert(sizeof(Header) == 16, "the header keeps malloc's 16-byte alignment");

Header* HeaderOf(void* user) { return static_cast<Header*>(user) - 1; }

void Count(long long delta) {
  const long long now = g_live.fetch_add(delta) + delta;
  long long peak = g_peak.load();
  while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
  }
}

void* Stamp(void* base, void* user, std::size_t bytes) {
  Header* h = HeaderOf(user);
  h->base = base;
  h->sizeAndFlag = bytes | (t_counted ? kCountedBit : 0);
  if (t_counted) Count(static_cast<long long>(bytes));
  return user;
}

void Unstamp(Header* h) {
  if ((h->sizeAndFlag & kCountedBit) != 0) Count(-static_cast<long long>(h->sizeAndFlag & ~kCountedBit));
}

void* Plain(void* base, std::size_t bytes) {
  return base == nullptr ? nullptr : Stamp(base, static_cast<char*>(base) + sizeof(Header), bytes);
}

void* Aligned(std::size_t alignment, std::size_t bytes) {
  if (alignment <= sizeof(Header)) return Plain(__libc_malloc(bytes + sizeof(Header)), bytes);
  char* base = static_cast<char*>(__libc_memalign(alignment, bytes + alignment));
  return base == nullptr ? nullptr : Stamp(base, base + alignment, bytes);
}

}  // namespace heap

extern "C" {
void* malloc(size_t bytes) noexcept { return heap::Plain(__libc_malloc(bytes + sizeof(heap::Header)), bytes); }

void* calloc(size_t count, size_t bytes) noexcept {
  if (bytes != 0 && count > (SIZE_MAX - sizeof(heap::Header)) / bytes) return nullptr;
  return heap::Plain(__libc_calloc(1, count * bytes + sizeof(heap::Header)), count * bytes);
}

void free(void* block) noexcept {
  if (block == nullptr) return;
  heap::Header* h = heap::HeaderOf(block);
  heap::Unstamp(h);
  __libc_free(h->base);
}

void* realloc(void* block, size_t bytes) noexcept {
  if (block == nullptr) return malloc(bytes);
  if (bytes == 0) {
    free(block);
    return nullptr;
  }
  heap::Header* h = heap::HeaderOf(block);
  if (h->base != static_cast<void*>(h)) {   // an aligned block: the C library cannot move it
    void* moved = malloc(bytes);
    if (moved != nullptr) std::memcpy(moved, block, std::min(bytes, h->sizeAndFlag & ~heap::kCountedBit));
    if (moved != nullptr) free(block);
    return moved;
  }
  heap::Header old = *h;
  void* base = __libc_realloc(h, bytes + sizeof(heap::Header));
  if (base == nullptr) return nullptr;   // the old block stands, still accounted
  heap::Unstamp(&old);
  return heap::Plain(base, bytes);
}

void* memalign(size_t alignment, size_t bytes) noexcept { return heap::Aligned(alignment, bytes); }
void* aligned_alloc(size_t alignment, size_t bytes) noexcept { return heap::Aligned(alignment, bytes); }
void* valloc(size_t bytes) noexcept { return heap::Aligned(static_cast<size_t>(sysconf(_SC_PAGESIZE)), bytes); }

void* pvalloc(size_t bytes) noexcept {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return heap::Aligned(page, (bytes + page - 1) / page * page);
}

int posix_memalign(void** out, size_t alignment, size_t bytes) noexcept {
  if (alignment == 0 || (alignment & (alignment - 1)) != 0 || alignment % sizeof(void*) != 0) return EINVAL;
  void* block = heap::Aligned(alignment, bytes);
  if (block == nullptr) return ENOMEM;
  *out = block;
  return 0;
}

size_t malloc_usable_size(void* block) noexcept {
  return block == nullptr ? 0 : heap::HeaderOf(block)->sizeAndFlag & ~heap::kCountedBit;
}
}  // extern "C"
#endif  // CALL_BENCH_HEAP

namespace {


// ---- Backends -------------------------------------------------------------------------------

enum class Engine { kEmbedded, kRedis };

struct Backend {
  std::string address;
  int port = 0;
};

const Backend& RedisBackend() {
  static const Backend backend{velt::bench::RedisQueueTarget().address, velt::bench::RedisQueueTarget().port};
  return backend;
}

const Backend& BackendOf(Engine engine) {
  static const Backend embedded{"inproc:bench-calls", 0};
  return engine == Engine::kEmbedded ? embedded : RedisBackend();
}

std::string Fresh(const char* role) {
  static int n = 0;
  return std::string("CB.") + role + "." + std::to_string(getpid()) + "." + std::to_string(++n);
}

// ---- Floor: a bare rimqapi request/reply ------------------------------------------------------

// The echo call's packets: a 126-byte header, then ~165 bytes of request text (the two values and
// the service header pairs) and 31 bytes of answer text. The floor moves as many bytes, so what
// differs is the library's and the emulator's work, not the copying.
constexpr int kRequestPacket = 290;
constexpr int kAnswerPacket = 160;
// A full answer packet: header and 3958 bytes of text.
constexpr int kHeaderBytes = 126, kPacketText = 3958;

using velt::bench::AnswerShape;
using velt::bench::QueuePeer;

// The echo call's answer: one small packet.
constexpr AnswerShape kSmallAnswer{1, kAnswerPacket};
const std::string kRequestBody(kRequestPacket, 'q');

velt::bench::QueueTarget TargetOf(const Backend& b) {
  velt::bench::QueueTarget t;
  t.address = b.address;
  t.port = b.port;
  return t;
}

// ---- The client library against the emulator ------------------------------------------------

// An emulator serving a fresh request queue with `workers` queue connections.
class Platform {
 public:
  Platform(const Backend& b, int workers) : requestQueue_(Fresh("REQ")) {
    veltemu::EmulatorConfig config;
    config.address = b.address;
    config.port = b.port;
    config.requestQueue = requestQueue_;
    config.workers = workers;
    config.log = nullptr;
    emulator_ = std::make_unique<veltemu::Emulator>(config);
    started_ = emulator_->Start() == 0;
  }
  bool started() const { return started_; }
  const std::string& requestQueue() const { return requestQueue_; }

 private:
  std::string requestQueue_;
  std::unique_ptr<veltemu::Emulator> emulator_;
  bool started_ = false;
};

// One handle connected to the platform, with an answer queue of its own.
class Client {
 public:
  Client(const Backend& b, const std::string& requestQueue) {
    if (VELTCLI_Init(&h_) != 0) return;
    tagVELTConnectOption entry;
    std::memset(&entry, 0, sizeof entry);
    std::strncpy(entry.szServerName, "bench", 32);
    std::strncpy(entry.szAddress, b.address.c_str(), 32);
    entry.nPort = b.port;
    std::strncpy(entry.szSendQName, requestQueue.c_str(), 32);
    std::strncpy(entry.szReceiveQName, Fresh("ANS").c_str(), 32);
    VELTCLI_SetOptions(h_, VELTCLI_OPTION_SERVER_LIST, &entry, static_cast<int>(sizeof entry));
    VELTCLI_SetCliTimeOut(h_, 30);
    connected_ = VELTCLI_ConnectServer(h_, "bench", "", "") == 0;
  }
  ~Client() { VELTCLI_Exit(h_); }
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  bool connected() const { return connected_; }

  // Two short values out, the same two back; true when the answer carries them.
  bool Echo() {
    VELTCLI_BeginWrite(h_);
    VELTCLI_SetValue(h_, "ACCOUNT", "10023417");
    VELTCLI_SetValue(h_, "BRANCH", "north-7");
    if (VELTCLI_CallProgramAndCommit(h_, "echo", nullptr) != 0) return false;
    char value[32];
    return VELTCLI_GetValue(h_, "BRANCH", value, sizeof value - 1) == 0 && std::strcmp(value, "north-7") == 0;
  }

  // Asks for a rows x cols table of cellLen-byte cells and reads every cell through the cursor;
  // the cell bytes read, or -1 when the answer is not the one asked for.
  long long WalkRows(int rows, int cols, int cellLen) {
    VELTCLI_BeginWrite(h_);
    VELTCLI_SetValue(h_, "ROWS", std::to_string(rows).c_str());
    VELTCLI_SetValue(h_, "COLS", std::to_string(cols).c_str());
    VELTCLI_SetValue(h_, "CELLLEN", std::to_string(cellLen).c_str());
    if (VELTCLI_CallProgramAndCommit(h_, "rows", nullptr) != 0 || VELTCLI_RsOpen(h_) != 0) return -1;
    long long bytes = 0;
    int fetched = 0;
    while (VELTCLI_RsFetchRow(h_) == 0) {
      ++fetched;
      for (int c = 1; c <= cols; ++c) {
        if (VELTCLI_RsGetCol(h_, c, cell_) != 0) return -1;
        bytes += static_cast<long long>(std::strlen(cell_));
      }
    }
    const bool whole = fetched == rows && bytes == static_cast<long long>(rows) * cols * cellLen;
    return whole ? bytes : -1;
  }

 private:
  VELTCLI_HANDLE h_ = nullptr;
  bool connected_ = false;
  char cell_[12192];
};

// ---- Latency: the call and its floors in turn ----------------------------------------------

// On a small shared machine the wake-up cost of a ping-pong changes from second to second, so
// the call and its floors are not run as benchmarks of their own: every iteration runs each leg
// once, starting with a different one each time, and the load falls on all alike. The calling
// thread's CPU time is kept too: it is the client's own work, free of the scheduler's moods.
struct Leg {
  std::string name;
  std::function<bool()> run;
  double seconds = 0;
  double cpuSeconds = 0;
};

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

// Reports per leg "<leg>_us" (wall) and "<leg>_cpu_us" (this thread), and "call_per_<floor>"
// (wall) for each floor; the call is the last leg.
void RunLegs(benchmark::State& state, std::vector<Leg>& legs) {
  std::size_t first = 0;
  bool failed = false;
  for (auto _ : state) {
    for (std::size_t k = 0; k < legs.size() && !failed; ++k) {
      Leg& leg = legs[(first + k) % legs.size()];
      const auto start = std::chrono::steady_clock::now();
      const double cpuStart = ThreadCpuSeconds();
      failed = !leg.run();
      leg.cpuSeconds += ThreadCpuSeconds() - cpuStart;
      leg.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    if (failed) break;
    first = (first + 1) % legs.size();
  }
  if (failed) {
    state.SkipWithError("an exchange failed");
    return;
  }
  const double n = static_cast<double>(state.iterations());
  const Leg& call = legs.back();
  for (const Leg& leg : legs) {
    state.counters[leg.name + "_us"] = leg.seconds / n * 1e6;
    state.counters[leg.name + "_cpu_us"] = leg.cpuSeconds / n * 1e6;
    if (&leg != &call) state.counters["call_per_" + leg.name] = call.seconds / leg.seconds;
  }
}

// Keeps the calling thread, and every thread or process it starts meanwhile, on the processor it
// runs on. A ping-pong across processors costs whatever the other processor happens to be doing
// (on a shared machine, someone's compiler) and that differed by 5x between two responder threads
// of one run; on one processor each leg costs its own work and two context switches.
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

// A bare request/reply with its responder on a thread of this process.
struct ThreadFloor {
  explicit ThreadFloor(const Backend& b, AnswerShape answer = kSmallAnswer)
      : shape(answer), req(Fresh("FLOOR.REQ")), ans(Fresh("FLOOR.ANS")), responder(TargetOf(b), req, ans),
        client(TargetOf(b), req, ans), serving([this] { responder.Serve(shape); }) {}
  bool Call() { return client.Call(kRequestBody.data(), kRequestPacket, shape); }
  ~ThreadFloor() {
    client.Stop();
    serving.join();
  }
  AnswerShape shape;
  std::string req, ans;
  QueuePeer responder, client;
  std::thread serving;
};

// A bare request/reply with its responder in a child process; built before any thread starts.
struct ProcessFloor {
  explicit ProcessFloor(const Backend& b) : req(Fresh("FLOOR.REQ")), ans(Fresh("FLOOR.ANS")) {
    child = fork();
    if (child == 0) {
      QueuePeer responder(TargetOf(b), req, ans);
      responder.Serve(kSmallAnswer);
      _exit(0);
    }
    client = std::make_unique<QueuePeer>(TargetOf(b), req, ans);
  }
  ~ProcessFloor() {
    client->Stop();
    waitpid(child, nullptr, 0);
  }
  std::string req, ans;
  pid_t child = -1;
  std::unique_ptr<QueuePeer> client;
};

// One echo call (one emulator worker, as the floor has one responder) beside the floors of its
// engine: the responder thread, and over Redis also the usual two-process floor.
void BM_CallLatency(benchmark::State& state, Engine engine) {
  const Backend& b = BackendOf(engine);
  const OneProcessor pinned;   // first: it must outlive every thread below
  std::unique_ptr<ProcessFloor> process;
  if (engine == Engine::kRedis) process = std::make_unique<ProcessFloor>(b);
  ThreadFloor thread(b);
  Platform platform(b, 1);
  Client client(b, platform.requestQueue());
  if (!platform.started() || !client.connected()) {
    state.SkipWithError("emulator or connect failed");
    return;
  }
  std::vector<Leg> legs;
  if (process) legs.push_back({"floor_process", [&] { return process->client->Call(kRequestBody.data(), kRequestPacket, kSmallAnswer); }});
  legs.push_back({"floor_thread", [&] { return thread.Call(); }});
  legs.push_back({"call", [&] { return client.Echo(); }});
  RunLegs(state, legs);
}

// state.range(0) handles, each on its own thread, sharing one emulator with as many workers;
// every iteration makes the same number of calls in all, split evenly among the handles.
void BM_CallThroughput(benchmark::State& state, Engine engine) {
  constexpr int kCallsPerIteration = 800;
  const int handles = static_cast<int>(state.range(0));
  const Backend& b = BackendOf(engine);
  Platform platform(b, handles);
  std::vector<std::unique_ptr<Client>> clients;
  for (int k = 0; k < handles; ++k) clients.push_back(std::make_unique<Client>(b, platform.requestQueue()));
  const bool ready = platform.started() &&
                     std::all_of(clients.begin(), clients.end(), [](const auto& c) { return c->connected(); });
  if (!ready) {
    state.SkipWithError("emulator or connect failed");
    return;
  }
  const int perHandle = kCallsPerIteration / handles;
  std::atomic<bool> failed{false};
  for (auto _ : state) {
    std::vector<std::thread> running;
    for (auto& c : clients) {
      running.emplace_back([&c, &failed, perHandle] {
        for (int i = 0; i < perHandle && !failed; ++i) {
          if (!c->Echo()) failed = true;
        }
      });
    }
    for (auto& t : running) t.join();
  }
  if (failed) state.SkipWithError("echo call failed");
  state.SetItemsProcessed(state.iterations() * handles * perHandle);
}

// An answer of state.range(0) rows x 10 columns x 100-byte cells, walked cell by cell: 20 rows
// fit in one answer part, 1000 and 10000 rows come in over 30 and over 300 parts. Its floor pulls
// the cell bytes (and a separator each) in full bare packets from a responder thread. Reports the
// walk's cell bytes per second and the client thread's heap high-water mark above its level
// before the call; the emulator's copy of the answer is made on its own threads, not counted.
void BM_LargeAnswer(benchmark::State& state, Engine engine) {
  constexpr int kCols = 10, kCellLen = 100;
  const int rows = static_cast<int>(state.range(0));
  const long long cellBytes = static_cast<long long>(rows) * kCols * kCellLen;
  const int packets = static_cast<int>((cellBytes + rows * kCols + kPacketText - 1) / kPacketText);
  const Backend& b = BackendOf(engine);
  ThreadFloor floor(b, {packets, kHeaderBytes + kPacketText});
  Platform platform(b, 1);
  Client client(b, platform.requestQueue());
  if (!platform.started() || !client.connected()) {
    state.SkipWithError("emulator or connect failed");
    return;
  }
  long long peak = 0;
  std::vector<Leg> legs;
  legs.push_back({"floor_thread", [&] { return floor.Call(); }});
  legs.push_back({"call", [&] {
                    heap::CountedScope counted;
                    const bool whole = client.WalkRows(rows, kCols, kCellLen) == cellBytes;
                    peak = std::max(peak, counted.PeakGrowth());
                    return whole;
                  }});
  RunLegs(state, legs);
  state.counters["answer_MB"] = static_cast<double>(cellBytes) / 1e6;
  state.counters["call_MB_per_s"] = static_cast<double>(cellBytes) * state.iterations() / legs.back().seconds / 1e6;
  if (CALL_BENCH_HEAP) state.counters["client_heap_peak_KiB"] = static_cast<double>(peak) / 1024.0;
}

BENCHMARK_CAPTURE(BM_CallLatency, embedded, Engine::kEmbedded)->UseRealTime();
BENCHMARK_CAPTURE(BM_CallLatency, redis, Engine::kRedis)->UseRealTime();
BENCHMARK_CAPTURE(BM_CallThroughput, embedded, Engine::kEmbedded)
    ->Arg(1)->Arg(4)->Arg(16)->ArgName("handles")->UseRealTime();
BENCHMARK_CAPTURE(BM_CallThroughput, redis, Engine::kRedis)
    ->Arg(1)->Arg(4)->Arg(16)->ArgName("handles")->UseRealTime();
BENCHMARK_CAPTURE(BM_LargeAnswer, embedded, Engine::kEmbedded)
    ->Arg(20)->Arg(1000)->Arg(10000)->ArgName("rows")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_LargeAnswer, redis, Engine::kRedis)
    ->Arg(20)->Arg(1000)->Arg(10000)->ArgName("rows")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
