// The configuration reader on real files in a temporary current folder: entry building, the
// reader's traps (vanishing spaces, "[" counting, keys inside longer keys, the "QMgr" numbering,
// case rules) and the server-list load.
#include "transport/config_reader.h"
#include "testsupport/temp_folder.h"
#include "transport/queue_transport.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

// Reads a packed record field by value (a reference to it would be misaligned).
int Unpacked(int field) { return field; }

namespace config = velt::config;

class ConfigFiles : public ::testing::Test {
 protected:
  velt::testsupport::TempFolder here_{velt::testsupport::TempFolder::Enter::kYes, "veltcli-config"};
  static void Write(const char* name, const std::string& text) {
    std::ofstream(name, std::ios::binary) << text;
  }
  static void WriteManagers() {
    Write(config::kQueueManagerFile,
          "[QMgr]\nQMgrName=M\nQMgrIp=10.1.1.1\nQMgrPort=1414\n"
          "[QMgr1]\nQMgrName=N\nQMgrIp=n.host\nQMgrPort=1415\nProxy=px\nSSL=tls\n");
  }
  static int Load(const char* name, tagVELTConnectOptionEx (&slots)[config::kMaxServerEntries]) {
    return config::LoadServerList(name, slots);
  }

};

TEST_F(ConfigFiles, PlainEntry) {
  WriteManagers();
  Write(config::kClientFile, "[S1]\nRIMQQManager=M\nRequestQName=REQ\nAnswerQName=ANS\n");
  tagVELTConnectOptionEx slots[config::kMaxServerEntries];
  ASSERT_EQ(Load("S1", slots), 1);
  const tagVELTConnectOptionEx& e = slots[0];
  EXPECT_STREQ(e.szServerName, "S1");
  EXPECT_STREQ(e.szReserved, "S1") << "the group defaults to the section name";
  EXPECT_EQ(Unpacked(e.nProtocal), 0);
  EXPECT_STREQ(e.szAddress, "10.1.1.1");
  EXPECT_EQ(Unpacked(e.nPort), 1414);
  EXPECT_STREQ(e.szSendQName, "REQ");
  EXPECT_STREQ(e.szReceiveQName, "ANS");
  EXPECT_STREQ(e.szProxy, "");
  EXPECT_STREQ(e.szSSL, "");
}

TEST_F(ConfigFiles, SecondQueuesArePreferredAndRequireTheirAnswerQueue) {
  WriteManagers();
  Write(config::kClientFile,
        "[A]\nGroupName=G\nRIMQQManager=N\nRequestQName=R1\nAnswerQName=A1\nRequestQ2=R2\nAnswerQ2=A2\n"
        "[B]\nGroupName=G\nRIMQQManager=M\nRequestQ2=R2\nAnswerQName=A1\n"
        "[C]\nGroupName=G\nRIMQQManager=M\nRequestQName=R\nAnswerQName=A\n");
  tagVELTConnectOptionEx slots[config::kMaxServerEntries];
  ASSERT_EQ(Load("g", slots), 1) << "B fails with -2 and ends the scan before C";
  EXPECT_STREQ(slots[0].szSendQName, "R2");
  EXPECT_STREQ(slots[0].szReceiveQName, "A2");
  EXPECT_STREQ(slots[0].szProxy, "px");
  EXPECT_STREQ(slots[0].szSSL, "tls");
  EXPECT_EQ(Unpacked(slots[0].nPort), 1415);
}

TEST_F(ConfigFiles, BuildCodes) {
  const std::string managers = "[QMgr]QMgrName=M\nQMgrIp=h\nQMgrPort=1\n[QMgr1]QMgrName=P\nQMgrIp=h\n";
  const struct {
    const char* client;
    int code;
  } cases[] = {
      {"[S]\nRequestQName=R\nAnswerQName=A\n", -1},
      {"[S]\nRIMQQManager=M\nRequestQ2=R\n", -2},
      {"[S]\nRIMQQManager=M\nAnswerQName=A\n", -3},
      {"[S]\nRIMQQManager=M\nRequestQName=R\n", -4},
      {"[S]\nRIMQQManager=X\nRequestQName=R\nAnswerQName=A\n", -5},
      {"[S]\nRIMQQManager=P\nRequestQName=R\nAnswerQName=A\n", -6},
      {"[S]\nRIMQQManager=M\nRequestQName=R\nAnswerQName=A\n", 0},
  };
  for (const auto& c : cases) {
    tagVELTConnectOptionEx e;
    EXPECT_EQ(config::BuildServerEntry(c.client, managers, "S", &e), c.code) << c.client;
  }
}

