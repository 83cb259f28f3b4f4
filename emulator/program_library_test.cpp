// Business programs in C: the example program library (examples/business_program.c) loaded and
// run through the dispatcher, and the refusals of libraries that do not keep the contract.
#include "program_library.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "call_dispatcher.h"
#include "command_line.h"
#include "wire/text_escape.h"

namespace veltemu {
namespace {

class ProgramLibraryTest : public ::testing::Test {
 protected:
  ProgramLibraryTest() : dispatcher_(1, "Tx.", stats_, stop_) {}

  bool Load(const std::string& path, std::string& error) {
    return libraries_.Load(path, [this](const std::string& name, Program p) {
      dispatcher_.registry().Register(name, std::move(p));
    }, error);
  }
  // A stand-alone call of `service` with the request text `pairs` (already escaped).
  CallOutcome Call(const std::string& service, const std::string& pairs) {
    JoinedRequest j;
    j.header.callType = velt::wire::kCallService;
    j.header.transactionMode = velt::wire::kModeStandAlone;
    velt::wire::SetField(j.header.program, service.substr(service.rfind('.') + 1, 8).c_str());
    j.text = "_VeltServiceID_=" + service + (pairs.empty() ? "" : "&" + pairs);
    return dispatcher_.Handle(j, Clock::now());
  }
  static Request Answered(const CallOutcome& o) {
    std::string t;
    for (const std::string& u : o.units) t += (t.empty() ? "" : "&") + u;
    return Request::Parse(velt::wire::PacketHeader{}, t);
  }

  ProgramLibraries libraries_;   // outlives the dispatcher that runs its programs
  StatsCounters stats_;
  StopSignal stop_;
  CallDispatcher dispatcher_;
};

TEST_F(ProgramLibraryTest, ExampleLibraryAnswersValuesTablesAndItsOwnErrors) {
  std::string error;
  ASSERT_TRUE(Load(VELT_EXAMPLE_PROGRAMS_PATH, error)) << error;

  const CallOutcome accounts = Call("bank.accounts", "OWNER=Ann@26Co");
  ASSERT_EQ(accounts.header.status, 0);
  const Request a = Answered(accounts);
  EXPECT_EQ(a.Value("OWNER").value_or("?"), "Ann&Co");
  ASSERT_EQ(a.tables().size(), 1u);
  EXPECT_EQ(a.tables()[0].cursor, "accounts");
  EXPECT_EQ(a.tables()[0].columns, (std::vector<std::string>{"id", "balance"}));
  EXPECT_EQ(a.tables()[0].rows, (std::vector<std::vector<std::string>>{{"1001", "12.50"}, {"1002", "7,25"}}));

  const CallOutcome missing = Call("bank.accounts", "");
  EXPECT_EQ(missing.header.status, 10001);
  EXPECT_EQ(Answered(missing).Value("_ERRMSG").value_or("?"), "OWNER is needed");

  // A request table read through the contract: cells, column names, row counts.
  const std::string table = "_RS_1=in;2;note,amount;1&_1=a,150&_2=b@2Cc,-50&_3=,250&_EORS_1=3";
  const CallOutcome total = Call("bank.total", table);
  ASSERT_EQ(total.header.status, 0) << Answered(total).Value("_ERRMSG").value_or("");
  EXPECT_EQ(Answered(total).Value("COUNT").value_or("?"), "3");
  EXPECT_EQ(Answered(total).Value("TOTAL").value_or("?"), "350");

  const CallOutcome bad = Call("bank.total", "_RS_1=in;1;amount;1&_1=12x&_EORS_1=1");
  EXPECT_EQ(bad.header.status, 10002);
  EXPECT_EQ(Answered(bad).Value("_ERRMSG").value_or("?"), "row 1: not a whole number");
  EXPECT_EQ(Call("bank.total", "").header.status, 10002);
  // A descriptor with fewer names than columns: the missing names are null, not a crash.
  EXPECT_EQ(Call("bank.total", "_RS_1=in;2;note;1&_1=a,1&_EORS_1=1").header.status, 10002);
}

TEST_F(ProgramLibraryTest, LibrariesOutsideTheContractAreRefusedWithTheReason) {
  std::string error;
  EXPECT_FALSE(Load("/nonexistent/libnone.so", error));
  EXPECT_NE(error.find("cannot load program library '/nonexistent/libnone.so'"), std::string::npos) << error;
  // A real shared library without the entry function.
  EXPECT_FALSE(Load(VELT_LIBRARY_WITHOUT_ENTRY, error));
  EXPECT_NE(error.find("does not export VELTEMU_RegisterPrograms"), std::string::npos) << error;
}

TEST_F(ProgramLibraryTest, TheHostRefusesBadArgumentsAndARefusingEntryStopsTheLoad) {
  std::string error;
  ASSERT_TRUE(Load(VELT_CONTRACT_PROGRAMS_PATH, error)) << error;
  const CallOutcome probe = Call("contract.probe", "");
  EXPECT_EQ(probe.header.status, 0) << "check " << Answered(probe).Value("_ERRMSG").value_or("?");
  EXPECT_EQ(Answered(probe).Value("RESULT").value_or("?"), "ok");

  ASSERT_EQ(setenv("CONTRACT_REFUSE", "1", 1), 0);
  const bool loaded = Load(VELT_CONTRACT_PROGRAMS_PATH, error);
  unsetenv("CONTRACT_REFUSE");
  EXPECT_FALSE(loaded);
  EXPECT_NE(error.find("VELTEMU_RegisterPrograms returned 5"), std::string::npos) << error;
}

TEST(ProgramList, CommandLineTakesACommaList) {
  std::vector<std::string> paths;
  EXPECT_TRUE(SplitProgramList("./a.so,/opt/b.so", paths));
  EXPECT_EQ(paths, (std::vector<std::string>{"./a.so", "/opt/b.so"}));
  for (const char* bad : {"", "a.so,", ",a.so", "a.so,,b.so"}) EXPECT_FALSE(SplitProgramList(bad, paths)) << bad;

  EmulatorConfig config;
  std::string error;
  const char* argv[] = {"velt-emulator", "--address", "inproc", "--request-queue", "Q", "--programs", "x.so,y.so"};
  ASSERT_EQ(ParseCommandLine(7, argv, config, error), CommandLineResult::kRun) << error;
  EXPECT_EQ(config.programLibraries, (std::vector<std::string>{"x.so", "y.so"}));
  const char* empty[] = {"velt-emulator", "--address", "inproc", "--request-queue", "Q", "--programs", "x.so,"};
  EXPECT_EQ(ParseCommandLine(7, empty, config, error), CommandLineResult::kError);
}

}  // namespace
}  // namespace veltemu
