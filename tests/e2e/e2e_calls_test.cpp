// Every call family end to end on both backends: values and tables echoed, multi-part answers
// walked with option 17 on and off, asynchronous calls collected in parts, transactions on the
// wire and in the store, errors, the transport options, failover and the class interface.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "CVELTCli.h"
#include "e2e_fixture.h"

namespace velt::e2e {
namespace {

std::string Cell(VELTCLI_HANDLE h, int column) {
  char out[12192] = {};   // a cell is never longer than a row
  EXPECT_EQ(VELTCLI_RsGetCol(h, column, out), 0);
  return out;
}

// "r<row>c<col>" padded with "x" to `width`.
std::string RowsCell(int row, int col, int width) {
  std::string s = "r" + std::to_string(row) + "c" + std::to_string(col);
  if (static_cast<int>(s.size()) < width) s.append(static_cast<std::size_t>(width) - s.size(), 'x');
  return s;
}

// Row pairs "&_<digits>=" in an answer part's text.
int RowPairs(const std::string& text) {
  int n = 0;
  for (std::size_t at = text.find("&_"); at != std::string::npos; at = text.find("&_", at + 2)) {
    std::size_t i = at + 2;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    if (i > at + 2 && i < text.size() && text[i] == '=') ++n;
  }
  return n;
}

// Walks every table and row of the answer, checking the cells of the "rows" program.
int WalkRows(VELTCLI_HANDLE h, int cols, int width, int tables) {
  int total = 0;
  for (int t = 0; t < tables; ++t) {
    EXPECT_EQ(t == 0 ? VELTCLI_RsOpen(h) : VELTCLI_RsMore(h), 0) << "table " << t + 1;
    int row = 0;
    while (VELTCLI_RsFetchRow(h) == 0) {
      ++row;
      ++total;
      if (row % 97 == 1) {
        for (int c = 1; c <= cols; ++c) EXPECT_EQ(Cell(h, c), RowsCell(row, c, width));
      }
    }
  }
  EXPECT_EQ(VELTCLI_RsMore(h), 1);
  return total;
}

TEST_P(EndToEnd, ValuesBinaryValuesAndTablesComeBackUnchanged) {
  Client c;
  ASSERT_EQ(c.Connect(entry()), 0);
  VELTCLI_BeginWrite(c.h);
  ASSERT_EQ(VELTCLI_SetValue(c.h, "NAME", "a&b=c%d@e \xd6\xd0\xce\xc4"), 0);
  const unsigned char blob[] = {0, 1, 2, 255, '&', '='};
  ASSERT_EQ(VELTCLI_SetVal(c.h, "BIN", blob, sizeof blob), 0);
  ASSERT_EQ(VELTCLI_RsCreate(c.h, "orders", 2, "id,text"), 0);
  for (int r = 1; r <= 3; ++r) {
    VELTCLI_RsAddRow(c.h);
    VELTCLI_RsSetCol(c.h, 1, std::to_string(r).c_str());
    VELTCLI_RsSetCol(c.h, 2, ("x,y@" + std::to_string(r)).c_str());
    ASSERT_EQ(VELTCLI_RsSaveRow(c.h), 0);
  }
  ASSERT_EQ(VELTCLI_CallProgramAndCommit(c.h, "demo.echo", nullptr), 0);
  EXPECT_EQ(c.Value("NAME"), "a&b=c%d@e \xd6\xd0\xce\xc4");
  unsigned char* data = nullptr;
  long length = 0;
  ASSERT_EQ(VELTCLI_GetVal(c.h, "BIN", &data, &length), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), static_cast<std::size_t>(length)),
            std::string(reinterpret_cast<const char*>(blob), sizeof blob));
  ASSERT_EQ(VELTCLI_RsOpen(c.h), 0);
  for (int r = 1; r <= 3; ++r) {
    ASSERT_EQ(VELTCLI_RsFetchRow(c.h), 0);
    EXPECT_EQ(Cell(c.h, 1), std::to_string(r));
    EXPECT_EQ(Cell(c.h, 2), "x,y@" + std::to_string(r));
  }
  EXPECT_EQ(VELTCLI_RsFetchRow(c.h), 1);
}