TEST_F(ConfigFiles, ReaderTraps) {
  Write(config::kClientFile,
        "[One]\n  Key = a b\tc \r\nOldProxy=p\nLong=" + std::string(40, 'v') + "\nBell=x\aZed=z\n"
        "Cut=ab[cd]\n[Two]\nKey=2\n");
  char out[33];
  EXPECT_EQ(config::ReadKeyValue(config::kClientFile, "One", "Key", out, sizeof out), 0);
  EXPECT_STREQ(out, "abc") << "spaces and tabs vanish, also inside values; CRLF ends the line";
  EXPECT_EQ(config::ReadKeyValue(config::kClientFile, "One", "Proxy", out, sizeof out), 0);
  EXPECT_STREQ(out, "p") << "a key is found inside a longer key name";
  EXPECT_EQ(config::ReadKeyValue(config::kClientFile, "One", "Long", out, sizeof out), 0);
  EXPECT_EQ(std::string(out), std::string(32, 'v')) << "cut to the buffer";
  EXPECT_EQ(config::ReadKeyValue(config::kClientFile, "One", "Bell", out, sizeof out), 0);
  EXPECT_STREQ(out, "x") << "byte 7 is a line break";
  EXPECT_EQ(config::ReadKeyValue(config::kClientFile, "One", "Zed", out, sizeof out), 0);
  EXPECT_STREQ(out, "z");
  EXPECT_EQ(config::ReadKeyValue(config::kClientFile, "One", "Cut", out, sizeof out), 0);
  EXPECT_STREQ(out, "ab") << "a \"[\" ends the section's text";
  EXPECT_EQ(config::ReadKeyValue(config::kClientFile, "one", "Key", out, sizeof out), -1) << "case-sensitive";
  EXPECT_EQ(config::ReadKeyValue(config::kClientFile, "Two", "Missing", out, sizeof out), -1);
  EXPECT_STREQ(out, "") << "emptied by a failed lookup";
  EXPECT_EQ(config::ReadKeyValue(config::kClientFile, std::string(33, 'T').c_str(), "Key", out, sizeof out), -1);

  // Every "[" counts as a section start: the one inside "Cut" makes "cd" the second section.
  const char* names[] = {"One", "cd", "Two"};
  for (int k = 0; k < 3; ++k) {
    EXPECT_EQ(config::ReadSectionName(config::kClientFile, k, out, sizeof out), 0);
    EXPECT_STREQ(out, names[k]);
  }
  EXPECT_EQ(config::ReadSectionName(config::kClientFile, 3, out, sizeof out), -1);
}

TEST_F(ConfigFiles, QueueManagerNumberingAndCase) {
  Write(config::kQueueManagerFile,
        "[QMgr]\nQMgrName=A\nQMgrIp=a\n[QMgr1]\nQMgrName=qm\nQMgrIp=b\nQMgrPort=7\n"
        "[QMgr3]\nQMgrName=C\nQMgrIp=c\n");
  char out[33];
  EXPECT_EQ(config::ReadQueueManagerValue(config::kQueueManagerFile, "qm", "QMgrIp", out, sizeof out), 0);
  EXPECT_STREQ(out, "b");
  int port = 0;
  EXPECT_EQ(config::ReadQueueManagerInt(config::kQueueManagerFile, "qm", "QMgrPort", &port), 0);
  EXPECT_EQ(port, 7);
  EXPECT_EQ(config::ReadQueueManagerValue(config::kQueueManagerFile, "QM", "QMgrIp", out, sizeof out), -1)
      << "manager names compare with case";
  EXPECT_EQ(config::ReadQueueManagerValue(config::kQueueManagerFile, "C", "QMgrIp", out, sizeof out), -1)
      << "the search stops at the missing QMgr2";
}

TEST_F(ConfigFiles, GroupLoadAndLimits) {
  WriteManagers();
  std::string client;
  for (int i = 0; i < 18; ++i) {
    client += "[S" + std::to_string(i) + "]\nGroupName=G\nRIMQQManager=M\nRequestQName=R" + std::to_string(i) +
              "\nAnswerQName=A\n";
  }
  Write(config::kClientFile, client);
  tagVELTConnectOptionEx slots[config::kMaxServerEntries];
  EXPECT_EQ(Load("G", slots), 16) << "at most 16 entries";
  EXPECT_STREQ(slots[15].szSendQName, "R15");
  EXPECT_EQ(Load("s3", slots), 1) << "server names compare without case";
  EXPECT_STREQ(slots[0].szServerName, "S3");
  EXPECT_EQ(slots[1].szServerName[0], '\0') << "the other slots are cleared";
  EXPECT_EQ(Load("nobody", slots), 0);
}

// A connect that finds no entry clears all 16 slots before the load, also when the files give
// nothing; a plug-in list is never replaced by the files' queue entries.
TEST_F(ConfigFiles, AConnectWithoutEntryReloadsTheWholeListInQueueModeOnly) {
  WriteManagers();
  Write(config::kClientFile, "[fromfile]\nRIMQQManager=M\nRequestQName=R\nAnswerQName=A\n");
  tagVELTConnectOptionEx kept{};
  std::strcpy(kept.szServerName, "kept");
  std::strcpy(kept.szAddress, "inproc:config-test");
  CQueueTransport queue;
  queue.servers.ReplaceAll(velt::RecordKind::kConnectEx, &kept, 1);
  EXPECT_EQ(queue.Connect("absent", "", ""), velt::kConnectNoEntry);
  EXPECT_EQ(queue.servers.Slot(0)[0], 0) << "the list was cleared although the files had no entry";

  tagVELTPluginOption plugin{};
  std::strcpy(plugin.szServerName, "plugged");
  std::strcpy(plugin.szLibraryPath, "/nonexistent/plugin.so");
  CQueueTransport pluginMode;
  pluginMode.servers.ReplaceAll(velt::RecordKind::kPlugin, &plugin, 1);
  EXPECT_EQ(pluginMode.Connect("fromfile", "", ""), velt::kConnectNoEntry);
  EXPECT_EQ(std::memcmp(pluginMode.servers.Slot(0), &plugin, sizeof plugin), 0) << "the plug-in list stays";
}

TEST_F(ConfigFiles, MissingOrEmptyFiles) {
  tagVELTConnectOptionEx slots[config::kMaxServerEntries];
  EXPECT_EQ(Load("S1", slots), 0);
  Write(config::kClientFile, "[S1]\nRIMQQManager=M\nRequestQName=R\nAnswerQName=A\n");
  EXPECT_EQ(Load("S1", slots), 0) << "no queue-manager file: the entry fails";
  Write(config::kQueueManagerFile, "");
  EXPECT_EQ(Load("S1", slots), 0);
  char out[8];
  EXPECT_EQ(config::ReadSectionName(config::kQueueManagerFile, 0, out, sizeof out), -1);
}

}  // namespace
