// Memory exhaustion along one whole service call: request building, the exchange (request packet,
// receive buffer, packet area, joining), the answer stored in the packet buffer and the cursor
// walking a multi-part answer. Each allocation of the client is failed in turn; every step must
// answer its documented memory code (or succeed), and the handle must work again afterwards.
// Against the emulator on the embedded queue manager; the sanitizer build checks for leaks.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "emulator.h"
#include "support/alloc_hook.h"
#include "veltcli.h"

// operator new of this program: while armed, the n-th allocation of the test's own thread (the
// caller's, not the emulator's) throws std::bad_alloc, as it would when memory runs out; a throw
// inside a noexcept path would end the process.
std::atomic<int> g_newCountdown{0};
thread_local bool t_callerThread = false;

void* operator new(std::size_t size) {
  if (t_callerThread && g_newCountdown.load() > 0 && g_newCountdown.fetch_sub(1) == 1) throw std::bad_alloc();
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
// Every form of the replacement is malloc and free; the compiler only sees free under delete's name.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpragmas"
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
#pragma GCC diagnostic pop

namespace {

std::atomic<int> g_countdown{0};
bool FailNth(std::size_t) { return g_countdown.fetch_sub(1) != 1; }
bool Refused() { return g_countdown.load() <= 0; }

struct Steps {
  int begin = -9, set = -9, call = -9, open = -9, rows = 0, fetch = 0;
};

// One call of the "rows" program and a walk of its rows; the first failure ends the walk.
Steps RunOnce(VELTCLI_HANDLE h) {
  Steps s;
  if ((s.begin = VELTCLI_BeginWrite(h)) != 0) return s;
  if ((s.set = VELTCLI_SetValue(h, "ROWS", "1500")) != 0) return s;
  VELTCLI_SetValue(h, "COLS", "3");
  if ((s.call = VELTCLI_CallProgramAndCommit(h, "rows", nullptr)) != 0) return s;
  if ((s.open = VELTCLI_RsOpen(h)) != 0) return s;
  while ((s.fetch = VELTCLI_RsFetchRow(h)) == 0) ++s.rows;
  if (s.fetch == 1) s.fetch = 0;   // the end of the table
  return s;
}

// A connected handle that has made no call yet: its receive buffer and packet area are still to
// be allocated. With option 17 off the whole answer is one part, so the buffers must grow.
VELTCLI_HANDLE FreshHandle(int windowEnds) {
  VELTCLI_HANDLE h = nullptr;
  EXPECT_EQ(VELTCLI_Init(&h), 0);
  tagVELTConnectOption e;
  std::memset(&e, 0, sizeof e);
  std::strcpy(e.szServerName, "main");
  std::strcpy(e.szAddress, "inproc:alloc");
  std::strcpy(e.szSendQName, "ALLOC.REQ");
  std::strcpy(e.szReceiveQName, "ALLOC.ANS");
  VELTCLI_SetConnectOption(h, e);
  EXPECT_EQ(VELTCLI_ConnectServer(h, "main", "u", "p"), 0);
  VELTCLI_SetCliTimeOut(h, 10);
  VELTCLI_SetOptions(h, VELTCLI_OPTION_WINDOW_ENDS, &windowEnds, 4);
  return h;
}

TEST(CallPathAllocation, EveryAllocationFailsWithItsDocumentedCode) {
  veltemu::EmulatorConfig config;
  config.address = "inproc:alloc";
  config.requestQueue = "ALLOC.REQ";
  config.workers = 1;
  config.log = nullptr;
  veltemu::Emulator emulator(config);
  ASSERT_EQ(emulator.Start(), 0);

  for (const int windowEnds : {1, 0}) {
    SCOPED_TRACE(windowEnds != 0 ? "answer in parts" : "answer whole");
    int refusals = 0;
    for (int n = 1; n < 2000; ++n) {
      VELTCLI_HANDLE h = FreshHandle(windowEnds);
      g_countdown = n;
      velt::SetAllocationHook(&FailNth);
      const Steps s = RunOnce(h);
      velt::SetAllocationHook(nullptr);
      if (!Refused()) {
        EXPECT_EQ(s.rows, 1500) << "nothing refused, so the whole walk";
        VELTCLI_Exit(h);
        break;
      }
      ++refusals;
      SCOPED_TRACE("allocation " + std::to_string(n));
      // The step that met the refusal answers its memory code; those before it succeeded.
      if (s.begin != 0) {
        EXPECT_EQ(s.begin, 1);
      } else if (s.set != 0) {
        EXPECT_EQ(s.set, 1);
      } else if (s.call != 0) {
        EXPECT_TRUE(s.call == -1 || s.call == 1 || s.call == 100) << s.call;
      } else if (s.open != 0) {
        EXPECT_EQ(s.open, 1);
      } else {
        EXPECT_TRUE(s.fetch == 2 || s.fetch == 4) << s.fetch;
      }
      // The handle recovers once memory is back (the rest of a broken answer is never read: it
      // belongs to a message no one asks for any more).
      EXPECT_EQ(RunOnce(h).rows, 1500);
      VELTCLI_Exit(h);
    }
    std::printf("option 17 = %d: %d allocations of the call path refused in turn\n", windowEnds, refusals);
    EXPECT_GE(refusals, 3) << "request packet, receive buffer, packet area at least";
  }
  emulator.Stop();
}

TEST(CallPathAllocation, AThrowingAllocationNeverEndsTheProcess) {
  veltemu::EmulatorConfig config;
  config.address = "inproc:alloc";
  config.requestQueue = "ALLOC.REQ";
  config.workers = 1;
  config.log = nullptr;
  veltemu::Emulator emulator(config);
  ASSERT_EQ(emulator.Start(), 0);
  int thrown = 0;
  t_callerThread = true;
  for (int n = 1; n < 500; ++n) {
    VELTCLI_HANDLE h = FreshHandle(1);
    g_newCountdown = n;
    RunOnce(h);   // any documented result; the process must survive
    const bool reached = g_newCountdown.load() <= 0;
    g_newCountdown = 0;
    EXPECT_EQ(RunOnce(h).rows, 1500);
    VELTCLI_Exit(h);
    if (!reached) break;
    ++thrown;
  }
  t_callerThread = false;
  std::printf("%d allocations with operator new refused in turn\n", thrown);
  emulator.Stop();
}

}  // namespace
