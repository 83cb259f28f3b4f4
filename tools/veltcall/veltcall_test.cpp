// veltcall end to end: the program against a velt-emulator process over a real Redis server,
// through its command line, outputs and exit codes.
#include <fcntl.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <json/json.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "child_process.h"
#include "testsupport/redis_server.h"
#include "testsupport/temp_folder.h"

namespace velt::veltcall::test {
namespace {

using Args = std::vector<std::string>;

class Veltcall : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!testsupport::RedisServerAvailable()) return;
    redis_ = new testsupport::RedisServer(std::vector<testsupport::RedisUser>{{"alice", "secret"}});
    if (!redis_->Start()) return;
    emulator_ = new BackgroundChild;
    emulator_->Start({VELT_EMULATOR_PATH, "--address", "127.0.0.1", "--port", std::to_string(redis_->port()),
                      "--user", "alice", "--password", "secret", "--request-queue", "VC.REQ", "--workers", "2"});
  }
  static void TearDownTestSuite() {
    delete emulator_;
    delete redis_;
    emulator_ = nullptr;
    redis_ = nullptr;
  }
  void SetUp() override {
    VELT_REQUIRE_REDIS_SERVER();
    ASSERT_TRUE(redis_ != nullptr && redis_->running()) << (redis_ ? redis_->error() : "");
    // Ready once the emulator answers a ping.
    for (int i = 0; i < 100 && Run({"ping"}).exitCode != 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }

  // veltcall with the command's arguments and the connection flags of the suite's emulator.
  static ChildResult Run(Args args, ChildOptions options = {}) {
    // The suite's connection flags come first, so a test's own flags after them win.
    Args argv = {VELTCALL_PATH, args.at(0), "--address", "127.0.0.1", "--send-queue", "VC.REQ", "--user", "alice",
                 "--port", std::to_string(redis_->port())};
    argv.insert(argv.end(), args.begin() + 1, args.end());
    args = std::move(argv);
    if (options.env.count("VELT_PASSWORD") == 0 && !HasFlag(args, "--password-stdin"))
      options.env["VELT_PASSWORD"] = "secret";
    options.env["LC_ALL"] = "C.UTF-8";
    return RunChild(args, options);
  }
  static bool HasFlag(const Args& args, const std::string& flag) {
    for (const auto& a : args)
      if (a == flag) return true;
    return false;
  }

  static testsupport::RedisServer* redis_;
  static BackgroundChild* emulator_;
};
testsupport::RedisServer* Veltcall::redis_ = nullptr;
BackgroundChild* Veltcall::emulator_ = nullptr;

const Args kEchoRequest = {"call", "echo", "ACCT=A&1=2", "NOTE=中文", "--table", "t1", "code,name",
                           "--row", "7,x\\,y", "--row", "8,中文名", "--row", "9,a \"quoted\"\nline"};

TEST_F(Veltcall, TextShowsValuesAndAlignedTablesWithWideAndCutCells) {
  ChildResult r = Run(kEchoRequest);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "ACCT = A&1=2\n"
            "NOTE = 中文\n"
            "\n"
            "t1:\n"
            "code  name\n"
            "----  ----------------\n"
            "7     x,y\n"
            "8     中文名\n"
            "9     a \"quoted\"\\nline\n"
            "(3 rows)\n");
  r = Run({"call", "echo", "--table", "t", "a,b", "--row", "abcdefgh,中文中文", "--max-width", "5"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "t:\na      b\n-----  -----\nabcd…  中文…\n(1 row)\n");
}

