// Memory exhaustion: failing each allocation of handle creation in turn, and the pool's own
// allocation, must give the documented results and leave nothing behind.
#include <gtest/gtest.h>

#include <atomic>

#include "support/alloc_hook.h"
#include "core/client_handle.h"
#include "core/frame_state.h"
#include "veltcli.h"

namespace {

std::atomic<int> g_countdown{0};
std::atomic<bool> g_failed{false};

// Lets countdown - 1 allocations pass, fails the next one, then lets all pass again.
bool FailNth(std::size_t) {
  if (g_countdown.fetch_sub(1) == 1) {
    g_failed = true;
    return false;
  }
  return true;
}

class AllocationFailure : public ::testing::Test {
 protected:
  void Arm(int n) {
    g_failed = false;
    g_countdown = n;
    velt::SetAllocationHook(&FailNth);
  }
  void TearDown() override {
    velt::SetAllocationHook(nullptr);
    velt::Pool().SetCapacity(0);
    velt::Pool().DestroyAll();
  }
};

TEST_F(AllocationFailure, InitFailsCleanlyAtEveryAllocation) {
  const std::size_t live = velt::LiveSessionCount();
  int refused = 0;
  int withoutBuffer = 0;
  for (int n = 1; n < 100; ++n) {
    Arm(n);
    VELTCLI_HANDLE h = reinterpret_cast<VELTCLI_HANDLE>(0x1);
    const int rc = VELTCLI_Init(&h);
    velt::SetAllocationHook(nullptr);
    if (!g_failed) {
      ASSERT_EQ(rc, 0);
      EXPECT_EQ(h->session->packet.Capacity(), 32000);
      VELTCLI_Exit(h);
      break;
    }
    if (rc == 1) {
      EXPECT_EQ(h, nullptr);
      EXPECT_EQ(velt::LiveSessionCount(), live) << "nothing half-built stays registered";
      ++refused;
    } else {
      // Only the packet buffer may fail without failing the handle: the session then has none.
      ASSERT_EQ(rc, 0);
      EXPECT_EQ(h->session->packet.Capacity(), 0);
      int len = -1;
      EXPECT_EQ(VELTCLI_GetCommLen(h, &len), 0);
      EXPECT_EQ(len, 0);
      int code = 0;
      EXPECT_EQ(VELTCLI_GetErrorCode(h, &code), 1);
      VELTCLI_Exit(h);
      ++withoutBuffer;
    }
  }
  EXPECT_GE(refused, 3) << "handle, session and store allocations were all exercised";
  EXPECT_EQ(withoutBuffer, 1);
  EXPECT_EQ(velt::LiveSessionCount(), live);
}

TEST_F(AllocationFailure, ExitDestroysWhenThePoolCannotGrow) {
  VELTCLI_HANDLE h;
  ASSERT_EQ(VELTCLI_Init(&h), 0);
  const int capacity = 4;
  VELTCLI_SetOption(h, 20, &capacity);
  const std::size_t live = velt::LiveSessionCount();
  Arm(1);
  EXPECT_EQ(VELTCLI_Exit(h), 0);
  EXPECT_TRUE(g_failed);
  EXPECT_EQ(velt::Pool().Count(), 0u);
  EXPECT_EQ(velt::LiveSessionCount(), live - 1);
}

}  // namespace