TEST_P(EndToEnd, MultiPartAnswersWalkTheSameWithWindowEndsOnAndOff) {
  for (int windowEnds : {1, 0}) {
    SCOPED_TRACE(windowEnds);
    Client c;
    ASSERT_EQ(c.Connect(entry()), 0);
    c.SetInt(VELTCLI_OPTION_WINDOW_ENDS, windowEnds);
    ASSERT_EQ(c.Call("rows", {{"ROWS", "1500"}, {"COLS", "4"}, {"CELLLEN", "24"}, {"TABLES", "2"}}), 0);
    EXPECT_EQ(WalkRows(c.h, 4, 24, 2), 3000);
  }
}

TEST_P(EndToEnd, AsynchronousAnswersAreCollectedPartByPart) {
  Client c;
  ASSERT_EQ(c.Connect(entry()), 0);
  VELTCLI_BeginWrite(c.h);
  VELTCLI_SetValue(c.h, "ROWS", "2000");
  VELTCLI_SetValue(c.h, "COLS", "3");
  VELTCLI_SetValue(c.h, "CELLLEN", "30");
  tagAsyncCall call;
  std::memset(&call, 0, sizeof call);
  call.nExpiry = 10;   // the request's time-out, and how long each GetReply waits
  ASSERT_EQ(VELTCLI_ACallProgramAndCommit(c.h, "rows", &call, nullptr), 0);
  EXPECT_STREQ(call.szCorrId, "0");
  EXPECT_STREQ(call.szId, "main");
  const long long sent = call.tTimeStamp;   // packed: copied, never bound by reference
  EXPECT_GT(sent, 0);
  int parts = 0;
  int rows = 0;
  while ((call.nFlags & 1) == 0) {
    ASSERT_EQ(VELTCLI_GetReply(c.h, &call), 0);
    ++parts;
    int length = 0;
    VELTCLI_GetCommLen(c.h, &length);
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    VELTCLI_GetValue(c.h, "", text.data(), length);
    const std::string s(text.data(), static_cast<std::size_t>(length));
    rows += RowPairs(s);
  }
  EXPECT_GT(parts, 1);
  EXPECT_EQ(rows, 2000);
  EXPECT_EQ(VELTCLI_GetReply(c.h, &call), 1);   // read completely

  // The record belongs to the entry it was sent to.
  std::strcpy(call.szId, "elsewhere");
  call.nFlags = 0;
  EXPECT_EQ(VELTCLI_GetReply(c.h, &call), 50);
}

