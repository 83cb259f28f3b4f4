// The emulator in-process on the embedded queue manager, driven by a raw wire client.
#include "emulator.h"

#include <gtest/gtest.h>

#include <thread>

#include "request.h"
#include "status_codes.h"
#include "wire_test_client.h"

namespace veltemu {
namespace {

using testing::RequestText;
using testing::WireAnswer;
using testing::WireCall;
using testing::WireTestClient;

WireCall Service(const std::string& service, const std::vector<std::pair<std::string, std::string>>& values,
                 int mode = 0, const std::string& transaction = "") {
  WireCall c;
  c.program = service.substr(service.rfind('.') + 1);
  c.transactionMode = mode;
  c.transactionId = transaction;
  std::vector<std::pair<std::string, std::string>> all = {{"_VeltServiceID_", service}};
  all.insert(all.end(), values.begin(), values.end());
  c.text = RequestText(all);
  return c;
}

WireCall Control(int type, const std::string& transaction = "", int session = 0) {
  WireCall c;
  c.callType = type;
  c.transactionMode = type == 0 || type == 1 ? 0 : 4;
  c.transactionId = transaction;
  c.session = session;
  return c;
}

class EmulatorInprocTest : public ::testing::Test {
 protected:
  void StartEmulator(int workers = 1, int collectSeconds = 10) {
    config_.requestQueue = queue_;
    config_.workers = workers;
    config_.serverNumber = 4;
    config_.collectSeconds = collectSeconds;
    config_.verbose = true;
    config_.log = log_;
    emulator_ = std::make_unique<Emulator>(config_);
    ASSERT_EQ(emulator_->Start(), 0);
    ASSERT_EQ(client_.Connect(endpoint_, queue_), 0);
  }
  void TearDown() override {
    if (emulator_) emulator_->Stop();
    if (log_ != nullptr) std::fclose(log_);
  }
  std::string LogText() {
    std::fflush(log_);
    std::rewind(log_);
    std::string out;
    char buf[4096];
    while (std::size_t n = std::fread(buf, 1, sizeof buf, log_)) out.append(buf, n);
    return out;
  }

