// The command line of velt-emulator.
#include "command_line.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

namespace veltemu {
namespace {

CommandLineResult Parse(std::vector<const char*> args, EmulatorConfig& c, std::string& error) {
  args.insert(args.begin(), "velt-emulator");
  return ParseCommandLine(static_cast<int>(args.size()), args.data(), c, error);
}

TEST(CommandLineTest, ReadsEveryFlag) {
  EmulatorConfig c;
  std::string error;
  ASSERT_EQ(Parse({"--address", "127.0.0.1", "--port", "6380", "--protocol", "0", "--user", "u", "--password", "p",
                   "--request-queue", "REQ", "--server-number", "9", "--workers", "4", "-v"},
                  c, error),
            CommandLineResult::kRun)
      << error;
  EXPECT_EQ(c.address, "127.0.0.1");
  EXPECT_EQ(c.port, 6380);
  EXPECT_EQ(c.protocol, 0);
  EXPECT_EQ(c.user, "u");
  EXPECT_EQ(c.password, "p");
  EXPECT_EQ(c.requestQueue, "REQ");
  EXPECT_EQ(c.serverNumber, 9);
  EXPECT_EQ(c.workers, 4);
  EXPECT_TRUE(c.verbose);
}

TEST(CommandLineTest, RefusesBadCommandLinesWithAReason) {
  const std::string longQueue(33, 'q');
  const std::vector<std::vector<const char*>> bad = {
      {"--bogus"},
      {"--address"},
      {"--address", "h", "--port", "x", "--request-queue", "Q"},
      {"--address", "h", "--port", "70000", "--request-queue", "Q"},
      {"--address", "h", "--request-queue", "Q"},                       // TCP needs a port
      {"--address", "inproc", "--port", "0"},                           // no queue
      {"--port", "1", "--request-queue", "Q"},                          // no address
      {"--address", "inproc", "--request-queue", "Q", "--workers", "0"},
      {"--address", "inproc", "--request-queue", "Q", "--protocol", "3"},
      {"--address", "inproc", "--request-queue", "Q", "--user", "u"},  // user without password
      {"--address", "inproc", "--request-queue", longQueue.c_str()},
  };
  for (const auto& args : bad) {
    EmulatorConfig c;
    std::string error;
    EXPECT_EQ(Parse(args, c, error), CommandLineResult::kError) << args.size();
    EXPECT_FALSE(error.empty());
  }
}

TEST(CommandLineTest, PasswordFromAFileOrTheEnvironmentBeforeTheFlag) {
  char folder[] = "/tmp/velt_emu_cl_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string file = std::string(folder) + "/redis.pw";
  std::ofstream(file) << "from-file\r\nsecond line\n";
  const std::string empty = std::string(folder) + "/empty.pw";
  std::ofstream{empty};
  struct Case { std::vector<const char*> extra; const char* environment; const char* password; bool ok; };
  const Case cases[] = {
      {{"--password-file", file.c_str()}, nullptr, "from-file", true},
      {{}, "from-env", "from-env", true},
      {{"--password-file", file.c_str()}, "from-env", "from-file", true},   // a flag wins
      {{"--password", "p"}, "from-env", "p", true},
      {{"--password-file", empty.c_str()}, nullptr, "", false},
      {{"--password-file", "/nonexistent/pw"}, nullptr, "", false},
  };
  for (const Case& k : cases) {
    std::vector<const char*> args = {"--address", "inproc", "--request-queue", "Q", "--user", "u"};
    args.insert(args.end(), k.extra.begin(), k.extra.end());
    if (k.environment != nullptr) setenv("VELT_EMULATOR_PASSWORD", k.environment, 1);
    EmulatorConfig c;
    std::string error;
    const CommandLineResult r = Parse(args, c, error);
    unsetenv("VELT_EMULATOR_PASSWORD");
    EXPECT_EQ(r == CommandLineResult::kRun, k.ok) << error;
    if (k.ok) {
      EXPECT_EQ(c.password, k.password);
    }
  }
  std::remove(file.c_str());
  std::remove(empty.c_str());
  rmdir(folder);
}

TEST(CommandLineTest, HelpAndLocalEngines) {
  EmulatorConfig c;
  std::string error;
  EXPECT_EQ(Parse({"--help"}, c, error), CommandLineResult::kHelp);
  EXPECT_EQ(Parse({"--address", "inproc", "--request-queue", "Q"}, c, error), CommandLineResult::kRun) << error;
  EXPECT_EQ(Parse({"--address", "/tmp/r.sock", "--protocol", "2", "--request-queue", "Q"}, c, error),
            CommandLineResult::kRun)
      << error;
}

}  // namespace
}  // namespace veltemu