TEST_P(EndToEnd, TransactionsSendModesOneTwoFourAndIsolateTheirWrites) {
  // A probe program answers what the header said.
  emulator().Register("probe", [](const veltemu::Request& r, veltemu::Answer& a) {
    a.SetInteger("MODE", r.transactionMode());
    a.SetValue("TRANS", r.transactionId());
    a.SetInteger("TYPE", r.callType());
  });
  Client writer, reader;
  ASSERT_EQ(writer.Connect(entry()), 0);
  ASSERT_EQ(reader.Connect(entry()), 0);

  ASSERT_EQ(writer.Call("probe", {}, true), 0);
  EXPECT_EQ(writer.Value("MODE"), "1");   // the server opens the transaction and runs the call in it
  char trans[33] = {};
  ASSERT_EQ(VELTCLI_GetSystemParam(writer.h, VELTCLI_PARAM_TRANSACTION_ID, trans, sizeof trans), 0);
  ASSERT_STRNE(trans, "");
  EXPECT_EQ(writer.Value("TRANS"), trans);
  ASSERT_EQ(writer.Call("kv.put", {{"KEY", "k1"}, {"VALUE", "v1"}}, true), 0);
  ASSERT_EQ(writer.Call("probe", {}, true), 0);
  EXPECT_EQ(writer.Value("MODE"), "2");
  EXPECT_EQ(writer.Value("TRANS"), trans);

  ASSERT_EQ(reader.Call("kv.get", {{"KEY", "k1"}}), 0);
  EXPECT_EQ(reader.Value("VALUE"), "") << "not visible before the commit";
  const auto commitsBefore = emulator().GetStats().callsByType[9];
  ASSERT_EQ(VELTCLI_Commit(writer.h), 0);
  EXPECT_EQ(emulator().GetStats().callsByType[9], commitsBefore + 1);
  ASSERT_EQ(VELTCLI_GetSystemParam(writer.h, VELTCLI_PARAM_TRANSACTION_ID, trans, sizeof trans), 0);
  EXPECT_STREQ(trans, "");
  ASSERT_EQ(reader.Call("kv.get", {{"KEY", "k1"}}), 0);
  EXPECT_EQ(reader.Value("VALUE"), "v1");
  EXPECT_EQ(VELTCLI_Commit(writer.h), 0) << "no transaction: nothing sent";
  EXPECT_EQ(emulator().GetStats().callsByType[9], commitsBefore + 1);

  // Rolled back and cancelled writes vanish; a stand-alone put commits at once.
  ASSERT_EQ(writer.Call("kv.put", {{"KEY", "k2"}, {"VALUE", "v2"}}, true), 0);
  ASSERT_EQ(VELTCLI_RollBack(writer.h), 0);
  ASSERT_EQ(writer.Call("kv.put", {{"KEY", "k3"}, {"VALUE", "v3"}}, true), 0);
  writer.SetInt(VELTCLI_OPTION_SERVER_SESSION, 1);   // cancel is sent only with a server session
  ASSERT_EQ(writer.Call("rows", {{"ROWS", "3000"}, {"COLS", "2"}}, true), 0);   // answer left incomplete
  ASSERT_EQ(VELTCLI_Cancel(writer.h, nullptr), 0);
  EXPECT_EQ(emulator().GetStats().callsByType[11], 1u);
  ASSERT_EQ(writer.Call("kv.put", {{"KEY", "k4"}, {"VALUE", "v4"}}), 0);
  for (const char* k : {"k2", "k3", "k4"}) {
    ASSERT_EQ(reader.Call("kv.get", {{"KEY", k}}), 0);
    EXPECT_EQ(reader.Value("VALUE"), std::strcmp(k, "k4") == 0 ? "v4" : "") << k;
  }
}

TEST_P(EndToEnd, AsynchronousTransactionsAndTheOtherTransactionEnds) {
  Client writer, reader;
  ASSERT_EQ(writer.Connect(entry()), 0);
  ASSERT_EQ(reader.Connect(entry()), 0);
  const auto valueOf = [&reader](const char* key) {
    EXPECT_EQ(reader.Call("kv.get", {{"KEY", key}}), 0);
    return reader.Value("VALUE");
  };
  // An asynchronous call inside a transaction: its reply tells the session the transaction id.
  VELTCLI_BeginWrite(writer.h);
  VELTCLI_SetValue(writer.h, "KEY", "a1");
  VELTCLI_SetValue(writer.h, "VALUE", "async");
  tagAsyncCall call{};
  call.nExpiry = 10;
  ASSERT_EQ(VELTCLI_ACallProgram(writer.h, "kv.put", &call, nullptr), 0);
  ASSERT_EQ(VELTCLI_GetReply(writer.h, &call), 0);
  EXPECT_EQ(valueOf("a1"), "");
  ASSERT_EQ(VELTCLI_Commit(writer.h), 0);
  EXPECT_EQ(valueOf("a1"), "async");

  // SQLEndTran with the roll-back type.
  ASSERT_EQ(writer.Call("kv.put", {{"KEY", "a2"}, {"VALUE", "x"}}, true), 0);
  ASSERT_EQ(VELTCLI_SQLEndTran(writer.h, 10), 0);
  EXPECT_EQ(valueOf("a2"), "");

  // Closing the cursor of an incomplete answer ends its transaction without committing.
  writer.SetInt(VELTCLI_OPTION_SERVER_SESSION, 1);
  ASSERT_EQ(writer.Call("kv.put", {{"KEY", "a3"}, {"VALUE", "x"}}, true), 0);
  EXPECT_EQ(VELTCLI_SQLCloseCursor(writer.h), 0) << "complete answer: nothing sent";
  ASSERT_EQ(writer.Call("rows", {{"ROWS", "3000"}, {"COLS", "2"}}, true), 0);
  const auto closes = emulator().GetStats().callsByType[4];
  ASSERT_EQ(VELTCLI_SQLCloseCursor(writer.h), 0);
  EXPECT_EQ(emulator().GetStats().callsByType[4], closes + 1);
  EXPECT_EQ(valueOf("a3"), "");
}

