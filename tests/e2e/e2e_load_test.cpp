// The load ledger: handles on threads each run a stream of mixed calls against the emulator —
// echoes of random sizes across packet and part boundaries, multi-part row answers, asynchronous
// calls collected with GetReply, transactions committed or rolled back and checked through
// kv.get — and every call is booked as answered, failed, timed out or mismatched. A healthy run
// has only answered calls. The test command runs 4 handles x 500 calls on each engine;
// VELT_LEDGER_HANDLES and VELT_LEDGER_CALLS give the full run (docs/testing.md).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "e2e_fixture.h"

namespace velt::e2e {
namespace {

int FromEnvironment(const char* name, int fallback) {
  const char* text = std::getenv(name);
  const int value = text != nullptr ? std::atoi(text) : 0;
  return value > 0 ? value : fallback;
}

enum class Outcome { kAnswered, kFailed, kTimedOut, kMismatched };

struct Ledger {
  std::atomic<int> answered{0}, failed{0}, timedOut{0}, mismatched{0};
  std::mutex lock;
  std::map<std::string, int> faults;   // "kind: code or what differed" -> count

  void Book(Outcome o, const char* kind, const std::string& detail = "") {
    switch (o) {
      case Outcome::kAnswered: ++answered; return;
      case Outcome::kFailed: ++failed; break;
      case Outcome::kTimedOut: ++timedOut; break;
      case Outcome::kMismatched: ++mismatched; break;
    }
    std::lock_guard<std::mutex> g(lock);
    ++faults[std::string(kind) + ": " + detail];
  }
  void BookCode(int rc, const char* kind) {
    Book(rc == 2033 ? Outcome::kTimedOut : Outcome::kFailed, kind, "code " + std::to_string(rc));
  }
};

// One handle's stream of calls.
class Caller {
 public:
  Caller(const tagVELTConnectOption& entry, Ledger& ledger, int thread)
      : ledger_(ledger), thread_(thread), random_(static_cast<unsigned>(7919 * (thread + 1))) {
    connected_ = c_.Connect(entry) == 0;
    VELTCLI_SetCliTimeOut(c_.h, 30);
  }
  bool connected() const { return connected_; }

  void Run(int calls) {
    for (int i = 0; i < calls; ++i) {
      serial_ = i;
      switch (random_() % 4) {
        case 0: Echo(); break;
        case 1: Rows(); break;
        case 2: Async(); break;
        default: Transaction(); break;
      }
    }
  }

 private:
  std::string Token() const { return std::to_string(thread_) + "/" + std::to_string(serial_); }

  // Printable text with the characters the escapes rewrite.
  std::string Text(std::size_t size) {
    static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz0123456789&=@,;% ";
    std::string s(size, ' ');
    for (auto& ch : s) ch = kAlphabet[random_() % (sizeof kAlphabet - 1)];
    return s;
  }

  // Small, around one and two packets, or larger than a part (read whole with option 17 off).
  std::size_t EchoSize() {
    switch (random_() % 4) {
      case 0: case 1: return random_() % 200;
      case 2: return (random_() % 2 == 0 ? 3900 : 7850) + random_() % 120;
      default: return 30000 + random_() % 40000;
    }
  }

  void Echo() {
    const std::string value = Text(EchoSize());
    c_.SetInt(VELTCLI_OPTION_WINDOW_ENDS, value.size() >= 25000 ? 0 : 1);
    const int rc = c_.Call("echo", {{"TOKEN", Token()}, {"V", value}});
    if (rc != 0) return ledger_.BookCode(rc, "echo");
    std::vector<char> back(value.size() + 2);   // one more than sent: a longer answer shows
    const bool same = c_.Value("TOKEN") == Token() &&
                      VELTCLI_GetValue(c_.h, "V", back.data(), static_cast<int>(value.size() + 1)) == 0 &&
                      back.data() == value;
    ledger_.Book(same ? Outcome::kAnswered : Outcome::kMismatched, "echo", "value differs");
  }