TEST_F(Veltcall, JsonIsOneDocumentThatParsesBack) {
  Args args = kEchoRequest;
  for (const char* a : {"--blob", "BIN=AAEC/w==", "--table", "t2", "only", "--row", "z", "--json"}) args.push_back(a);
  const ChildResult r = Run(args);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  Json::Value doc;
  std::string errors;
  std::istringstream in(r.out);
  ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in, &doc, &errors)) << errors << r.out;
  EXPECT_EQ(doc["status"].asInt(), 0);
  EXPECT_TRUE(doc["error"].isNull());
  EXPECT_EQ(doc["values"]["ACCT"].asString(), "A&1=2");
  EXPECT_EQ(doc["values"]["NOTE"].asString(), "中文");
  EXPECT_EQ(doc["values"]["BIN"]["base64"].asString(), "AAEC/w==");
  ASSERT_EQ(doc["resultSets"].size(), 2u);
  const Json::Value& t1 = doc["resultSets"][0];
  EXPECT_EQ(t1["name"].asString(), "t1");
  EXPECT_EQ(t1["columns"][1].asString(), "name");
  ASSERT_EQ(t1["rows"].size(), 3u);
  EXPECT_EQ(t1["rows"][0]["name"].asString(), "x,y");
  EXPECT_EQ(t1["rows"][1]["name"].asString(), "中文名");
  EXPECT_EQ(t1["rows"][2]["name"].asString(), "a \"quoted\"\nline");
  EXPECT_EQ(doc["resultSets"][1]["rows"][0]["only"].asString(), "z");

  const ChildResult failed = Run({"call", "fail", "CODE=42", "MSG=broken", "--json"});
  EXPECT_EQ(failed.exitCode, 1);
  std::istringstream in2(failed.out);
  ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in2, &doc, &errors)) << failed.out;
  EXPECT_EQ(doc["status"].asInt(), 42);
  EXPECT_EQ(doc["error"]["code"].asInt(), 42);
  EXPECT_EQ(doc["error"]["message"].asString(), "broken");
}

TEST_F(Veltcall, CsvQuotesCommasQuotesAndLineBreaks) {
  Args args = kEchoRequest;
  for (const char* a : {"--table", "t2", "only", "--row", "z", "--csv"}) args.push_back(a);
  const ChildResult r = Run(args);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "code,name\r\n7,\"x,y\"\r\n8,中文名\r\n9,\"a \"\"quoted\"\"\nline\"\r\n"
            "\r\n"
            "only\r\nz\r\n");
}