TEST_P(EndToEnd, FailuresReportTheirCodes) {
  Client c;
  ASSERT_EQ(c.Connect(entry()), 0);
  EXPECT_EQ(c.Call("fail", {{"CODE", "-7"}, {"MSG", "no such account"}}), -7);
  int code = 0;
  char message[32000];
  EXPECT_EQ(VELTCLI_GetErrorCode(c.h, &code), 0);
  EXPECT_EQ(code, -7);
  EXPECT_EQ(VELTCLI_GetErrorMsg(c.h, message), 0);
  EXPECT_STREQ(message, "no such account");
  EXPECT_NE(c.Call("no.such.program"), 0);
  EXPECT_EQ(VELTCLI_CallProgram(c.h, nullptr, nullptr), -999);

  struct Case { const char* kind; int option; int expected; };
  const Case cases[] = {
      {"checksum", VELTCLI_OPTION_CHECKSUM, 101},
      {"sequence", VELTCLI_OPTION_SEQUENCE, 102},
      {"length", -1, 103},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.kind);
    Client d;
    ASSERT_EQ(d.Connect(entry()), 0);
    if (k.option >= 0) {
      EXPECT_EQ(d.Call("corrupt", {{"KIND", k.kind}, {"ROWS", "400"}, {"COLS", "4"}}), 0) << "check off";
      d.SetInt(k.option, 1);
    }
    EXPECT_EQ(d.Call("corrupt", {{"KIND", k.kind}, {"ROWS", "400"}, {"COLS", "4"}}), k.expected);
    EXPECT_EQ(d.Call("echo", {{"A", "still fine"}}), 0);
    EXPECT_EQ(d.Value("A"), "still fine");
  }

  // A time-out, then the late answer does not confuse the next call.
  VELTCLI_SetCliTimeOut(c.h, 1);
  EXPECT_EQ(c.Call("sleep", {{"MS", "2500"}}), 2033);
  std::this_thread::sleep_for(std::chrono::milliseconds(1600));
  ASSERT_EQ(c.Call("echo", {{"A", "after"}}), 0);
  EXPECT_EQ(c.Value("A"), "after");
}

TEST_P(EndToEnd, TransportOptionsAllReachTheServer) {
  struct Case { int shared, libraryIds, replyTagUse; };
  const Case cases[] = {{1, 1, 1}, {0, 1, 1}, {1, 0, 1}, {0, 0, 3}, {1, 1, 3}, {1, 0, 0}};
  for (const Case& k : cases) {
    SCOPED_TRACE(testing::Message() << k.shared << k.libraryIds << k.replyTagUse);
    Client c;
    c.SetInt(VELTCLI_OPTION_SHARED_CONNECTION, k.shared);
    c.SetInt(VELTCLI_OPTION_LIBRARY_IDS, k.libraryIds);
    c.SetInt(VELTCLI_OPTION_REPLY_TAG_USE, k.replyTagUse);
    ASSERT_EQ(c.Connect(entry()), 0);
    for (int i = 0; i < 3; ++i) {
      ASSERT_EQ(c.Call("echo", {{"I", std::to_string(i)}, {"PAD", std::string(9000, 'p')}}), 0);
      EXPECT_EQ(c.Value("I"), std::to_string(i));
    }
    tagAsyncCall call{};
    call.nExpiry = 10;
    VELTCLI_BeginWrite(c.h);
    VELTCLI_SetValue(c.h, "I", "async");
    ASSERT_EQ(VELTCLI_ACallProgramAndCommit(c.h, "echo", &call, nullptr), 0);
    ASSERT_EQ(VELTCLI_GetReply(c.h, &call), 0);
    EXPECT_EQ(c.Value("I"), "async");
  }
}

