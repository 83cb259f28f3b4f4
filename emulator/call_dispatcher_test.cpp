// The dispatcher without a queue: control calls, transaction modes, the built-in programs and
// the dispatch of business programs.
#include "call_dispatcher.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include "status_codes.h"
#include "wire/text_escape.h"

namespace veltemu {
namespace {

struct Call {
  int type = velt::wire::kCallService;
  int mode = velt::wire::kModeStandAlone;
  std::string program;
  std::vector<std::pair<std::string, std::string>> values;
  std::string transaction;
  int session = 0;
};

class DispatcherTest : public ::testing::Test {
 protected:
  DispatcherTest() : dispatcher_(5, "Tx.", stats_, stop_) {}

  CallOutcome Run(const Call& c) {
    JoinedRequest j;
    j.header.callType = c.type;
    j.header.transactionMode = c.mode;
    j.header.sessionNumber = c.session;
    velt::wire::SetField(j.header.program, c.program.substr(0, 8).c_str());
    velt::wire::SetField(j.header.transactionId, c.transaction.c_str());
    velt::wire::SetField(j.header.servicePrefix, "pre");
    j.text = "_CA=2.4&_ENDIAN=0";
    if (c.type == velt::wire::kCallService && !c.program.empty()) j.text += "&_VeltServiceID_=" + velt::wire::Escaped(c.program, velt::wire::kPairEscapes);
    for (const auto& [n, v] : c.values) j.text += "&" + velt::wire::Escaped(n, velt::wire::kPairEscapes) + "=" + velt::wire::Escaped(v, velt::wire::kPairEscapes);
    return dispatcher_.Handle(j, Clock::now());
  }
  static std::string Text(const CallOutcome& o) {
    std::string t;
    for (const std::string& u : o.units) t += (t.empty() ? "" : "&") + u;
    return t;
  }
  static std::string Value(const CallOutcome& o, const char* name) {
    return Request::Parse(velt::wire::PacketHeader{}, Text(o)).Value(name).value_or("?");
  }
  std::string Put(const std::string& key, const std::string& value, int mode, const std::string& txn = "") {
    const CallOutcome o = Run({velt::wire::kCallService, mode, "kv.put", {{"KEY", key}, {"VALUE", value}}, txn});
    EXPECT_EQ(o.header.status, 0) << Text(o);
    return o.header.transactionId;
  }
  std::string Get(const std::string& key, const std::string& txn = "") {
    const CallOutcome o = Run({velt::wire::kCallService, txn.empty() ? velt::wire::kModeStandAlone : velt::wire::kModeContinue, "kv.get", {{"KEY", key}}, txn});
    EXPECT_EQ(o.header.status, 0) << Text(o);
    return Value(o, "FOUND") == "1" ? Value(o, "VALUE") : "(none)";
  }

