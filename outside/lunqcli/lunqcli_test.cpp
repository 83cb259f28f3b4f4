// lunqcli against the emulator: the same request as through the bus client, the counted server
// lists, library-owned values, asynchronous records and the refusal of stale handles.
#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "emulator_fixture.h"
#include "lunqcli.h"
#include "veltcli.h"

namespace {

class Lunqcli : public velt::testing::EmulatorTest {
 protected:
  void SetUp() override {
    EmulatorTest::SetUp();
    // Keeps each request text as it arrived, without the one value that is the clock.
    emulator().Register("capture", [this](const veltemu::Request& r, veltemu::Answer& a) {
      std::string text = r.text();
      const auto at = text.find("&_VeltClientCallTime_=");
      if (at != std::string::npos) text.erase(at, text.find('&', at + 1) - at);
      std::lock_guard<std::mutex> lock(mutex_);
      texts_.push_back(text);
      a.SetValue("SEEN", "1");
    });
  }
  LUNQCLI_HANDLE Connected() {
    LUNQCLI_HANDLE h = 0;
    EXPECT_EQ(LUNQCLI_Init(&h), 0);
    tagLUNQConnectOption e;
    std::memcpy(&e, &entry(), sizeof e);
    EXPECT_EQ(LUNQCLI_SetConnectOption(h, e), 0);
    EXPECT_EQ(LUNQCLI_ConnectServer(h, "main", "tester", "pw"), 0);
    return h;
  }
  std::vector<std::string> texts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return texts_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> texts_;
};

TEST_F(Lunqcli, SendsTheRequestTheBusClientSends) {
  VELTCLI_HANDLE v = nullptr;
  ASSERT_EQ(VELTCLI_Init(&v), 0);
  ASSERT_EQ(VELTCLI_SetConnectOption(v, entry()), 0);
  ASSERT_EQ(VELTCLI_ConnectServer(v, "main", "tester", "pw"), 0);
  const LUNQCLI_HANDLE l = Connected();

  const unsigned char blob[] = {0, 1, 2, 255};
  VELTCLI_BeginWrite(v);
  VELTCLI_SetValue(v, "NAME", "a&b=c%d@e");
  VELTCLI_SetVal(v, "BLOB", blob, sizeof blob);
  VELTCLI_RsCreate(v, "t1", 2, "c1,c2");
  VELTCLI_RsAddRow(v);
  VELTCLI_RsSetCol(v, 1, "x");
  VELTCLI_RsSetCol(v, 2, "y");
  VELTCLI_RsSaveRow(v);
  ASSERT_EQ(VELTCLI_CallProgramAndCommit(v, "svc.capture", nullptr), 0);

  LUNQCLI_BeginWrite(l);
  LUNQCLI_SetValue(l, "NAME", "a&b=c%d@e");
  LUNQCLI_SetVal(l, "BLOB", blob, sizeof blob);
  LUNQCLI_RsCreate(l, "t1", 2, "c1,c2");
  LUNQCLI_RsAddRow(l);
  LUNQCLI_RsSetCol(l, 1, "x");
  LUNQCLI_RsSetCol(l, 2, "y");
  LUNQCLI_RsSaveRow(l);
  ASSERT_EQ(LUNQCLI_CallProgramAndCommit(l, "svc.capture"), 0);

  const auto t = texts();
  ASSERT_EQ(t.size(), 2u);
  EXPECT_NE(t[0].find("_VeltServiceIDVersion_=V1.0"), std::string::npos);
  EXPECT_EQ(t[0], t[1]);
  char seen[8] = {};
  EXPECT_EQ(LUNQCLI_GetValue(l, "SEEN", seen, 7), 0);
  EXPECT_STREQ(seen, "1");
  VELTCLI_Exit(v);
  EXPECT_EQ(LUNQCLI_Exit(l), 0);
}

TEST_F(Lunqcli, AsynchronousCallsFillTheCallersRecord) {
  const LUNQCLI_HANDLE h = Connected();
  LUNQCLI_BeginWrite(h);
  tagLUNQAsyncCall call;
  std::memset(&call, 0, sizeof call);
  ASSERT_EQ(LUNQCLI_ACallProgramAndCommit(h, "capture", &call), 0);
  EXPECT_EQ(std::strlen(call.szMsgId), 24u);
  EXPECT_STREQ(call.szId, "main");
  const long long sent = call.tTimeStamp;   // a packed field: read by value
  EXPECT_GT(sent, 0);
  call.nExpiry = 10;   // the reply's wait, as callers set it
  ASSERT_EQ(LUNQCLI_GetReply(h, &call), 0);
  const int flags = call.nFlags;
  EXPECT_EQ(flags & 1, 1);
  EXPECT_EQ(LUNQCLI_GetReply(h, &call), 1) << "already read";
  EXPECT_EQ(LUNQCLI_Cancel(h, nullptr), 0);
  LUNQCLI_Exit(h);
}

TEST_F(Lunqcli, GetOptionsCountsTheServerListRecordsInUse) {
  LUNQCLI_HANDLE h = 0;
  ASSERT_EQ(LUNQCLI_Init(&h), 0);
  tagLUNQConnectOption three[3];
  std::memset(three, 0, sizeof three);
  for (int i = 0; i < 3; ++i) std::snprintf(three[i].szServerName, 33, "s%d", i);
  ASSERT_EQ(LUNQCLI_SetOptions(h, 0, three, static_cast<int>(sizeof three)), 0);

  // Room for 20 records, guard bytes after each area: only 16 are ever written.
  std::vector<unsigned char> area(20 * sizeof(tagLUNQConnectOption), '#');
  int count = 20;
  ASSERT_EQ(LUNQCLI_GetOptions(h, 0, area.data(), &count), 0);
  EXPECT_EQ(count, 3);
  EXPECT_STREQ(reinterpret_cast<tagLUNQConnectOption*>(area.data())[2].szServerName, "s2");
  EXPECT_EQ(area[16 * sizeof(tagLUNQConnectOption)], '#');
  EXPECT_EQ(area.back(), '#');

  count = 2;   // less room than entries: what fits, counted
  ASSERT_EQ(LUNQCLI_GetOptions(h, 0, area.data(), &count), 0);
  EXPECT_EQ(count, 2);
  count = 0;
  EXPECT_EQ(LUNQCLI_GetOptions(h, 0, area.data(), &count), 1);
  EXPECT_EQ(LUNQCLI_GetOptions(h, 0, area.data(), nullptr), 1);

  // The extended list, with a gap: the count runs to the last entry in use.
  tagLUNQConnectOptionEx ex[3];
  std::memset(ex, 0, sizeof ex);
  std::strcpy(ex[0].szServerName, "e0");
  std::strcpy(ex[2].szAddress, "inproc");
  ASSERT_EQ(LUNQCLI_SetOptions(h, 12, ex, static_cast<int>(sizeof ex)), 0);
  std::vector<unsigned char> exArea(16 * sizeof(tagLUNQConnectOptionEx));
  count = 16;
  ASSERT_EQ(LUNQCLI_GetOptions(h, 12, exArea.data(), &count), 0);
  EXPECT_EQ(count, 3);

  // Other ids keep the byte length of the bus client.
  int timeout = 0, length = 4;
  ASSERT_EQ(LUNQCLI_SetCliTimeOut(h, 33), 0);
  ASSERT_EQ(LUNQCLI_GetOptions(h, 1, &timeout, &length), 0);
  EXPECT_EQ(timeout, 33);
  LUNQCLI_Exit(h);
}

TEST_F(Lunqcli, ValuePointersBelongToTheLibraryUntilTheNextSuchCall) {
  const LUNQCLI_HANDLE h = Connected();
  LUNQCLI_BeginWrite(h);
  LUNQCLI_SetValue(h, "A", "alpha");
  LUNQCLI_SetValue(h, "B", "beta");
  ASSERT_EQ(LUNQCLI_CallProgramAndCommit(h, "echo"), 0);
  unsigned char* a = nullptr;
  long aLen = 0;
  ASSERT_EQ(LUNQCLI_GetVal(h, "A", &a, &aLen), 0);
  ASSERT_EQ(aLen, 5);
  char b[16] = {};
  ASSERT_EQ(LUNQCLI_GetValue(h, "B", b, 15), 0);   // another kind of call leaves it alone
  EXPECT_EQ(std::string(reinterpret_cast<char*>(a), static_cast<std::size_t>(aLen)), "alpha");
  unsigned char* b2 = nullptr;
  long bLen = 0;
  ASSERT_EQ(LUNQCLI_GetVal(h, "B", &b2, &bLen), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(b2), static_cast<std::size_t>(bLen)), "beta");
  EXPECT_EQ(LUNQCLI_GetVal(h, "MISSING", &b2, &bLen), 13);
  LUNQCLI_Exit(h);
}

