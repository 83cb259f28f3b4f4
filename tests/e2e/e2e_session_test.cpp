// Sessions end to end on the embedded queue manager (and Redis where it matters): the server list
// read from the configuration files, the trace file, pooled handles that reconnect without
// traffic, and plug-in mode through the example plug-in to the emulator.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "e2e_fixture.h"
#include "testsupport/temp_folder.h"

namespace velt::e2e {
namespace {

namespace fs = std::filesystem;

// The files the library opens by bare name are looked for in the current folder.
class InFolder : public velt::testsupport::TempFolder {
 public:
  InFolder() : TempFolder(Enter::kYes, "velt-e2e") {}
};

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST_P(EndToEnd, TheServerListIsReadFromTheConfigurationFiles) {
  InFolder here;
  here.Write("LUNQCli.ini", "[fromfile]\nGroupName=FG\nRIMQQManager=QM1\nRequestQName=" + requestQ_ +
                                "\nAnswerQName=" + answerQ_ + "\n");
  here.Write("rimqapi.ini", "[QMgr]\nQMgrName=QM1\nQMgrIp=" + backend().address + "\nQMgrPort=" +
                                std::to_string(backend().port) + "\n");
  for (const char* name : {"fromfile", "FG"}) {
    Client c;
    ASSERT_EQ(VELTCLI_ConnectServer(c.h, name, "tester", "pw"), 0) << name;
    tagVELTConnectOption current{};
    VELTCLI_GetConnectOption(c.h, &current);
    EXPECT_STREQ(current.szServerName, "fromfile");
    ASSERT_EQ(c.Call("echo", {{"A", name}}), 0);
    EXPECT_EQ(c.Value("A"), name);
  }
}

TEST_P(EndToEnd, TheTraceHasExactlyTwoEntriesPerCall) {
  InFolder here;
  Client c;
  ASSERT_EQ(c.Connect(entry()), 0);
  c.SetInt(VELTCLI_OPTION_TRACE, 1);
  VELTCLI_BeginWrite(c.h);
  VELTCLI_SetValue(c.h, "A", "traced");
  ASSERT_EQ(VELTCLI_CallProgramAndCommit(c.h, "echo", nullptr), 0);
  int answerLength = 0;
  VELTCLI_GetCommLen(c.h, &answerLength);
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(here.path())) files.push_back(e.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].extension(), ".dat");
  const std::string trace = ReadAll(files[0]);
  // Entries: a prefix ending in "send:" / "recv:", the raw bytes, a line feed.
  const std::size_t send = trace.find("send:");
  const std::size_t recv = trace.find("recv:");
  ASSERT_NE(send, std::string::npos);
  ASSERT_NE(recv, std::string::npos);
  EXPECT_EQ(trace.find("send:", send + 1), std::string::npos);
  EXPECT_EQ(trace.find("recv:", recv + 1), std::string::npos);
  // The request has no line feed, so the "send" bytes end at the line feed before the next prefix.
  const std::size_t recvPrefix = trace.rfind('\n', recv) + 1;
  const std::string sent = trace.substr(send + 5, recvPrefix - 1 - (send + 5));
  ASSERT_GT(sent.size(), 126u);
  EXPECT_EQ(sent.substr(0, 2), "01");
  EXPECT_EQ(sent.size(), 126u + std::stoul(sent.substr(102, 5))) << "header and the whole request text";
  EXPECT_NE(sent.find("_VeltServiceID_=echo"), std::string::npos);
  EXPECT_EQ(trace.size() - (recv + 5) - 1, static_cast<std::size_t>(126 + answerLength));
  EXPECT_EQ(trace.back(), '\n');

  c.SetInt(VELTCLI_OPTION_TRACE, 0);
  ASSERT_EQ(c.Call("echo"), 0);
  EXPECT_EQ(ReadAll(files[0]), trace) << "nothing written while the switch is off";
}

