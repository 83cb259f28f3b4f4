// The frame through the exported functions: handles and the pool, the program name, version,
// the answer's error values and the unsupported notification calls.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/client_handle.h"
#include "core/frame_state.h"
#include "veltcli.h"

namespace {

void SetCapacity(VELTCLI_HANDLE h, int capacity) { ASSERT_EQ(VELTCLI_SetOption(h, 20, &capacity), 0); }

void SetPacketText(VELTCLI_HANDLE h, const std::string& text) {
  velt::PacketBuffer& packet = h->session->packet;
  ASSERT_TRUE(packet.Grow(text.size() + 1));
  std::memcpy(packet.Data(), text.c_str(), text.size() + 1);
}

class Frame : public ::testing::Test {
 protected:
  void TearDown() override {
    velt::Pool().SetCapacity(0);
    velt::Pool().DestroyAll();
  }
};

TEST_F(Frame, WithoutPoolingExitDestroysAndInitCreates) {
  const std::size_t before = velt::LiveSessionCount();
  VELTCLI_HANDLE a = nullptr;
  ASSERT_EQ(VELTCLI_Init(&a), 0);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(velt::LiveSessionCount(), before + 1);
  EXPECT_EQ(VELTCLI_Exit(a), 0);
  EXPECT_EQ(velt::LiveSessionCount(), before);
  EXPECT_EQ(VELTCLI_Exit(nullptr), 1);
  EXPECT_EQ(VELTCLI_Init(nullptr), 1);
}

TEST_F(Frame, PoolOfTwoKeepsTheFirstTwoInOrder) {
  VELTCLI_HANDLE a, b, c;
  ASSERT_EQ(VELTCLI_Init(&a), 0);
  ASSERT_EQ(VELTCLI_Init(&b), 0);
  ASSERT_EQ(VELTCLI_Init(&c), 0);
  SetCapacity(a, 2);
  const int trace = 1;
  VELTCLI_SetOption(a, 2, &trace);
  SetPacketText(a, "_ERRNO=3");
  const std::size_t live = velt::LiveSessionCount();

  EXPECT_EQ(VELTCLI_Exit(a), 0);
  EXPECT_EQ(VELTCLI_Exit(b), 0);
  EXPECT_EQ(VELTCLI_Exit(c), 0);
  EXPECT_EQ(velt::LiveSessionCount(), live - 1) << "C is destroyed";
  EXPECT_EQ(velt::Pool().Count(), 2u);

  VELTCLI_HANDLE first, second;
  ASSERT_EQ(VELTCLI_Init(&first), 0);
  ASSERT_EQ(VELTCLI_Init(&second), 0);
  EXPECT_EQ(first, a);
  EXPECT_EQ(second, b);
  int v = 0;
  VELTCLI_GetOption(first, 2, &v);
  EXPECT_EQ(v, 1) << "a pooled session keeps its options";
  int code = 0;
  EXPECT_EQ(VELTCLI_GetErrorCode(first, &code), 0);
  EXPECT_EQ(code, 3) << "and its packet text";
  VELTCLI_Exit(first);
  VELTCLI_Exit(second);
}

TEST_F(Frame, NegativeCapacityPoolsNothing) {
  VELTCLI_HANDLE a;
  ASSERT_EQ(VELTCLI_Init(&a), 0);
  SetCapacity(a, -1);
  const std::size_t live = velt::LiveSessionCount();
  EXPECT_EQ(VELTCLI_Exit(a), 0);
  EXPECT_EQ(velt::LiveSessionCount(), live - 1);
  EXPECT_EQ(velt::Pool().Count(), 0u);
}

TEST_F(Frame, ProgramNameAndVersion) {
  VELTCLI_HANDLE h;
  ASSERT_EQ(VELTCLI_Init(&h), 0);
  EXPECT_EQ(velt::ProgramName(), "veltcli_session_test");
  int version = 0;
  EXPECT_EQ(VELTCLI_GetVersion(h, &version), 0);
  EXPECT_EQ(version, 1);
  VELTCLI_Exit(h);
}

TEST_F(Frame, ErrorValuesOfTheAnswer) {
  VELTCLI_HANDLE h;
  ASSERT_EQ(VELTCLI_Init(&h), 0);
  std::vector<char> message(32000 + 16, 'Z');

  // A fresh session holds no text: nothing to read.
  int code = 55;
  EXPECT_EQ(VELTCLI_GetErr(h, &code, message.data()), 0);
  EXPECT_EQ(code, 55);
  EXPECT_STREQ(message.data(), "");
  EXPECT_EQ(VELTCLI_GetErrorCode(h, &code), 1);
  EXPECT_EQ(code, 55);
  EXPECT_EQ(VELTCLI_GetErrorMsg(h, message.data()), 1);
  EXPECT_STREQ(message.data(), "");

  SetPacketText(h, "_CA=2.4&_ERRNO=-12&_ERRMSG=bad@26worse");
  EXPECT_EQ(VELTCLI_GetErr(h, &code, message.data()), 0);
  EXPECT_EQ(code, -12);
  EXPECT_STREQ(message.data(), "bad&worse");
  code = 0;
  EXPECT_EQ(VELTCLI_GetErrorCode(h, &code), 0);
  EXPECT_EQ(code, -12);

  // A message longer than the caller's 32000 bytes is cut and still terminated inside them.
  std::fill(message.begin(), message.end(), 'Z');
  SetPacketText(h, "_ERRMSG=" + std::string(40000, 'm'));
  EXPECT_EQ(VELTCLI_GetErrorMsg(h, message.data()), 0);
  EXPECT_EQ(std::strlen(message.data()), 31999u);
  EXPECT_EQ(message[32000], 'Z');
  VELTCLI_Exit(h);
}

TEST_F(Frame, NotificationCallsAreUnsupported) {
  VELTCLI_HANDLE h;
  ASSERT_EQ(VELTCLI_Init(&h), 0);
  EXPECT_EQ(VELTCLI_Notify(h, nullptr, nullptr, nullptr, nullptr), -1);
  EXPECT_EQ(VELTCLI_Broadcast(h, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr), -1);
  EXPECT_EQ(VELTCLI_CheckUnsoliciety(h), -1);
  VELTCLI_Exit(h);
}

}  // namespace
