// Service calls held to their rules on the wire, on both backends: asynchronous records of long
// entry names, every transaction end type, call types past one hexadecimal digit, zero-wait polls
// that collect whole answer parts, and plug-in sessions that read further parts only while an
// answer is really incomplete.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "e2e_fixture.h"

namespace velt::e2e {
namespace {

using Clock = std::chrono::steady_clock;

std::uint64_t Calls(veltemu::Emulator& e) {
  std::uint64_t n = 0;
  for (const auto c : e.GetStats().callsByType) n += c;
  return n;
}

TEST_P(EndToEnd, AsynchronousAnswersOfLongEntryNamesAreCollected) {
  for (const std::size_t length : {26u, 27u, 32u}) {
    const std::string name(length, 'n');
    SCOPED_TRACE(length);
    Client c;
    ASSERT_EQ(c.Connect(Entry(backend(), name, requestQ_, answerQ_)), 0);
    VELTCLI_BeginWrite(c.h);
    VELTCLI_SetValue(c.h, "A", name.c_str());
    tagAsyncCall call;
    std::memset(&call, 0, sizeof call);
    call.nExpiry = 10;
    ASSERT_EQ(VELTCLI_ACallProgramAndCommit(c.h, "echo", &call, nullptr), 0);
    EXPECT_EQ(std::string(call.szId, strnlen(call.szId, sizeof call.szId)), name.substr(0, 27));
    ASSERT_EQ(VELTCLI_GetReply(c.h, &call), 0);
    EXPECT_EQ(c.Value("A"), name);
  }
}

TEST_P(EndToEnd, EveryTransactionEndTypeIsSentAfterTheExportedConnect) {
  Client c;
  ASSERT_EQ(c.Connect(entry()), 0);   // option 14 is 0 from here on
  for (const int type : {4, 9, 10, 11}) {
    SCOPED_TRACE(type);
    ASSERT_EQ(c.Call("kv.put", {{"KEY", "t" + std::to_string(type)}, {"VALUE", "x"}}, true), 0);
    const auto before = emulator().GetStats().callsByType[static_cast<std::size_t>(type)];
    EXPECT_EQ(VELTCLI_SQLEndTran(c.h, type), 0);
    EXPECT_EQ(emulator().GetStats().callsByType[static_cast<std::size_t>(type)], before + 1);
    char id[40] = {};
    VELTCLI_GetSystemParam(c.h, 3, id, sizeof id);
    EXPECT_STREQ(id, "") << "the transaction is over";
  }
  // Cancel and close cursor keep their own rule: with option 14 at 0 they send nothing.
  ASSERT_EQ(c.Call("kv.put", {{"KEY", "k"}, {"VALUE", "x"}}, true), 0);
  const auto sent = Calls(emulator());
  tagAsyncCall unused{};
  EXPECT_EQ(VELTCLI_Cancel(c.h, &unused), 0);
  EXPECT_EQ(VELTCLI_SQLCloseCursor(c.h), 0);
  // A type the header cannot show is refused, not masked into another one.
  EXPECT_EQ(VELTCLI_SQLEndTran(c.h, 16 + 9), -98);
  EXPECT_EQ(VELTCLI_SQLEndTran(c.h, -1), -98);
  EXPECT_EQ(Calls(emulator()), sent);
  EXPECT_EQ(VELTCLI_RollBack(c.h), 0);
}

// Zero-wait polls of many multi-packet answers: each poll returns a whole part or nothing, so
// every answer is collected in full however the packets arrive.
TEST_P(EndToEnd, ZeroWaitPollsCollectEveryAnswerWhole) {
  constexpr int kCalls = 10;
  constexpr int kRows = 3000;
  Client c;
  ASSERT_EQ(c.Connect(entry()), 0);
  VELTCLI_SetCliTimeOut(c.h, 10);
  std::vector<tagAsyncCall> calls(kCalls);
  for (auto& call : calls) {
    std::memset(&call, 0, sizeof call);
    VELTCLI_BeginWrite(c.h);
    VELTCLI_SetValue(c.h, "ROWS", std::to_string(kRows).c_str());
    VELTCLI_SetValue(c.h, "COLS", "2");
    ASSERT_EQ(VELTCLI_ACallProgramAndCommit(c.h, "rows", &call, nullptr), 0);
    call.nExpiry = 0;
  }
  std::vector<int> rows(kCalls, 0);
  int open = kCalls;
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (open > 0 && Clock::now() < deadline) {
    for (int i = 0; i < kCalls; ++i) {
      if ((calls[i].nFlags & 1) != 0) continue;
      const int rc = VELTCLI_GetReply(c.h, &calls[i]);
      if (rc == 2033) continue;   // nothing there yet
      ASSERT_EQ(rc, 0) << "call " << i;
      // Each part is a complete text: its rows can be walked on their own.
      if (rows[i] == 0) {
        ASSERT_EQ(VELTCLI_RsOpen(c.h), 0);
      }
      int length = 0;
      VELTCLI_GetCommLen(c.h, &length);
      std::vector<char> text(static_cast<std::size_t>(length) + 1);
      VELTCLI_GetValue(c.h, "", text.data(), length);
      const std::string s(text.data(), static_cast<std::size_t>(length));
      for (std::size_t at = s.find("&_"); at != std::string::npos; at = s.find("&_", at + 2)) {
        std::size_t k = at + 2;
        while (k < s.size() && s[k] >= '0' && s[k] <= '9') ++k;
        if (k > at + 2 && k < s.size() && s[k] == '=') ++rows[i];
      }
      if ((calls[i].nFlags & 1) != 0) --open;
    }
  }
  EXPECT_EQ(open, 0) << "answers left incomplete";
  for (int i = 0; i < kCalls; ++i) EXPECT_EQ(rows[i], kRows) << "call " << i;
}

// Plug-in mode has no message ids; further parts are read from the plug-in only while the part
// in hand says more follow.
TEST_P(EndToEnd, PluginSessionsReadFurtherPartsOnlyWhileAnAnswerIsIncomplete) {
  tagVELTPluginOption p;
  std::memset(&p, 0, sizeof p);
  std::strcpy(p.szServerName, "viaplugin");
  std::strncpy(p.szLibraryPath, VELT_EXAMPLE_PLUGIN_PATH, sizeof p.szLibraryPath - 1);
  std::strcpy(p.szEntryName, "VeltPluginExample_Table");
  std::snprintf(p.szConnectText, sizeof p.szConnectText, "address=%s;port=%d;request=%s;answer=%s",
                backend().address.c_str(), backend().port, requestQ_.c_str(), ("P." + answerQ_).c_str());
  std::strcpy(p.szConfigText, "timeout=5");
  Client c;
  ASSERT_EQ(VELTCLI_SetOptions(c.h, VELTCLI_OPTION_PLUGIN_LIST, &p, static_cast<int>(sizeof p)), 0);
  ASSERT_EQ(VELTCLI_ConnectServer(c.h, "viaplugin", "tester", "pw"), 0);
  VELTCLI_SetCliTimeOut(c.h, 5);
  for (const bool commit : {true, false}) {
    SCOPED_TRACE(commit ? "commit" : "roll back");
    ASSERT_EQ(c.Call("kv.put", {{"KEY", "pk"}, {"VALUE", "x"}}, true), 0);
    ASSERT_EQ(commit ? VELTCLI_Commit(c.h) : VELTCLI_RollBack(c.h), 0);
    const auto start = Clock::now();
    EXPECT_EQ(VELTCLI_RsClose(c.h), 0);
    VELTCLI_RsMore(c.h);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2)) << "no plug-in receive waited";
  }
  // A real multi-part answer still continues through the plug-in.
  ASSERT_EQ(c.Call("rows", {{"ROWS", "1200"}, {"COLS", "3"}, {"CELLLEN", "20"}}), 0);
  ASSERT_EQ(VELTCLI_RsOpen(c.h), 0);
  int rows = 0;
  while (VELTCLI_RsFetchRow(c.h) == 0) ++rows;
  EXPECT_EQ(rows, 1200);
}

INSTANTIATE_TEST_SUITE_P(Backends, EndToEnd, ::testing::Values(BackendKind::kEmbedded, BackendKind::kRedis),
                         BackendName);

}  // namespace
}  // namespace velt::e2e
