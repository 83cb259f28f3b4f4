// The handle table: small values, stale and made-up values refused, a full table said so.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "handle_table.h"

namespace {

using velt::lunqcli::HandleTable;

// The table never dereferences the clients it holds, so any distinct non-null values do.
VELTCLI_HANDLE Fake(std::uintptr_t n) { return reinterpret_cast<VELTCLI_HANDLE>(n * 16); }

TEST(HandleTable, HandsOutSmallValuesAndRefusesStaleAndForeignOnes) {
  HandleTable t;
  const LUNQCLI_HANDLE a = t.Add(Fake(1)), b = t.Add(Fake(2));
  EXPECT_EQ(a, 1);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(t.Find(a), Fake(1));
  EXPECT_EQ(t.Remove(a), Fake(1));
  EXPECT_EQ(t.Find(a), nullptr);
  EXPECT_EQ(t.Remove(a), nullptr) << "released twice";

  // The entry comes back under another value; the old value stays refused.
  const LUNQCLI_HANDLE c = t.Add(Fake(3));
  EXPECT_NE(c, a);
  EXPECT_EQ(c & 0xFFFF, a & 0xFFFF);
  EXPECT_EQ(t.Find(a), nullptr);
  EXPECT_EQ(t.Find(c), Fake(3));

  for (LUNQCLI_HANDLE foreign : {LUNQCLI_HANDLE{0}, LUNQCLI_HANDLE{-1}, LUNQCLI_HANDLE{3}, c + 65536,
                                 LUNQCLI_HANDLE{65536}, static_cast<LUNQCLI_HANDLE>(INT64_C(1) << 40),
                                 reinterpret_cast<LUNQCLI_HANDLE>(Fake(2))}) {
    EXPECT_EQ(t.Find(foreign), nullptr) << foreign;
    EXPECT_EQ(t.Remove(foreign), nullptr) << foreign;
  }
  EXPECT_EQ(t.Find(b), Fake(2)) << "refusals change nothing";
}

TEST(HandleTable, EveryValueFitsAPositiveIntAcrossGenerations) {
  HandleTable t;
  LUNQCLI_HANDLE last = 0;
  std::vector<LUNQCLI_HANDLE> seen;
  for (std::uint32_t i = 0; i < HandleTable::kGenerations; ++i) {
    last = t.Add(Fake(1));
    ASSERT_GT(last, 0);
    ASSERT_LE(last, INT32_MAX);
    if (i < 3) seen.push_back(last);
    ASSERT_EQ(t.Remove(last), Fake(1));
  }
  EXPECT_EQ(last, static_cast<LUNQCLI_HANDLE>((HandleTable::kGenerations - 1) << 16 | 1)) << "entry 1, last generation";
  EXPECT_EQ(t.Add(Fake(1)), seen[0]) << "values return only after every generation";
}

TEST(HandleTable, AFullTableRefusesMore) {
  HandleTable t;
  for (std::uint32_t i = 1; i <= HandleTable::kMaxEntries; ++i) ASSERT_EQ(t.Add(Fake(i)), static_cast<LUNQCLI_HANDLE>(i));
  EXPECT_EQ(t.Add(Fake(1)), 0);
  ASSERT_EQ(t.Remove(7), Fake(7));
  EXPECT_GT(t.Add(Fake(99)), 0);
}

TEST(HandleTable, ThreadsAddingAndReleasingAtOnceNeverSeeAnotherThreadsClient) {
  HandleTable t;
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (std::uintptr_t id = 1; id <= 4; ++id) {
    threads.emplace_back([&t, &wrong, id] {
      for (int i = 0; i < 5000; ++i) {
        const LUNQCLI_HANDLE h = t.Add(Fake(id));
        if (h == 0 || t.Find(h) != Fake(id) || t.Remove(h) != Fake(id) || t.Find(h) != nullptr) ++wrong;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
