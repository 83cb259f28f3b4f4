// A group holding a component travels as a "J1.0" text to a second store; every allocation of the
// way fails once in turn and must come back as the memory code, never as a wrong text.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "rgcomp/rpg_comp_pack.h"

namespace {

// Counts down the allocations while armed; the one reaching zero fails.
std::atomic<long> g_allocationsLeft{-1};
std::atomic<bool> g_failed{false};

void* Allocate(std::size_t bytes) {
  const long left = g_allocationsLeft.load();
  if (left >= 0 && g_allocationsLeft.fetch_sub(1) == 0) {
    g_failed = true;
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(bytes > 0 ? bytes : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

// The whole family is replaced so that every new pairs with its delete (sanitizers check it).
void* operator new(std::size_t bytes) { return Allocate(bytes); }
void* operator new[](std::size_t bytes) { return Allocate(bytes); }
void* operator new(std::size_t bytes, const std::nothrow_t&) noexcept {
  try {
    return Allocate(bytes);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t bytes, const std::nothrow_t& tag) noexcept { return operator new(bytes, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

using namespace velt;

const char kOrderText[] = "J1.0[[\"item\",\"client\"],[\"A1\",{\"id\":\"7\"}]]\n";

// The sending side of the example: component client, group order with one row holding it.
int WriteOrder(IRpgComp& store, std::string& text) {
  int rc = kRpgOk;
  for (auto step : {+[](IRpgComp& s) { return s.CBCreate("client"); },
                    +[](IRpgComp& s) { return s.CBSetValue("id", "7"); },
                    +[](IRpgComp& s) { return s.RGCreate("order", "item,client"); },
                    +[](IRpgComp& s) { return s.RGAddRow(); },
                    +[](IRpgComp& s) { return s.RGSetColByName("item", "A1"); },
                    +[](IRpgComp& s) { return s.RGSetSubCBRGValue(1, 0); }}) {
    if ((rc = step(store)) != kRpgOk) return rc;
  }
  return store.RGWrite("order", text);
}

// The receiving side: open, fetch, extract the component of column 1, read its member.
int ReadOrder(IRpgComp& store, const std::string& text, std::string& id) {
  int rc = store.RGOpen("order", text.c_str(), static_cast<long>(text.size()));
  if (rc == kRpgOk) rc = store.RGFetchRow();
  if (rc == kRpgOk) rc = store.RGGetSubCBRGValue(1, 0);
  char buffer[16] = {};
  if (rc == kRpgOk) rc = store.CBGetValue("id", buffer, sizeof buffer);
  if (rc == kRpgOk) id = buffer;
  return rc;
}

TEST(NestedExchange, GroupHoldingAComponentTravelsToASecondStore) {
  const std::unique_ptr<IRpgComp> sender = NewRpgCompPack();
  const std::unique_ptr<IRpgComp> receiver = NewRpgCompPack();
  ASSERT_TRUE(sender && receiver);
  std::string text;
  ASSERT_EQ(WriteOrder(*sender, text), kRpgOk);
  EXPECT_EQ(text, kOrderText);

  std::string id;
  ASSERT_EQ(ReadOrder(*receiver, text, id), kRpgOk);
  EXPECT_EQ(id, "7");
  std::string back;
  ASSERT_EQ(receiver->CBWrite("client", back), kRpgOk);
  EXPECT_EQ(back, "J1.0{\"id\":\"7\"}\n");
  // An answer's group still in the store refuses a second open.
  EXPECT_EQ(receiver->RGOpen("order", text.data(), static_cast<long>(text.size())), kRGExists);
}

TEST(NestedExchange, GbkTextInNamesAndValuesCrossesUnchanged) {
  const std::string stock = "\xD6\xA4\xC8\xAF";
  RpgCompPack sender;
  ASSERT_EQ(sender.CBCreate(stock.c_str()), kRpgOk);
  ASSERT_EQ(sender.CBSetValue(stock.c_str(), (stock + "\x80\xFF").c_str()), kRpgOk);
  ASSERT_EQ(sender.RGCreate("g", ("a," + stock).c_str()), kRpgOk);
  ASSERT_EQ(sender.RGAddRow(), kRpgOk);
  ASSERT_EQ(sender.RGSetCol(0, stock.c_str()), kRpgOk);
  ASSERT_EQ(sender.RGSetSubCBRGValueByName(stock.c_str(), 0), kRpgOk);
  std::string text;
  ASSERT_EQ(sender.RGWrite("g", text), kRpgOk);
  EXPECT_EQ(text, "J1.0[[\"a\",\"" + stock + "\"],[\"" + stock + "\",{\"" + stock + "\":\"" + stock +
                      "\x80\xFF\"}]]\n");

  RpgCompPack receiver;
  ASSERT_EQ(receiver.RGOpen("g", text.data(), static_cast<long>(text.size())), kRpgOk);
  ASSERT_EQ(receiver.RGFetchRow(), kRpgOk);
  char buffer[32];
  ASSERT_EQ(receiver.RGGetColByName("a", buffer, sizeof buffer), kRpgOk);
  EXPECT_EQ(buffer, stock);
  ASSERT_EQ(receiver.RGGetSubCBRGValueByName(stock.c_str(), 0), kRpgOk);
  ASSERT_EQ(receiver.CBGetValue(stock.c_str(), buffer, sizeof buffer), kRpgOk);
  EXPECT_EQ(buffer, stock + "\x80\xFF");
}

// Runs `operation` on fresh stores with the n-th allocation failing, for n = 0, 1, ... until it
// completes untouched; every run must end in success with the expected result or in the memory code.
template <typename Operation>
void FailEachAllocationInTurn(const std::string& expected, Operation operation) {
  for (long n = 0;; ++n) {
    RpgCompPack sender;
    RpgCompPack receiver;
    std::string result;
    result.reserve(64);   // the test's own string must not take the failing allocation
    g_failed = false;
    g_allocationsLeft = n;
    const int rc = operation(sender, receiver, result);
    g_allocationsLeft = -1;
    if (!g_failed) {
      EXPECT_EQ(rc, kRpgOk) << n;
      EXPECT_EQ(result, expected);
      EXPECT_GT(n, 10) << "the way allocates";
      return;
    }
    ASSERT_TRUE(rc == kRpgOk || rc == kRpgNoMemory) << "allocation " << n << ": " << rc;
    if (rc == kRpgOk) {
      ASSERT_EQ(result, expected) << n;   // a failure absorbed must not show
    }
  }
}

TEST(NestedExchange, EveryAllocationFailureOnTheWayIsTheMemoryCode) {
  g_allocationsLeft = 0;
  const std::unique_ptr<IRpgComp> none = NewRpgCompPack();
  g_allocationsLeft = -1;
  EXPECT_EQ(none, nullptr);

  FailEachAllocationInTurn(kOrderText, [](RpgCompPack& sender, RpgCompPack&, std::string& text) {
    return WriteOrder(sender, text);
  });
  const std::string text = kOrderText;
  FailEachAllocationInTurn("7", [&text](RpgCompPack&, RpgCompPack& receiver, std::string& id) {
    return ReadOrder(receiver, text, id);
  });
}

}  // namespace