TEST_P(EndToEnd, APooledHandleReconnectsWithoutTraffic) {
  int capacity = 2;
  Client keeper;   // option 20 is process-wide; any handle sets it
  ASSERT_EQ(VELTCLI_SetOptions(keeper.h, VELTCLI_OPTION_POOL_CAPACITY, &capacity, 4), 0);
  VELTCLI_HANDLE first = nullptr;
  ASSERT_EQ(VELTCLI_Init(&first), 0);
  tagVELTConnectOption e = entry();
  VELTCLI_SetConnectOption(first, e);
  ASSERT_EQ(VELTCLI_ConnectServer(first, e.szServerName, "tester", "pw"), 0);
  EXPECT_EQ(VELTCLI_DisConnect(first), 100) << "pooling keeps the connection";
  ASSERT_EQ(VELTCLI_Exit(first), 0);

  VELTCLI_HANDLE again = nullptr;
  ASSERT_EQ(VELTCLI_Init(&again), 0);
  EXPECT_EQ(again, first) << "the parked handle comes back";
  const auto before = emulator().GetStats().packetsReceived;
  VELTCLI_SetConnectOption(again, e);   // the unchanged record marks the entry valid
  ASSERT_EQ(VELTCLI_ConnectServer(again, e.szServerName, "TESTER", "pw"), 0);
  EXPECT_EQ(emulator().GetStats().packetsReceived, before);
  VELTCLI_BeginWrite(again);
  VELTCLI_SetValue(again, "A", "pooled");
  ASSERT_EQ(VELTCLI_CallProgramAndCommit(again, "echo", nullptr), 0);
  EXPECT_EQ(VELTCLI_SQLDisconnect(again), 0);
  capacity = 0;
  VELTCLI_SetOptions(keeper.h, VELTCLI_OPTION_POOL_CAPACITY, &capacity, 4);
  VELTCLI_Exit(again);
}

TEST_P(EndToEnd, PluginModeCarriesCallsThroughTheExamplePlugin) {
  tagVELTPluginOption p;
  std::memset(&p, 0, sizeof p);
  std::strcpy(p.szServerName, "viaplugin");
  std::strncpy(p.szLibraryPath, VELT_EXAMPLE_PLUGIN_PATH, sizeof p.szLibraryPath - 1);
  std::strcpy(p.szEntryName, "VeltPluginExample_Table");
  std::snprintf(p.szConnectText, sizeof p.szConnectText, "address=%s;port=%d;request=%s;answer=%s",
                backend().address.c_str(), backend().port, requestQ_.c_str(), ("P." + answerQ_).c_str());
  std::strcpy(p.szConfigText, "timeout=10");
  Client c;
  ASSERT_EQ(VELTCLI_SetOptions(c.h, VELTCLI_OPTION_PLUGIN_LIST, &p, static_cast<int>(sizeof p)), 0);
  ASSERT_EQ(VELTCLI_ConnectServer(c.h, "viaplugin", "tester", "pw"), 0);
  ASSERT_EQ(c.Call("echo", {{"A", "through the plug-in"}, {"PAD", std::string(12000, 'q')}}), 0);
  EXPECT_EQ(c.Value("A"), "through the plug-in");
  // A multi-part answer: the cursor pulls the further parts through the plug-in's receive.
  ASSERT_EQ(c.Call("rows", {{"ROWS", "1200"}, {"COLS", "3"}, {"CELLLEN", "20"}}), 0);
  ASSERT_EQ(VELTCLI_RsOpen(c.h), 0);
  int rows = 0;
  while (VELTCLI_RsFetchRow(c.h) == 0) ++rows;
  EXPECT_EQ(rows, 1200);
  EXPECT_EQ(c.Call("echo", {{"PAD", std::string(100000, 'q')}}), 1724) << "one packet cannot state its length";
  EXPECT_EQ(VELTCLI_DisConnect(c.h), 0);

  std::strcpy(p.szEntryName, "NoSuchEntry");
  Client d;
  VELTCLI_SetOptions(d.h, VELTCLI_OPTION_PLUGIN_LIST, &p, static_cast<int>(sizeof p));
  EXPECT_EQ(VELTCLI_ConnectServer(d.h, "viaplugin", "tester", "pw"), 1702);
}

TEST_P(EndToEnd, CallsWithoutAConnectionSaySoAndSendNothing) {
  Client c;
  tagVELTConnectOption e = entry();
  VELTCLI_SetConnectOption(c.h, e);   // a server list, but never connected
  tagAsyncCall call{};
  EXPECT_EQ(c.Call("echo"), 105);
  EXPECT_EQ(VELTCLI_ACallProgramAndCommit(c.h, "echo", &call, nullptr), 105);
  EXPECT_NE(std::string(VELTCLI_CodeText(105)).find("no queue connection"), std::string::npos);

  ASSERT_EQ(c.Connect(e), 0);
  ASSERT_EQ(c.Call("echo"), 0);
  ASSERT_EQ(VELTCLI_DisConnectForce(c.h), 0);
  EXPECT_EQ(c.Call("echo"), 105) << "after a disconnect as well";
  ASSERT_EQ(c.Connect(e), 0);
  EXPECT_EQ(c.Call("echo"), 0) << "a new connect serves again";
}

INSTANTIATE_TEST_SUITE_P(Backends, EndToEnd, ::testing::Values(BackendKind::kEmbedded, BackendKind::kRedis),
                         BackendName);

}  // namespace
}  // namespace velt::e2e
