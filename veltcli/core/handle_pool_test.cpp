// The handle pool on its own: first in first out, capacity rules, unload destroying handles, and
// the capacity read from the environment text.
#include <gtest/gtest.h>

#include "core/client_handle.h"
#include "core/frame_state.h"
#include "support/process_lock.h"

namespace {

TEST(HandlePool, FifoWithCapacityTwo) {
  velt::HandlePool pool(velt::ProcessLock(), 2);
  ClientHandle* a = velt::CreateClientHandle();
  ClientHandle* b = velt::CreateClientHandle();
  ClientHandle* c = velt::CreateClientHandle();
  ASSERT_TRUE(a && b && c);
  EXPECT_TRUE(pool.Park(a));
  EXPECT_TRUE(pool.Park(b));
  EXPECT_FALSE(pool.Park(c));
  velt::DestroyClientHandle(c);
  EXPECT_EQ(pool.Count(), 2u);
  EXPECT_EQ(pool.Take(), a);
  EXPECT_EQ(pool.Take(), b);
  EXPECT_EQ(pool.Take(), nullptr);
  velt::DestroyClientHandle(a);
  velt::DestroyClientHandle(b);
}

TEST(HandlePool, ZeroOrNegativeCapacityPoolsNothing) {
  for (const int capacity : {0, -1, -2147483647}) {
    velt::HandlePool pool(velt::ProcessLock(), capacity);
    ClientHandle* h = velt::CreateClientHandle();
    EXPECT_FALSE(pool.Park(h)) << capacity;
    EXPECT_FALSE(pool.PoolingOn());
    EXPECT_EQ(pool.Capacity(), capacity) << "read back as stored";
    velt::DestroyClientHandle(h);
  }
}

TEST(HandlePool, DestroyingThePoolDestroysParkedSessions) {
  const std::size_t before = velt::LiveSessionCount();
  {
    velt::HandlePool pool(velt::ProcessLock(), 8);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(pool.Park(velt::CreateClientHandle()));
    EXPECT_EQ(velt::LiveSessionCount(), before + 3);
  }
  EXPECT_EQ(velt::LiveSessionCount(), before);
}

TEST(HandlePool, CapacityFromEnvironmentText) {
  const struct {
    const char* text;
    int capacity;
  } cases[] = {{nullptr, 0}, {"5000", 1024}, {"1024", 1024}, {"1023", 1023}, {"-3", 0},
               {"abc", 0},   {" 12x", 12},   {"99999999999", 1024}, {"", 0}};
  for (const auto& c : cases) {
    EXPECT_EQ(velt::PoolCapacityFromText(c.text), c.capacity) << (c.text ? c.text : "(unset)");
  }
}

}  // namespace
