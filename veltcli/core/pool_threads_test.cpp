// Handles taken from and returned to the pool by many threads at once: no handle is ever held by
// two callers, the pool never exceeds its capacity, and every session is accounted for.
#include <gtest/gtest.h>

#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "core/frame_state.h"
#include "veltcli.h"

namespace {

TEST(PoolThreads, ConcurrentInitAndExit) {
  constexpr int kThreads = 4;
  constexpr int kRounds = 300;
  constexpr int kCapacity = 3;
  const std::size_t live = velt::LiveSessionCount();
  velt::Pool().SetCapacity(kCapacity);

  std::mutex lock;
  std::set<VELTCLI_HANDLE> inUse;
  std::atomic<int> doubleUse{0};
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kRounds; ++i) {
        VELTCLI_HANDLE h = nullptr;
        if (VELTCLI_Init(&h) != 0) { ++failures; continue; }
        {
          std::lock_guard<std::mutex> guard(lock);
          if (!inUse.insert(h).second) ++doubleUse;
        }
        const int value = t * 1000 + i;
        int back = -1;
        VELTCLI_SetOption(h, 2, &value);
        VELTCLI_GetOption(h, 2, &back);
        if (back != value) ++doubleUse;
        {
          std::lock_guard<std::mutex> guard(lock);
          inUse.erase(h);
        }
        VELTCLI_Exit(h);
      }
    });
  }
  for (std::thread& th : threads) th.join();

  EXPECT_EQ(doubleUse.load(), 0);
  EXPECT_EQ(failures.load(), 0);
  EXPECT_LE(velt::Pool().Count(), static_cast<std::size_t>(kCapacity));
  EXPECT_EQ(velt::LiveSessionCount(), live + velt::Pool().Count());
  velt::Pool().SetCapacity(0);
  velt::Pool().DestroyAll();
  EXPECT_EQ(velt::LiveSessionCount(), live);
}

}  // namespace
