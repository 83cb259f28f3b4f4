// The subscription store: one internal number per user id and topic for the life of the process,
// the latest platform number, cut texts, removal, and the map it stands on.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "infocenter/info_center_data.h"
#include "infocenter/lmap_struct.h"

namespace {

using velt::CInfoCenterData;
using velt::ST_NB_INFOCENTERDATA;

tagInfoControl Control(const std::string& user, const std::string& topic) {
  tagInfoControl c;
  std::memset(&c, 0, sizeof c);
  c.nSize = sizeof c;
  std::strncpy(c.szUserId, user.c_str(), sizeof c.szUserId - 1);
  std::strncpy(c.szTopicName, topic.c_str(), sizeof c.szTopicName - 1);
  return c;
}

long long Platform(long long internalNumber) {
  long long platform = -7;
  return CInfoCenterData::Instance().Find(internalNumber, &platform) ? platform : -7;
}

TEST(InfoCenterData, OnePairKeepsOneNumberWithTheLatestPlatformNumber) {
  CInfoCenterData& store = CInfoCenterData::Instance();
  EXPECT_EQ(&store, &CInfoCenterData::Instance());
  ST_NB_INFOCENTERDATA record{};
  record.n64PlatformSubNo = 11;
  tagInfoControl first = Control("store-u1", "store-t1");
  const long long n = store.Register(first, record);
  ASSERT_GT(n, 0);
  // Another control structure, no number in it: found by user id and topic.
  tagInfoControl second = Control("store-u1", "store-t1");
  record.n64PlatformSubNo = 12;
  EXPECT_EQ(store.Register(second, record), n);
  EXPECT_EQ(Platform(n), 12);
  // Topic and user compare exactly.
  EXPECT_NE(store.Register(Control("store-u1", "STORE-T1"), record), n);
  EXPECT_NE(store.Register(Control("store-u2", "store-t1"), record), n);
  // Empty texts are refused.
  EXPECT_EQ(store.Register(Control("", "store-t1"), record), -1);
  EXPECT_EQ(store.Register(Control("store-u1", ""), record), -1);

  EXPECT_EQ(store.Remove(n), 0);
  EXPECT_EQ(store.Remove(n), -1);
  EXPECT_EQ(Platform(n), -7);
  // Numbers are never reused: the pair comes back under a new one.
  EXPECT_GT(store.Register(first, record), n);
}

TEST(InfoCenterData, TextsPastTheStoredLengthGetANewNumberEachTime) {
  CInfoCenterData& store = CInfoCenterData::Instance();
  ST_NB_INFOCENTERDATA record{};
  const std::string topic(512, 'p');
  const long long a = store.Register(Control("store-long", topic), record);
  const long long b = store.Register(Control("store-long", topic), record);
  EXPECT_GT(a, 0);
  EXPECT_NE(a, b);
  // 256 characters still fit and compare equal.
  const std::string fits(256, 'q');
  EXPECT_EQ(store.Register(Control("store-long", fits), record), store.Register(Control("store-long", fits), record));
}

TEST(InfoCenterData, ConcurrentSubscribersShareOneNumberPerPair) {
  constexpr int kThreads = 8;
  std::vector<long long> numbers(kThreads * 2);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &numbers] {
      ST_NB_INFOCENTERDATA record{};
      record.n64PlatformSubNo = t;
      for (int i = 0; i < 50; ++i) {
        numbers[t * 2] = CInfoCenterData::Instance().Register(Control("store-mt", "topic-a"), record);
        numbers[t * 2 + 1] = CInfoCenterData::Instance().Register(Control("store-mt", "topic-b"), record);
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 1; t < kThreads; ++t) {
    EXPECT_EQ(numbers[t * 2], numbers[0]);
    EXPECT_EQ(numbers[t * 2 + 1], numbers[1]);
  }
  EXPECT_NE(numbers[0], numbers[1]);
}

TEST(LMapStruct, OwnsItsElementsAndWalksInKeyOrder) {
  velt::CLMapStruct<int, long long> map;
  long long value = 5;
  EXPECT_EQ(map.Insert(2, &value, true), 0);
  value = 6;
  EXPECT_EQ(map.Insert(2, &value, true), -1);   // the key exists: the first stays
  EXPECT_EQ(map.Insert(1, new long long(4), false), 0);
  ASSERT_NE(map.Find(2), nullptr);
  EXPECT_EQ(*map.Find(2), 5);
  map.Rewind();
  int key = 0;
  long long* element = nullptr;
  ASSERT_TRUE(map.Next(&key, &element));
  EXPECT_EQ(key, 1);
  EXPECT_TRUE(map.Erase(2));   // the entry under the cursor: the cursor moves past it
  EXPECT_FALSE(map.Next(&key, &element));
  EXPECT_FALSE(map.Erase(2));
  long long* none = nullptr;
  EXPECT_EQ(map.FreeElement(&none), -1);
  map.Clear();
  EXPECT_EQ(map.Size(), 0u);
  map.Rewind();
  EXPECT_FALSE(map.Next(&key, &element));
}

}  // namespace