TEST_F(Lunqcli, StaleAndForeignHandlesAreRefused) {
  LUNQCLI_HANDLE h = 0;
  ASSERT_EQ(LUNQCLI_Init(&h), 0);
  EXPECT_GT(h, 0);
  EXPECT_LE(h, INT32_MAX);
  ASSERT_EQ(LUNQCLI_Exit(h), 0);

  unsigned char* data = nullptr;
  long length = 0;
  char text[64] = "untouched";
  int code = 7;
  EXPECT_EQ(LUNQCLI_BeginWrite(h), LUNQCLI_E_HANDLE);
  EXPECT_EQ(LUNQCLI_GetVal(h, "A", &data, &length), LUNQCLI_E_HANDLE);
  EXPECT_EQ(LUNQCLI_GetErrorCode(h, &code), LUNQCLI_E_HANDLE);
  EXPECT_EQ(LUNQCLI_GetValue(h, "A", text, 63), LUNQCLI_E_HANDLE);
  EXPECT_EQ(LUNQCLI_CallProgramAndCommit(h, "echo"), LUNQCLI_E_HANDLE);
  EXPECT_EQ(LUNQCLI_Exit(h), LUNQCLI_E_HANDLE);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(code, 7);
  EXPECT_STREQ(text, "untouched");

  // Its entry serves a new handle, which the old value does not reach.
  LUNQCLI_HANDLE next = 0;
  ASSERT_EQ(LUNQCLI_Init(&next), 0);
  EXPECT_NE(next, h);
  EXPECT_EQ(LUNQCLI_SetCliTimeOut(h, 5), LUNQCLI_E_HANDLE);
  EXPECT_EQ(LUNQCLI_SetCliTimeOut(next, 5), 0);

  // Values never issued, an address included, are refused without being read.
  VELTCLI_HANDLE v = nullptr;
  ASSERT_EQ(VELTCLI_Init(&v), 0);
  for (LUNQCLI_HANDLE foreign : {LUNQCLI_HANDLE{-1}, next + 1, next + 65536, reinterpret_cast<LUNQCLI_HANDLE>(v)}) {
    EXPECT_EQ(LUNQCLI_BeginWrite(foreign), LUNQCLI_E_HANDLE) << foreign;
  }
  EXPECT_EQ(LUNQCLI_Exit(0), 1);
  EXPECT_EQ(LUNQCLI_Init(nullptr), 1);
  VELTCLI_Exit(v);
  LUNQCLI_Exit(next);
}

}  // namespace