TEST_P(EndToEnd, AGroupFailsOverToAReachableEntry) {
  tagVELTConnectOption list[2] = {Entry(backend(), "down", requestQ_, answerQ_, "G"),
                                  Entry(backend(), "up", requestQ_, answerQ_, "G")};
  std::strcpy(list[0].szAddress, "127.0.0.1");
  list[0].nPort = 1;   // nothing listens there
  for (int i = 0; i < 6; ++i) {
    Client c;
    VELTCLI_SetOptions(c.h, VELTCLI_OPTION_SERVER_LIST, list, static_cast<int>(sizeof list));
    ASSERT_EQ(VELTCLI_ConnectServer(c.h, "g", "u", "p"), 0);
    tagVELTConnectOption current{};
    VELTCLI_GetConnectOption(c.h, &current);
    EXPECT_STREQ(current.szServerName, "up");
    ASSERT_EQ(c.Call("echo", {{"A", "1"}}), 0);
  }
  Client c;
  VELTCLI_SetOptions(c.h, VELTCLI_OPTION_SERVER_LIST, list, static_cast<int>(sizeof list));
  EXPECT_EQ(VELTCLI_ConnectServer(c.h, "down", "u", "p"), 2004);
  EXPECT_EQ(VELTCLI_ConnectServer(c.h, "missing", "u", "p"), -1);
}

TEST_P(EndToEnd, TheClassSignsOnAndOffAndExecutesWithoutTheHeader) {
  const auto before = emulator().GetStats();
  {
    CVELTCli c;
    tagVELTConnectOption e = entry();
    c.SetConnectOption(e);
    ASSERT_EQ(c.SQLConnect(e.szServerName, "u", "p"), 0);
    char number[16] = {};
    ASSERT_EQ(c.GetSystemParam(VELTCLI_PARAM_SESSION_NUMBER, number, sizeof number), 0);
    EXPECT_GT(std::atoi(number), 0);
    c.BeginWrite();
    c.SetValue("A", "plain");
    ASSERT_EQ(c.SQLExecute(const_cast<char*>("echo")), 0);
    char value[64];
    ASSERT_EQ(c.GetValue("A", value, sizeof value - 1), 0);
    EXPECT_STREQ(value, "plain");
    c.BeginWrite();
    c.SetValue("A", "header");
    ASSERT_EQ(c.CallProgramAndCommit("svc.echo", nullptr), 0);
    EXPECT_EQ(c.DisConnect(), 0);
  }
  const auto after = emulator().GetStats();
  EXPECT_EQ(after.signOns, before.signOns + 1);
  EXPECT_EQ(after.signOffs, before.signOffs + 1);
}

TEST_P(EndToEnd, ParallelHandlesEachGetTheirOwnAnswers) {
  constexpr int kThreads = 8;
  constexpr int kCalls = 25;
  std::vector<std::thread> threads;
  std::atomic<int> wrong{0};
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      Client c;
      if (c.Connect(entry()) != 0) { wrong += kCalls; return; }
      for (int i = 0; i < kCalls; ++i) {
        const std::string token = std::to_string(t) + ":" + std::to_string(i);
        const std::string pad(static_cast<std::size_t>((t * 977 + i * 131) % 9000), 'z');
        if (c.Call("echo", {{"TOKEN", token}, {"PAD", pad}}) != 0 || c.Value("TOKEN") != token) ++wrong;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong.load(), 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, EndToEnd, ::testing::Values(BackendKind::kEmbedded, BackendKind::kRedis),
                         BackendName);

}  // namespace
}  // namespace velt::e2e