  velt::rimqtest::Endpoint endpoint_;
  std::string queue_ = velt::rimqtest::UniqueQueueName("request");
  FILE* log_ = std::tmpfile();
  EmulatorConfig config_;
  std::unique_ptr<Emulator> emulator_;
  WireTestClient client_;
};

TEST_F(EmulatorInprocTest, ControlCallsGetOnePacketAnswers) {
  StartEmulator();
  const WireAnswer on = client_.Call(Control(0));
  ASSERT_EQ(on.reason, 0);
  ASSERT_EQ(on.packets.size(), 1u);
  EXPECT_EQ(on.last().sessionNumber, 1);
  EXPECT_EQ(on.last().flags, 1);
  EXPECT_EQ(on.last().status, 0);
  EXPECT_EQ(on.last().serverNumber, 4);
  EXPECT_EQ(on.last().callType, 0);
  EXPECT_EQ(on.packets[0].correlation, "0");
  EXPECT_TRUE(on.packets[0].checksumOk);

  const WireAnswer open = client_.Call(Service("kv.put", {{"KEY", "a"}, {"VALUE", "1"}}, 1));
  ASSERT_EQ(open.status(), 0);
  const std::string txn = open.last().transactionId;
  ASSERT_FALSE(txn.empty());
  for (int type : {9, 1}) {
    const WireAnswer a = client_.Call(Control(type, type == 9 ? txn : "", 1));
    ASSERT_EQ(a.reason, 0);
    ASSERT_EQ(a.packets.size(), 1u);
    EXPECT_EQ(a.last().flags, 1);
    EXPECT_EQ(a.last().status, 0);
    EXPECT_EQ(a.Text(), "");
  }
  // A worker counts an answer once its put returned, which may be just after the client got it.
  Stats s = emulator_->GetStats();
  for (int i = 0; i < 200 && s.callsAnswered < 4u; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    s = emulator_->GetStats();
  }
  EXPECT_EQ(s.signOns, 1u);
  EXPECT_EQ(s.signOffs, 1u);
  EXPECT_EQ(s.callsByType[9], 1u);
  EXPECT_EQ(s.callsAnswered, 4u);
  EXPECT_NE(LogText().find("program=kv.put status=0"), std::string::npos);
}

TEST_F(EmulatorInprocTest, EchoJoinsAMultiPacketRequest) {
  StartEmulator();
  const std::string big(9000, '&');   // escapes to 27000 bytes: several request packets
  WireCall call = Service("echo", {{"big", big}, {"small", "s=1"}});
  call.text += "&_RS_1=t;2;a,b;1&_1=x@402Cy,z&_EORS_1=1&_RC=1&_CC=2&_TL=2:1;";
  const WireAnswer a = client_.Call(call);
  ASSERT_EQ(a.reason, 0);
  EXPECT_EQ(a.status(), 0);
  EXPECT_EQ(a.Value("big"), big);
  EXPECT_EQ(a.Value("small"), "s=1");
  const Request back = Request::Parse(a.last(), a.Text());
  ASSERT_EQ(back.tables().size(), 1u);
  EXPECT_EQ(back.tables()[0].rows[0], (std::vector<std::string>{"x,y", "z"}));
  const std::size_t packets = (call.text.size() + velt::wire::kMaxPacketText - 1) / velt::wire::kMaxPacketText;
  EXPECT_GT(packets, 1u);
  EXPECT_EQ(emulator_->GetStats().packetsReceived, packets);
}

TEST_F(EmulatorInprocTest, AsynchronousCallIsAnsweredTheSameWay) {
  StartEmulator();
  WireCall call = Service("echo", {{"v", "1"}});
  call.asynchronous = true;
  const std::string id = client_.Send(call);
  ASSERT_FALSE(id.empty());
  const WireAnswer a = client_.Receive(id);
  EXPECT_EQ(a.Value("v"), "1");
}

TEST_F(EmulatorInprocTest, RowsArriveInPartsOfCompleteTexts) {
  StartEmulator();
  const int rows = 1500;
  const WireAnswer a = client_.Call(
      Service("rows", {{"ROWS", std::to_string(rows)}, {"COLS", "3"}, {"CELLLEN", "20"}, {"TABLES", "2"}}));
  ASSERT_EQ(a.reason, 0);
  ASSERT_EQ(a.status(), 0);
  const std::vector<std::string> parts = a.Parts();
  ASSERT_GT(parts.size(), 2u);
  for (std::size_t i = 0; i < a.packets.size(); ++i) {
    EXPECT_EQ(a.packets[i].correlation, std::to_string(i));
    EXPECT_EQ(a.packets[i].header.sequence, static_cast<int>(i));
    EXPECT_TRUE(a.packets[i].checksumOk);
  }
  int nextRow = 1;
  for (std::size_t p = 0; p < parts.size(); ++p) {
    SCOPED_TRACE(p);
    if (p > 0) {
      EXPECT_EQ(parts[p][0], '&');
    }
    // Each part alone is a valid text whose rows the client finds with their leading "&".
    const Request part = Request::Parse(velt::wire::PacketHeader{}, parts[p]);
    for (const RequestValue& v : part.values()) {
      if (v.name == "_" + std::to_string(nextRow)) ++nextRow;
    }
    for (int t = 1; t <= 2; ++t) {
      if (const auto last = part.Integer("_EORS_" + std::to_string(t))) {
        // The table's last row travels in this very part.
        EXPECT_NE(parts[p].find("&_" + std::to_string(*last) + "="), std::string::npos);
      }
    }
  }
  EXPECT_EQ(nextRow, 2 * rows + 1);
  const Request whole = Request::Parse(a.last(), a.Text());
  ASSERT_EQ(whole.tables().size(), 2u);
  EXPECT_EQ(whole.tables()[1].firstRow, rows + 1);
  EXPECT_EQ(whole.tables()[1].rows.back(),
            (std::vector<std::string>{"r1500c1xxxxxxxxxxxxx", "r1500c2xxxxxxxxxxxxx", "r1500c3xxxxxxxxxxxxx"}));
}

TEST_F(EmulatorInprocTest, AnswerPartsCanBeReadOneWindowAtATime) {
  StartEmulator();
  const std::string id = client_.Send(Service("rows", {{"ROWS", "3000"}, {"COLS", "2"}}));
  const WireAnswer first = client_.Receive(id, 10, 0, true);
  ASSERT_EQ(first.reason, 0);
  EXPECT_EQ(first.last().flags, 2);
  EXPECT_LE(first.packets.size(), 8u);
  const WireAnswer rest = client_.Receive(id, 10, static_cast<int>(first.packets.size()));
  ASSERT_EQ(rest.reason, 0);
  EXPECT_EQ(rest.last().flags, 1);
  EXPECT_EQ(rest.packets.front().text[0], '&');
}

TEST_F(EmulatorInprocTest, KvTransactionsCommitAndRollBack) {
  StartEmulator();
  const auto get = [&](const std::string& key) {
    const WireAnswer a = client_.Call(Service("kv.get", {{"KEY", key}}));
    return a.Value("FOUND") == "1" ? a.Value("VALUE") : "(none)";
  };
  const WireAnswer put = client_.Call(Service("kv.put", {{"KEY", "c"}, {"VALUE", "committed"}}, 1));
  ASSERT_EQ(put.status(), 0);
  const std::string txn = put.last().transactionId;
  EXPECT_EQ(get("c"), "(none)");
  ASSERT_EQ(client_.Call(Control(9, txn)).status(), 0);
  EXPECT_EQ(get("c"), "committed");

  const WireAnswer put2 = client_.Call(Service("kv.put", {{"KEY", "r"}, {"VALUE", "x"}}, 1));
  const std::string txn2 = put2.last().transactionId;
  ASSERT_NE(txn2, txn);
  ASSERT_EQ(client_.Call(Service("kv.put", {{"KEY", "c"}, {"VALUE", "changed"}}, 2, txn2)).status(), 0);
  ASSERT_EQ(client_.Call(Control(10, txn2)).status(), 0);
  EXPECT_EQ(get("r"), "(none)");
  EXPECT_EQ(get("c"), "committed");
  EXPECT_EQ(client_.Call(Control(9, txn2)).status(), kStatusUnknownTransaction);
}

TEST_F(EmulatorInprocTest, FailAnswersStatusAndErrorValues) {
  StartEmulator();
  const WireAnswer a = client_.Call(Service("fail", {{"CODE", "-5"}, {"MSG", "nope"}}));
  EXPECT_EQ(a.status(), -5);
  EXPECT_EQ(a.Value("_ERRNO"), "-5");
  EXPECT_EQ(a.Value("_ERRMSG"), "nope");
  EXPECT_EQ(client_.Call(Service("no.such", {})).status(), kStatusUnknownService);
}

TEST_F(EmulatorInprocTest, DamagedRequestsAreAnsweredWithTheirStatus) {
  StartEmulator();
  const WireCall call = Service("echo", {{"v", "1"}});
  struct Case {
    const char* name;
    std::string packet;
    int status;
  };
  std::string badSum = testing::MakePacket(call, 0, 1, call.text);
  badSum.back() ^= 1;
  std::string shortText = testing::MakePacket(call, 0, 1, call.text);
  shortText.resize(shortText.size() - 3);
  const Case cases[] = {{"checksum", badSum, kStatusBadChecksum},
                        {"length field past the bytes", shortText, kStatusBadLength},
                        {"no header", "0123456789", kStatusMalformedPacket}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string id = testing::NewMessageId();
    ASSERT_EQ(client_.PutRaw(c.packet, id, 0), 0);
    const WireAnswer a = client_.Receive(id);
    ASSERT_EQ(a.reason, 0);
    EXPECT_EQ(a.status(), c.status);
    EXPECT_EQ(a.Value("_ERRNO"), std::to_string(c.status));
  }
  EXPECT_EQ(client_.Call(call).Value("v"), "1");   // and it goes on serving
}

TEST_F(EmulatorInprocTest, CorruptPutsTheAskedFaultIntoTheAnswer) {
  StartEmulator();
  const auto corrupt = [&](const char* kind) {
    return client_.Call(Service("corrupt", {{"ROWS", "1000"}, {"COLS", "2"}, {"KIND", kind}}));
  };
  const WireAnswer sum = corrupt("checksum");
  ASSERT_EQ(sum.reason, 0);
  EXPECT_FALSE(sum.packets[0].checksumOk);
  EXPECT_TRUE(sum.packets[1].checksumOk);
  const WireAnswer seq = corrupt("sequence");
  ASSERT_EQ(seq.reason, 0);
  ASSERT_GE(seq.packets.size(), 3u);
  EXPECT_NE(seq.packets[1].header.sequence, 1);
  EXPECT_EQ(seq.packets[2].header.sequence, 2);
  const WireAnswer len = corrupt("length");
  ASSERT_EQ(len.reason, 0);
  EXPECT_GT(static_cast<std::size_t>(len.packets[0].header.length), len.packets[0].bytes - velt::wire::kHeaderBytes);
}

TEST_F(EmulatorInprocTest, RequestMissingPacketsIsDroppedAndServingGoesOn) {
  StartEmulator(1, 1);
  const WireCall call = Service("echo", {{"v", "1"}});
  const std::string id = testing::NewMessageId();
  ASSERT_EQ(client_.PutRaw(testing::MakePacket(call, 0, 0, call.text), id, 0), 0);   // never continued
  EXPECT_EQ(client_.Call(call, 15).Value("v"), "1");
  EXPECT_EQ(client_.Receive(id, 1).reason, RIMQRC_NO_MSG_AVAILABLE);
  EXPECT_EQ(emulator_->GetStats().droppedRequests, 1u);
  EXPECT_NE(LogText().find("did not come"), std::string::npos);
}

TEST_F(EmulatorInprocTest, SeveralWorkersServeInterleavedRequests) {
  StartEmulator(3);
  // Hand-interleaved: A's first packet, all of B, then the rest of A.
  const std::string longValue(6000, 'a');
  const WireCall a = Service("echo", {{"who", "A"}, {"pad", longValue}});
  const WireCall b = Service("echo", {{"who", "B"}, {"pad", longValue}});
  const std::string idA = testing::NewMessageId();
  const std::string idB = testing::NewMessageId();
  const std::string_view textA(a.text);
  ASSERT_EQ(client_.PutRaw(testing::MakePacket(a, 0, 0, textA.substr(0, 3958)), idA, 0), 0);
  const std::string_view textB(b.text);
  ASSERT_EQ(client_.PutRaw(testing::MakePacket(b, 0, 0, textB.substr(0, 3958)), idB, 0), 0);
  ASSERT_EQ(client_.PutRaw(testing::MakePacket(b, 1, 1, textB.substr(3958)), idB, 1), 0);
  ASSERT_EQ(client_.PutRaw(testing::MakePacket(a, 1, 1, textA.substr(3958)), idA, 1), 0);
  EXPECT_EQ(client_.Receive(idB).Value("who"), "B");
  EXPECT_EQ(client_.Receive(idA).Value("who"), "A");

  // Many clients at once, each with multi-packet requests.
  std::vector<std::thread> clients;
  std::atomic<int> good{0};
  for (int c = 0; c < 4; ++c) {
    clients.emplace_back([&, c] {
      WireTestClient own;
      if (own.Connect(endpoint_, queue_) != 0) return;
      for (int i = 0; i < 10; ++i) {
        const std::string tag = std::to_string(c) + ":" + std::to_string(i);
        const WireAnswer r = own.Call(Service("echo", {{"tag", tag}, {"pad", std::string(5000 + i, 'p')}}));
        if (r.Value("tag") == tag && r.Value("pad").size() == static_cast<std::size_t>(5000 + i)) ++good;
      }
    });
  }
  for (auto& t : clients) t.join();
  EXPECT_EQ(good.load(), 40);

  // Two slow calls run side by side on two workers.
  const auto start = std::chrono::steady_clock::now();
  const std::string s1 = client_.Send(Service("sleep", {{"MS", "400"}}));
  const std::string s2 = client_.Send(Service("sleep", {{"MS", "400"}}));
  EXPECT_EQ(client_.Receive(s1).status(), 0);
  EXPECT_EQ(client_.Receive(s2).status(), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(790));
}

TEST_F(EmulatorInprocTest, ContinuationPacketsWithoutCollectorArePutBackThenDropped) {
  StartEmulator(1, 1);
  const WireCall call = Service("echo", {{"who", "late"}, {"pad", std::string(5000, 'p')}});
  const std::string_view text(call.text);
  const std::string id = testing::NewMessageId();
  // The second packet comes first: it circles until its request's first packet is collected.
  ASSERT_EQ(client_.PutRaw(testing::MakePacket(call, 1, 1, text.substr(3958)), id, 1), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  ASSERT_EQ(client_.PutRaw(testing::MakePacket(call, 0, 0, text.substr(0, 3958)), id, 0), 0);
  EXPECT_EQ(client_.Receive(id).Value("who"), "late");
  EXPECT_GE(emulator_->GetStats().strayPackets, 1u);

  // An orphan is given up after the collect time-out.
  ASSERT_EQ(client_.PutRaw(testing::MakePacket(call, 1, 1, text.substr(3958)), testing::NewMessageId(), 1), 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (LogText().find("has no collector") == std::string::npos && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_NE(LogText().find("has no collector"), std::string::npos);
  EXPECT_EQ(client_.Call(Service("echo", {{"v", "2"}})).Value("v"), "2");
}

TEST_F(EmulatorInprocTest, TwoEmulatorsShareOneRequestQueue) {
  StartEmulator(2);
  EmulatorConfig second = config_;
  second.serverNumber = 5;
  second.log = nullptr;
  Emulator other(second);
  ASSERT_EQ(other.Start(), 0);
  std::vector<std::thread> clients;
  std::atomic<int> good{0};
  for (int c = 0; c < 3; ++c) {
    clients.emplace_back([&, c] {
      WireTestClient own;
      if (own.Connect(endpoint_, queue_) != 0) return;
      for (int i = 0; i < 10; ++i) {
        const std::string tag = std::to_string(c) + "/" + std::to_string(i);
        const WireAnswer r = own.Call(Service("echo", {{"tag", tag}, {"pad", std::string(12000, 'q')}}));
        if (r.Value("tag") == tag && r.Value("pad").size() == 12000u) ++good;
      }
    });
  }
  for (auto& t : clients) t.join();
  EXPECT_EQ(good.load(), 30);
  const auto answered = [&] { return emulator_->GetStats().callsAnswered + other.GetStats().callsAnswered; };
  for (int i = 0; i < 200 && answered() < 30u; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(answered(), 30u);
  other.Stop();
}

TEST_F(EmulatorInprocTest, RegisteredProgramsServeCalls) {
  StartEmulator();
  emulator_->Register("accounts.list", [](const Request& r, Answer& a) {
    a.BeginTable("accounts", {"id", "owner"});
    a.AddRow({"1", r.Value("OWNER").value_or("?")});
  });
  const WireAnswer a = client_.Call(Service("accounts.list", {{"OWNER", "ann,bob"}}));
  ASSERT_EQ(a.status(), 0);
  const Request back = Request::Parse(a.last(), a.Text());
  ASSERT_EQ(back.tables().size(), 1u);
  EXPECT_EQ(back.tables()[0].rows[0], (std::vector<std::string>{"1", "ann,bob"}));
}

TEST(EmulatorStartTest, StartReportsTheQueueReasonAndStopIsPrompt) {
  EmulatorConfig bad;
  bad.log = nullptr;
  bad.requestQueue = "";   // no queue name
  Emulator noQueue(bad);
  EXPECT_EQ(noQueue.Start(), RIMQRC_UNKNOWN_OBJECT_NAME);

  EmulatorConfig unreachable;
  unreachable.log = nullptr;
  unreachable.address = "127.0.0.1";
  unreachable.port = 1;
  unreachable.requestQueue = "Q";
  Emulator refused(unreachable);
  EXPECT_EQ(refused.Start(), RIMQRC_QMGR_NOT_REACHABLE);

  EmulatorConfig good;
  good.log = nullptr;
  good.workers = 4;
  good.requestQueue = velt::rimqtest::UniqueQueueName("stop");
  Emulator idle(good);
  ASSERT_EQ(idle.Start(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const auto start = std::chrono::steady_clock::now();
  idle.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  idle.Stop();
}

}  // namespace
}  // namespace veltemu