  void Rows() {
    c_.SetInt(VELTCLI_OPTION_WINDOW_ENDS, 1);
    const int rows = 1 + static_cast<int>(random_() % 3000);
    const int rc = c_.Call("rows", {{"ROWS", std::to_string(rows)}, {"COLS", "2"}});
    if (rc != 0) return ledger_.BookCode(rc, "rows");
    int seen = 0;
    bool cellsRight = VELTCLI_RsOpen(c_.h) == 0;
    char cell[12192];
    while (cellsRight && VELTCLI_RsFetchRow(c_.h) == 0) {
      ++seen;
      const std::string expected = "r" + std::to_string(seen) + "c1";   // then padding, if any
      cellsRight = VELTCLI_RsGetCol(c_.h, 1, cell) == 0 && std::strncmp(cell, expected.c_str(), expected.size()) == 0 &&
                   (cell[expected.size()] < '0' || cell[expected.size()] > '9');
    }
    ledger_.Book(cellsRight && seen == rows ? Outcome::kAnswered : Outcome::kMismatched, "rows",
                 "rows or cells differ");
  }

  void Async() {
    VELTCLI_BeginWrite(c_.h);
    VELTCLI_SetValue(c_.h, "TOKEN", Token().c_str());
    tagAsyncCall call;
    std::memset(&call, 0, sizeof call);
    int rc = VELTCLI_ACallProgramAndCommit(c_.h, "echo", &call, nullptr);
    if (rc != 0) return ledger_.BookCode(rc, "async send");
    call.nExpiry = 30;
    while ((call.nFlags & 1) == 0) {
      if ((rc = VELTCLI_GetReply(c_.h, &call)) != 0) return ledger_.BookCode(rc, "GetReply");
    }
    ledger_.Book(c_.Value("TOKEN") == Token() ? Outcome::kAnswered : Outcome::kMismatched, "async", "token differs");
  }

  void Transaction() {
    const bool commit = random_() % 2 == 0;
    const std::string key = "L" + Token();
    int rc = c_.Call("kv.put", {{"KEY", key}, {"VALUE", "v"}}, true);
    if (rc != 0) return ledger_.BookCode(rc, "kv.put");
    if ((rc = commit ? VELTCLI_Commit(c_.h) : VELTCLI_RollBack(c_.h)) != 0) return ledger_.BookCode(rc, "end");
    if ((rc = c_.Call("kv.get", {{"KEY", key}})) != 0) return ledger_.BookCode(rc, "kv.get");
    ledger_.Book(c_.Value("VALUE") == (commit ? "v" : "") ? Outcome::kAnswered : Outcome::kMismatched,
                 commit ? "commit" : "roll back", "stored value differs");
  }

  Ledger& ledger_;
  int thread_;
  std::mt19937 random_;
  Client c_;
  bool connected_ = false;
  int serial_ = 0;
};

TEST_P(EndToEnd, LoadLedgerAnswersEveryCallWithItsOwnAnswer) {
  const int handles = FromEnvironment("VELT_LEDGER_HANDLES", 4);
  const int calls = FromEnvironment("VELT_LEDGER_CALLS", 500);
  Ledger ledger;
  std::atomic<int> unconnected{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < handles; ++t) {
    threads.emplace_back([&, t] {
      Caller caller(entry(), ledger, t);
      if (!caller.connected()) { ++unconnected; return; }
      caller.Run(calls);
    });
  }
  for (auto& th : threads) th.join();
  std::printf("load ledger (%s, %d handles x %d calls): answered %d, failed %d, timed out %d, mismatched %d\n",
              backend().name.c_str(), handles, calls, ledger.answered.load(), ledger.failed.load(),
              ledger.timedOut.load(), ledger.mismatched.load());
  for (const auto& [fault, n] : ledger.faults) std::printf("  %s: %d\n", fault.c_str(), n);
  EXPECT_EQ(unconnected.load(), 0);
  EXPECT_EQ(ledger.answered.load(), handles * calls);
  EXPECT_EQ(ledger.mismatched.load(), 0);
  EXPECT_EQ(ledger.failed.load(), 0);
  EXPECT_EQ(ledger.timedOut.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, EndToEnd, ::testing::Values(BackendKind::kEmbedded, BackendKind::kRedis),
                         BackendName);

}  // namespace
}  // namespace velt::e2e