TEST_F(Veltcall, HundredThousandRowsStreamWithBoundedMemory) {
  // 100,000 rows of four 100-byte cells: about 40 MB of answer text.
  const ChildResult r = Run({"call", "rows", "ROWS=100000", "COLS=4", "CELLLEN=100", "--csv", "--commit"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::size_t lines = 0;
  for (const char c : r.out) lines += c == '\n';
  EXPECT_EQ(lines, 100001u);
  const std::string last = "r100000c4" + std::string(91, 'x') + "\r\n";
  EXPECT_EQ(r.out.substr(r.out.size() - last.size()), last);
  EXPECT_GT(r.out.size(), 40000000u);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
  EXPECT_LT(r.maxRssKb, 20 * 1024) << "veltcall held the answer instead of streaming it";
#endif
  EXPECT_TRUE(r.err.empty()) << "no progress line when standard error is not a terminal: " << r.err;
}

TEST_F(Veltcall, AsynchronousCallsCollectEveryPartOrGiveUpAfterTheWait) {
  ChildResult r = Run({"call", "rows", "ROWS=3000", "COLS=3", "CELLLEN=30", "--async", "--commit", "--csv"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 3001);
  r = Run({"call", "sleep", "MS=1500", "--async", "--wait", "100"});
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_NE(r.err.find("2033 RIMQRC_NO_MSG_AVAILABLE"), std::string::npos) << r.err;
}

TEST_F(Veltcall, FailingProgramExitsOneWithItsStatusAndMessage) {
  for (const char* code : {"42", "-7"}) {
    const ChildResult r = Run({"call", "fail", std::string("CODE=") + code, "MSG=account locked"});
    EXPECT_EQ(r.exitCode, 1) << code;
    EXPECT_NE(r.err.find(std::string("call failed: status ") + code + ": account locked"), std::string::npos) << r.err;
  }
}

TEST_F(Veltcall, DefaultCallRollsBackAndCommitKeepsTheWork) {
  EXPECT_EQ(Run({"call", "kv.put", "KEY=rb", "VALUE=1"}).exitCode, 0);
  EXPECT_EQ(Run({"call", "kv.get", "KEY=rb"}).out, "FOUND = 0\n");
  EXPECT_EQ(Run({"call", "kv.put", "KEY=rb", "VALUE=1", "--commit"}).exitCode, 0);
  EXPECT_EQ(Run({"call", "kv.get", "KEY=rb"}).out, "FOUND = 1\nVALUE = 1\n");
}

TEST_F(Veltcall, ChineseTextTravelsAsGbkAndShowsAsUtf8) {
  ASSERT_EQ(Run({"call", "kv.put", "KEY=cn", "VALUE=中文", "--commit"}).exitCode, 0);
  EXPECT_EQ(Run({"call", "kv.get", "KEY=cn", "--raw"}).out, "FOUND = 1\nVALUE = \xD6\xD0\xCE\xC4\n");
  EXPECT_EQ(Run({"call", "kv.get", "KEY=cn"}).out, "FOUND = 1\nVALUE = 中文\n");
  const ChildResult r = Run({"call", "echo", "V=😀"});
  EXPECT_EQ(r.exitCode, 2) << "a character without a GBK form is refused, not sent damaged";
}

TEST_F(Veltcall, ConnectAndExchangeFailuresNameTheCodeAndAHint) {
  struct Case {
    Args args;
    std::map<std::string, std::string> env;
    int exitCode;
    std::string code;
    std::string hint;
  };
  const Case cases[] = {
      {{"ping", "--port", "1"}, {}, 3, "2004 RIMQRC_QMGR_NOT_REACHABLE", "nothing answers at 127.0.0.1:1"},
      {{"ping"}, {{"VELT_PASSWORD", "wrong"}}, 3, "2035 RIMQRC_NOT_AUTHORIZED", "refused user 'alice'"},
      {{"call", "echo", "--send-queue", "NOBODY", "--timeout", "1"}, {}, 4, "2033 RIMQRC_NO_MSG_AVAILABLE",
       "is a platform or velt-emulator serving queue NOBODY"},
      {{"ping", "--send-queue", "NOBODY", "--timeout", "1"}, {}, 4, "2033", "serving queue NOBODY"},
  };
  for (const Case& c : cases) {
    ChildOptions options;
    options.env = c.env;
    const ChildResult r = Run(c.args, options);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << " " << r.err;
    EXPECT_NE(r.err.find(c.code), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(c.hint), std::string::npos) << r.err;
  }
}

TEST_F(Veltcall, ServerEntryComesFromTheConfigurationFiles) {
  testsupport::TempFolder folder;
  folder.Write("LUNQCli.ini", "[EMU]\nRIMQQManager=QM1\nRequestQ2=VC.REQ\nAnswerQ2=VC.ANS.INI\n");
  folder.Write("rimqapi.ini", "[QMgr]\nQMgrName=QM1\nQMgrIp=127.0.0.1\nQMgrPort=" + std::to_string(redis_->port()) + "\n");
  ChildOptions options;
  options.folder = folder.path().string();
  options.env = {{"VELT_PASSWORD", "secret"}, {"LC_ALL", "C.UTF-8"}};
  ChildResult r = RunChild({VELTCALL_PATH, "call", "echo", "A=1", "--server", "emu", "--user", "alice"}, options);
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "A = 1\n");
  r = RunChild({VELTCALL_PATH, "ping", "--server", "OTHER", "--user", "alice"}, options);
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.err.find("-1 VELTCLI_NO_SERVER_ENTRY"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("give --address"), std::string::npos) << r.err;
}

TEST_F(Veltcall, PasswordComesFromTheEnvironmentOrAPipeNeverFromTheCommandLine) {
  ChildOptions piped;
  piped.unsetEnv = {"VELT_PASSWORD"};
  piped.env = {{"VELT_PASSWORD", ""}};   // replaced below per case
  struct Case {
    Args args;
    std::string input;
    int exitCode;
    std::string message;
  };
  const Case cases[] = {
      {{"ping", "--password-stdin"}, "secret\n", 0, ""},
      {{"ping", "--password-stdin"}, "wrong\n", 3, "2035"},
      {{"ping", "--password-stdin"}, "", 2, "standard input ended"},
      {{"ping"}, "", 2, "needs a password"},
      {{"ping", "--password", "secret"}, "", 2, "not taken on the command line"},
      {{"ping", "--password=secret"}, "", 2, "not taken on the command line"},
  };
  for (const Case& c : cases) {
    Args args = c.args;
    args.insert(args.begin(), VELTCALL_PATH);
    for (const std::string& a : {std::string("--address"), std::string("127.0.0.1"), std::string("--port"),
                                 std::to_string(redis_->port()), std::string("--send-queue"), std::string("VC.REQ"),
                                 std::string("--user"), std::string("alice")})
      args.push_back(a);
    ChildOptions options;
    options.unsetEnv = {"VELT_PASSWORD"};
    options.input = c.input;
    const ChildResult r = RunChild(args, options);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args.back() << " " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

TEST_F(Veltcall, PasswordPromptOnATerminalDoesNotEcho) {
  std::vector<std::string> args = {VELTCALL_PATH, "ping", "--address", "127.0.0.1", "--port",
                                   std::to_string(redis_->port()), "--send-queue", "VC.REQ", "--user", "alice"};
  ChildOptions options;
  options.unsetEnv = {"VELT_PASSWORD"};
  std::vector<std::string> env = ChildEnvironment(options);
  std::vector<char*> argp, envp;
  for (auto& a : args) argp.push_back(a.data());
  argp.push_back(nullptr);
  for (auto& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  int master = -1;
  const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    execve(argp[0], argp.data(), envp.data());
    _exit(127);
  }
  std::string seen;
  char buffer[4096];
  auto readSome = [&] {
    const ssize_t n = read(master, buffer, sizeof buffer);
    if (n > 0) seen.append(buffer, static_cast<std::size_t>(n));
    return n > 0;
  };
  while (seen.find("Password for alice: ") == std::string::npos && readSome()) {
  }
  ASSERT_NE(seen.find("Password for alice: "), std::string::npos) << seen;
  termios t{};
  for (int i = 0; i < 100 && tcgetattr(master, &t) == 0 && (t.c_lflag & ECHO) != 0; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(t.c_lflag & ECHO, 0u) << "the prompt turns echo off";
  ASSERT_EQ(write(master, "secret\n", 7), 7);
  while (readSome()) {
  }
  int status = 0;
  waitpid(pid, &status, 0);
  close(master);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << seen;
  EXPECT_NE(seen.find("the platform answered"), std::string::npos) << seen;
  EXPECT_EQ(seen.find("secret"), std::string::npos) << "the password was echoed: " << seen;
}

TEST(VeltcallCommandLine, UsageErrorsExitTwoAndHelpExitsZero) {
  const Args bad[] = {
      {"frobnicate"},
      {"call", "--address", "h"},
      {"call", "echo"},
      {"call", "echo", "--address", "h", "NOVALUE"},
      {"call", "echo", "--address", "h", "--row", "1"},
      {"call", "echo", "--address", "h", "--table", "t", "a,b", "--row", "1"},
      {"call", "echo", "--address", "h", "--table", "t", "a", "--row", "1\\"},
      {"call", "echo", "--address", "h", "--json", "--csv"},
      {"call", "echo", "--address", "h", "--json", "--raw"},
      {"call", "echo", "--address", "h", "--wait", "5"},
      {"call", "echo", "--address", "h", "--blob", "B=not base64"},
      {"ping", "--address", "h", "--port", "70000"},
      {"ping", "--address", "h", "extra"},
  };
  for (const Args& args : bad) {
    Args argv = args;
    argv.insert(argv.begin(), VELTCALL_PATH);
    const ChildResult r = RunChild(argv);
    EXPECT_EQ(r.exitCode, 2) << argv[1] << " " << argv.back();
    EXPECT_EQ(r.err.rfind("veltcall: ", 0), 0u) << r.err;
  }
  for (const Args& args : {Args{"--help"}, Args{"call", "--help"}, Args{"ping", "--help"}}) {
    Args argv = args;
    argv.insert(argv.begin(), VELTCALL_PATH);
    const ChildResult r = RunChild(argv);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("Exit codes: 0 success"), std::string::npos) << r.out;
  }
}

}  // namespace
}  // namespace velt::veltcall::test