  StatsCounters stats_;
  StopSignal stop_;
  CallDispatcher dispatcher_;
};

TEST_F(DispatcherTest, SignOnNumbersSessionsAndSignOffForgetsThem) {
  const CallOutcome first = Run({velt::wire::kCallSignOn});
  const CallOutcome second = Run({velt::wire::kCallSignOn});
  EXPECT_EQ(first.header.sessionNumber, 1);
  EXPECT_EQ(second.header.sessionNumber, 2);
  for (const CallOutcome* o : {&first, &second}) {
    EXPECT_EQ(o->header.status, 0);
    EXPECT_TRUE(o->units.empty());
    EXPECT_EQ(o->header.serverNumber, 5);
  }
  EXPECT_EQ(Run({velt::wire::kCallSignOff, 0, "", {}, "", 1}).header.status, 0);
  EXPECT_FALSE(dispatcher_.sessions().Known(1));
  EXPECT_TRUE(dispatcher_.sessions().Known(2));
  const Stats s = stats_.Snapshot();
  EXPECT_EQ(s.signOns, 2u);
  EXPECT_EQ(s.signOffs, 1u);
  EXPECT_EQ(s.callsByType[0], 2u);
  EXPECT_EQ(s.callsByType[1], 1u);
}

TEST_F(DispatcherTest, CommitMakesTransactionalWritesVisible) {
  const std::string txn = Put("k", "v1", velt::wire::kModeOpen);
  ASSERT_FALSE(txn.empty());
  EXPECT_LE(txn.size(), 26u);
  EXPECT_EQ(Put("k2", "v2", velt::wire::kModeContinue, txn), txn);
  EXPECT_EQ(Get("k"), "(none)");        // not committed: invisible outside
  EXPECT_EQ(Get("k", txn), "v1");       // its own writes
  const CallOutcome commit = Run({velt::wire::kCallCommit, velt::wire::kModeEnd, "", {}, txn});
  EXPECT_EQ(commit.header.status, 0);
  EXPECT_TRUE(commit.units.empty());
  EXPECT_STREQ(commit.header.transactionId, "");
  EXPECT_EQ(Get("k"), "v1");
  EXPECT_EQ(Get("k2"), "v2");
  // Ended: a second commit and a further call in it are refused.
  EXPECT_EQ(Run({velt::wire::kCallCommit, velt::wire::kModeEnd, "", {}, txn}).header.status, kStatusUnknownTransaction);
  EXPECT_EQ(Run({velt::wire::kCallService, velt::wire::kModeContinue, "kv.get", {{"KEY", "k"}}, txn}).header.status,
            kStatusUnknownTransaction);
}

TEST_F(DispatcherTest, RollBackCancelAndCloseCursorDropTheWrites) {
  for (int type : {velt::wire::kCallRollBack, velt::wire::kCallCancel, velt::wire::kCallCloseCursor}) {
    SCOPED_TRACE(type);
    const std::string key = "key" + std::to_string(type);
    const std::string txn = Put(key, "x", velt::wire::kModeOpen);
    EXPECT_EQ(Run({type, velt::wire::kModeEnd, "", {}, txn}).header.status, 0);
    EXPECT_EQ(Get(key), "(none)");
    EXPECT_EQ(dispatcher_.transactions().open(), 0u);
  }
}

TEST_F(DispatcherTest, StandAlonePutCommitsAtOnce) {
  EXPECT_EQ(Put("s", "1", velt::wire::kModeStandAlone), "");
  EXPECT_EQ(Get("s"), "1");
  EXPECT_EQ(dispatcher_.transactions().open(), 0u);
}

TEST_F(DispatcherTest, SignOffRollsBackTheSessionsTransactions) {
  const int session = Run({velt::wire::kCallSignOn}).header.sessionNumber;
  const CallOutcome o = Run({velt::wire::kCallService, velt::wire::kModeOpen, "kv.put", {{"KEY", "q"}, {"VALUE", "1"}}, "", session});
  ASSERT_EQ(o.header.status, 0);
  Run({velt::wire::kCallSignOff, 0, "", {}, "", session});
  EXPECT_EQ(Run({velt::wire::kCallCommit, velt::wire::kModeEnd, "", {}, o.header.transactionId}).header.status, kStatusUnknownTransaction);
  EXPECT_EQ(Get("q"), "(none)");
}

TEST_F(DispatcherTest, FailedFirstCallOfATransactionLeavesNoneOpen) {
  const CallOutcome o = Run({velt::wire::kCallService, velt::wire::kModeOpen, "fail", {{"CODE", "3"}, {"MSG", "m"}}});
  EXPECT_EQ(o.header.status, 3);
  EXPECT_STREQ(o.header.transactionId, "");
  EXPECT_EQ(dispatcher_.transactions().open(), 0u);
}

TEST_F(DispatcherTest, RefusedCallsAnswerWithStatusAndErrorValues) {
  struct Case {
    const char* name;
    Call call;
    int status;
  };
  const Case cases[] = {
      {"unknown service", {velt::wire::kCallService, 0, "nosuch"}, kStatusUnknownService},
      {"unknown transaction", {velt::wire::kCallService, velt::wire::kModeContinue, "echo", {}, "T404"}, kStatusUnknownTransaction},
      {"commit of unknown transaction", {velt::wire::kCallCommit, velt::wire::kModeEnd, "", {}, "T404"}, kStatusUnknownTransaction},
      {"other type in mode 4", {7, velt::wire::kModeEnd, "", {}, "T1"}, kStatusBadCall},
      {"service call in mode 4", {velt::wire::kCallService, velt::wire::kModeEnd, "echo"}, kStatusBadCall},
      {"type 0 with a program", {velt::wire::kCallSignOn, 0, "echo"}, kStatusBadCall},
      {"rows without ROWS", {velt::wire::kCallService, 0, "rows", {{"COLS", "1"}}}, kStatusBadArgument},
      {"rows too large", {velt::wire::kCallService, 0, "rows", {{"ROWS", "10000000"}, {"COLS", "10000"}}}, kStatusAnswerTooLarge},
      {"sleep too long", {velt::wire::kCallService, 0, "sleep", {{"MS", "600001"}}}, kStatusBadArgument},
      {"fail without CODE", {velt::wire::kCallService, 0, "fail"}, kStatusBadArgument},
      {"corrupt of unknown kind", {velt::wire::kCallService, 0, "corrupt", {{"ROWS", "1"}, {"COLS", "1"}, {"KIND", "x"}}},
       kStatusBadArgument},
      {"kv.get without KEY", {velt::wire::kCallService, 0, "kv.get"}, kStatusBadArgument},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const CallOutcome o = Run(c.call);
    EXPECT_EQ(o.header.status, c.status);
    EXPECT_EQ(Value(o, "_ERRNO"), std::to_string(c.status));
    EXPECT_NE(Value(o, "_ERRMSG"), "?");
    EXPECT_STREQ(o.header.servicePrefix, "pre");
  }
}

TEST_F(DispatcherTest, FailAnswersItsCodeAndMessage) {
  const CallOutcome o = Run({velt::wire::kCallService, 0, "fail", {{"CODE", "-77"}, {"MSG", "broken & gone"}}});
  EXPECT_EQ(o.header.status, -77);
  EXPECT_EQ(Text(o), "_ERRNO=-77&_ERRMSG=broken @26 gone");
}

TEST_F(DispatcherTest, RowsNumbersCellsWithinEachTable) {
  const CallOutcome o =
      Run({velt::wire::kCallService, 0, "rows", {{"ROWS", "2"}, {"COLS", "2"}, {"CELLLEN", "6"}, {"TABLES", "2"}}});
  ASSERT_EQ(o.header.status, 0);
  EXPECT_EQ(Text(o),
            "_RS_1=t1;2;c1,c2;1&_1=r1c1xx,r1c2xx&_2=r2c1xx,r2c2xx&_EORS_1=2"
            "&_RS_2=t2;2;c1,c2;3&_3=r1c1xx,r1c2xx&_4=r2c1xx,r2c2xx&_EORS_2=4&_RC=4&_CC=2&_TL=2:2;2:2;");
}

TEST_F(DispatcherTest, EchoAnswersValuesTablesAndBinaryValues) {
  JoinedRequest j;
  j.header.callType = velt::wire::kCallService;
  velt::wire::SetField(j.header.program, "echo");
  j.text = "_CA=2.4&_ENDIAN=0&_VeltServiceID_=echo&acct=A@26B&img=_BASE64_img&_BASE64_img=AQID"
           "&_RS_1=t1;2;code,name;1&_1=7,x@402Cy&_EORS_1=1&_RC=1&_CC=2&_TL=2:1;";
  const CallOutcome o = dispatcher_.Handle(j, Clock::now());
  EXPECT_EQ(Text(o), "acct=A@26B&img=_BASE64_img&_BASE64_img=AQID&_RS_1=t1;2;code,name;1&_1=7,x@402Cy&_EORS_1=1"
                     "&_RC=1&_CC=2&_TL=2:1;");
}

TEST_F(DispatcherTest, ItemsAnswersTheNamedValuesAsOneRow) {
  JoinedRequest j;
  j.header.callType = velt::wire::kCallService;
  velt::wire::SetField(j.header.program, "items");
  j.text = "_CA=2.4&_ENDIAN=0&_VeltServiceID_=items&USER_ID=u1&EMPTY=&NOTE=a,b&img=_BASE64_img&_BASE64_img=AQID";
  const Request answer = Request::Parse(velt::wire::PacketHeader{}, Text(dispatcher_.Handle(j, Clock::now())));
  ASSERT_EQ(answer.tables().size(), 1u);
  const RequestTable& t = answer.tables()[0];
  EXPECT_EQ(t.cursor, "items");
  EXPECT_EQ(t.columnText, "USER_ID,EMPTY,NOTE,img");
  ASSERT_EQ(t.rows.size(), 1u);
  EXPECT_EQ(t.rows[0], (std::vector<std::string>{"u1", "", "a,b", std::string("\x01\x02\x03")}));
}

TEST_F(DispatcherTest, ProgramsAreFoundByServiceIdThenByTheirEightCharacterName) {
  dispatcher_.registry().Register("accounts.balance", [](const Request&, Answer& a) { a.SetValue("who", "full"); });
  dispatcher_.registry().Register("longprogramname", [](const Request&, Answer& a) { a.SetValue("who", "long"); });
  JoinedRequest byPrefix;
  byPrefix.header.callType = velt::wire::kCallService;
  velt::wire::SetField(byPrefix.header.program, "longprog");
  byPrefix.text = "_CA=2.4";
  EXPECT_EQ(Value(dispatcher_.Handle(byPrefix, Clock::now()), "who"), "long");
  EXPECT_EQ(Value(Run({velt::wire::kCallService, 0, "accounts.balance"}), "who"), "full");
  // A second name with the same eight characters makes the short name ambiguous.
  dispatcher_.registry().Register("longprogramtwo", [](const Request&, Answer&) {});
  EXPECT_EQ(dispatcher_.Handle(byPrefix, Clock::now()).header.status, kStatusUnknownService);
}

TEST_F(DispatcherTest, ThrowingProgramAnswersProgramFailed) {
  dispatcher_.registry().Register("boom", [](const Request&, Answer& a) {
    a.SetValue("partial", "1");
    throw std::runtime_error("kaput");
  });
  const CallOutcome o = Run({velt::wire::kCallService, 0, "boom"});
  EXPECT_EQ(o.header.status, kStatusProgramFailed);
  EXPECT_EQ(Value(o, "partial"), "?");
  EXPECT_NE(Value(o, "_ERRMSG").find("kaput"), std::string::npos);
}

TEST_F(DispatcherTest, DamagedRequestIsAnsweredWithItsDamage) {
  JoinedRequest j;
  j.header.callType = velt::wire::kCallService;
  j.damage = kStatusBadChecksum;
  const CallOutcome o = dispatcher_.Handle(j, Clock::now());
  EXPECT_EQ(o.header.status, kStatusBadChecksum);
  EXPECT_EQ(Value(o, "_ERRMSG"), StatusText(kStatusBadChecksum));
  EXPECT_EQ(stats_.Snapshot().damagedRequests, 1u);
}

TEST_F(DispatcherTest, CorruptAsksForItsFault) {
  const CallOutcome o = Run({velt::wire::kCallService, 0, "corrupt", {{"ROWS", "1"}, {"COLS", "1"}, {"KIND", "sequence"}}});
  EXPECT_EQ(o.header.status, 0);
  EXPECT_EQ(o.fault, AnswerFault::kSequence);
  EXPECT_EQ(Text(o).rfind("_RS_1=t1;1;c1;1&_1=r1c1", 0), 0u);
}

TEST_F(DispatcherTest, SleepEndsEarlyWhenStopping) {
  stop_.Raise();
  const auto start = Clock::now();
  const CallOutcome o = Run({velt::wire::kCallService, 0, "sleep", {{"MS", "5000"}}});
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(o.header.status, kStatusStopping);
}

}  // namespace
}  // namespace veltemu

namespace veltemu {
namespace {

TEST(KvStoreTest, ByteLimitCountsCommittedAndStagedWrites) {
  KvStore kv(20);
  EXPECT_TRUE(kv.Put("", "k", "123456789"));     // 10 bytes
  EXPECT_TRUE(kv.Put("T1", "j", "12345678"));    // 9 staged
  EXPECT_FALSE(kv.Put("T2", "x", "12"));         // would make 22
  EXPECT_TRUE(kv.Put("", "k", "1"));             // replacing frees 8
  kv.Commit("T1");
  EXPECT_EQ(kv.bytes(), 11u);
  EXPECT_EQ(kv.Get("", "j"), "12345678");
  EXPECT_TRUE(kv.Put("T3", "j", "z"));
  kv.Discard("T3");
  EXPECT_EQ(kv.bytes(), 11u);
  EXPECT_EQ(kv.Get("", "j"), "12345678");
}

}  // namespace
}  // namespace veltemu
