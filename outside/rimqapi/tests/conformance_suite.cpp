// The behaviour every engine must show: matching, ids, waits, interrupt, expiry, truncation,
// competing getters and the refusals of bad handles and records.
#include "conformance_suite.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace velt::rimqtest {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

RIMQMD Ids(std::string_view msgId, std::string_view correlId, std::string_view tag = {}) {
  RIMQMD md = PutDescriptor();
  SetId(md.abMsgId, msgId);
  SetId(md.abCorrelId, correlId);
  SetId(md.abReplyTag, tag);
  return md;
}

}  // namespace

void RimqConformance::SetUp() { GetParam()->Prepare(); }

void RimqConformance::ConnectAndOpen(Client& client, const std::string& queue, int* hObj) {
  ASSERT_EQ(client.Connect(endpoint()), 0);
  ASSERT_EQ(client.Open(queue, hObj), 0);
}

std::string BackendName(const ::testing::TestParamInfo<ConformanceBackend*>& info) { return info.param->name(); }

TEST_P(RimqConformance, NextMessageComesInPutOrderThenNone) {
  Client c;
  int q = -1;
  ConnectAndOpen(c, UniqueQueueName("next"), &q);
  for (const char* body : {"one", "two", "three"}) ASSERT_EQ(c.Put(q, body), 0);
  for (const char* body : {"one", "two", "three"}) {
    const Received r = c.Get(q, 0);
    ASSERT_EQ(r.reason, 0);
    EXPECT_EQ(r.body, body);
  }
  EXPECT_EQ(c.Get(q, 0).reason, RIMQRC_NO_MSG_AVAILABLE);
}

// Each get takes the oldest message matching its mode and leaves the others in place.
TEST_P(RimqConformance, MatchModesTakeTheOldestMatchingMessage) {
  Client c;
  int q = -1;
  ConnectAndOpen(c, UniqueQueueName("match"), &q);
  struct Stored { const char* id; const char* corr; const char* tag; const char* body; };
  const Stored stored[] = {{"A", "0", "T1", "a0t1"}, {"A", "1", "T1", "a1t1"}, {"B", "0", "T2", "b0t2"},
                           {"A", "0", "T2", "a0t2"}, {"C", "1", "T2", "c1t2"}};
  for (const auto& s : stored) {
    RIMQMD md = Ids(s.id, s.corr, s.tag);
    ASSERT_EQ(c.Put(q, md, s.body), 0);
  }
  struct Ask { int mode; const char* id; const char* corr; const char* tag; const char* expected; };
  const Ask asks[] = {
      {RIMQMO_MATCH_MSG_AND_CORREL_ID, "A", "1", "", "a1t1"},
      {RIMQMO_MATCH_MSG_AND_CORREL_ID, "B", "1", "", nullptr},
      {RIMQMO_MATCH_CORREL_ID | RIMQMO_MATCH_REPLY_TAG, "", "0", "T2", "b0t2"},
      {RIMQMO_MATCH_CORREL_ID, "", "1", "", "c1t2"},
      {RIMQMO_MATCH_MSG_AND_CORREL_ID, "A", "0", "", "a0t1"},
      {RIMQMO_MATCH_CORREL_ID | RIMQMO_MATCH_REPLY_TAG, "", "0", "T1", nullptr},
      {RIMQMO_NONE, "", "", "", "a0t2"},
      {RIMQMO_NONE, "", "", "", nullptr},
  };
  for (const auto& a : asks) {
    SCOPED_TRACE(std::string("mode ") + std::to_string(a.mode) + " id " + a.id + " corr " + a.corr + " tag " + a.tag);
    RIMQMD match = GetDescriptor();
    SetId(match.abMsgId, a.id);
    SetId(match.abCorrelId, a.corr);
    SetId(match.abReplyTag, a.tag);
    const Received r = c.Get(q, 0, a.mode, &match);
    if (!a.expected) {
      EXPECT_EQ(r.reason, RIMQRC_NO_MSG_AVAILABLE);
      continue;
    }
    ASSERT_EQ(r.reason, 0);
    EXPECT_EQ(r.body, a.expected);
  }
}

TEST_P(RimqConformance, GetFillsTheDescriptorFromTheMessage) {
  Client c;
  int q = -1;
  ConnectAndOpen(c, UniqueQueueName("desc"), &q);
  RIMQMD md = Ids("MSGID-0123456789abcdefXY", "7", "TAG-24-characters-long!!");
  std::memcpy(md.szReplyToQ, "ANSWER.QUEUE.WITH.32.CHARACTERS!", 32);
  md.cClientOption4 = 9;
  md.cClientOption3 = 3;
  md.nMsgLength = 4084;
  ASSERT_EQ(c.Put(q, md, "payload"), 0);
  const Received r = c.Get(q, 0);
  ASSERT_EQ(r.reason, 0);
  EXPECT_EQ(std::string(r.md.abMsgId, 24), std::string(md.abMsgId, 24));
  EXPECT_EQ(std::string(r.md.abCorrelId, 24), std::string(md.abCorrelId, 24));
  EXPECT_EQ(std::string(r.md.abReplyTag, 24), std::string(md.abReplyTag, 24));
  EXPECT_EQ(std::string(r.md.szReplyToQ, 32), "ANSWER.QUEUE.WITH.32.CHARACTERS!");
  EXPECT_EQ(r.md.cMsgType, 1);
  EXPECT_EQ(r.md.cClientOption4, 9);
  EXPECT_EQ(r.md.cClientOption3, 3);
  // Packed fields are copied out: gtest binds references, which a packed int cannot take.
  EXPECT_EQ(int{r.md.nFormat}, 5);
  EXPECT_EQ(int{r.md.nMsgLength}, 7);
  EXPECT_EQ(r.length, 7);
}

TEST_P(RimqConformance, AssignedIdsAreUniquePrintableAndFindTheirMessage) {
  Client c;
  int q = -1;
  ConnectAndOpen(c, UniqueQueueName("ids"), &q);
  std::set<std::string> ids;
  std::vector<std::string> order;
  for (int i = 0; i < 300; ++i) {
    RIMQMD md = Ids("", "0");
    ASSERT_EQ(c.Put(q, md, std::to_string(i), RIMQPMO_NEW_MSG_ID), 0);
    const std::string id(md.abMsgId, 24);
    for (char ch : id) ASSERT_TRUE(ch > 0x20 && ch < 0x7f) << id;
    ids.insert(id);
    order.push_back(id);
  }
  EXPECT_EQ(ids.size(), 300u);
  // Without option 64 the caller's id is kept.
  RIMQMD own = Ids("OWN-ID", "0");
  ASSERT_EQ(c.Put(q, own, "own", 0), 0);
  EXPECT_EQ(IdText(own.abMsgId), "OWN-ID");
  for (int i : {299, 0, 150}) {
    RIMQMD match = GetDescriptor();
    std::memcpy(match.abMsgId, order[static_cast<std::size_t>(i)].data(), 24);
    SetId(match.abCorrelId, "0");
    const Received r = c.Get(q, 0, RIMQMO_MATCH_MSG_AND_CORREL_ID, &match);
    ASSERT_EQ(r.reason, 0);
    EXPECT_EQ(r.body, std::to_string(i));
  }
}

TEST_P(RimqConformance, PutExPutsWithANewIdAndAnEmptyReply) {
  Client c;
  int q = -1, answers = -1;
  ConnectAndOpen(c, UniqueQueueName("putex"), &q);
  ASSERT_EQ(c.Open(UniqueQueueName("answers"), &answers), 0);
  RIMQMD md = Ids("", "3");
  RIMQMD reply = GetDescriptor();
  const RIMQPGO pgo = PutGetOptions(q, answers);
  char area[16];
  std::memset(area, 'x', sizeof area);
  int replyLength = -1, cc = -1, reason = -1;
  RIMQ_PutEx(c.handle(), &pgo, &md, 5, "hello", &reply, sizeof area, area, &replyLength, &cc, &reason);
  ASSERT_EQ(reason, 0);
  EXPECT_EQ(cc, RIMQCC_OK);
  EXPECT_EQ(replyLength, 0);
  EXPECT_EQ(area[0], '\0');
  EXPECT_EQ(strnlen(md.abMsgId, 24), 24u);
  RIMQMD match = GetDescriptor();
  std::memcpy(match.abMsgId, md.abMsgId, 24);
  SetId(match.abCorrelId, "3");
  const Received r = c.Get(q, 0, RIMQMO_MATCH_MSG_AND_CORREL_ID, &match);
  ASSERT_EQ(r.reason, 0);
  EXPECT_EQ(r.body, "hello");
  // A set id is kept, as for the later packets of one request.
  RIMQMD again = Ids("KEEP", "4");
  RIMQ_PutEx(c.handle(), &pgo, &again, 1, "z", nullptr, 0, nullptr, &replyLength, &cc, &reason);
  ASSERT_EQ(reason, 0);
  EXPECT_EQ(IdText(again.abMsgId), "KEEP");
}

TEST_P(RimqConformance, Get2ReadsTheQueueOpenedLast) {
  Client c;
  ASSERT_EQ(c.Connect(endpoint()), 0);
  EXPECT_EQ(c.Get2(0).reason, RIMQRC_HOBJ_ERROR);
  int request = -1, answer = -1;
  ASSERT_EQ(c.Open(UniqueQueueName("req"), &request), 0);
  ASSERT_EQ(c.Open(UniqueQueueName("ans"), &answer), 0);
  ASSERT_EQ(c.Put(request, "to request"), 0);
  ASSERT_EQ(c.Put(answer, "to answer"), 0);
  const Received r = c.Get2(0);
  ASSERT_EQ(r.reason, 0);
  EXPECT_EQ(r.body, "to answer");
  EXPECT_EQ(c.Get(request, 0).body, "to request");
}

TEST_P(RimqConformance, QueuesOutliveTheConnectionThatFilledThem) {
  const std::string name = UniqueQueueName("keep");
  {
    Client a;
    int q = -1;
    ConnectAndOpen(a, name, &q);
    ASSERT_EQ(a.Put(q, "kept"), 0);
    ASSERT_EQ(a.Put(q, ""), 0);
  }
  Client b;
  int q = -1;
  ConnectAndOpen(b, name, &q);
  EXPECT_EQ(b.Get(q, 0).body, "kept");
  const Received empty = b.Get(q, 0);
  ASSERT_EQ(empty.reason, 0);
  EXPECT_EQ(empty.length, 0);
}

TEST_P(RimqConformance, WaitsOfZeroAndPositiveSecondsEndWithNoMessage) {
  Client c;
  int q = -1;
  ConnectAndOpen(c, UniqueQueueName("wait"), &q);
  auto start = Clock::now();
  EXPECT_EQ(c.Get(q, 0).reason, RIMQRC_NO_MSG_AVAILABLE);
  EXPECT_LT(SecondsSince(start), 0.5);
  start = Clock::now();
  EXPECT_EQ(c.Get(q, 1).reason, RIMQRC_NO_MSG_AVAILABLE);
  EXPECT_GE(SecondsSince(start), 0.95);
  EXPECT_LT(SecondsSince(start), 3.0);
  // The wait left no registration behind: a later put is stored, not handed to the old getter.
  ASSERT_EQ(c.Put(q, "after"), 0);
  EXPECT_EQ(c.Get(q, 0).body, "after");
}

TEST_P(RimqConformance, WaitingGetReceivesAMessagePutLaterOnAnotherConnection) {
  Client getter, putter;
  int gq = -1, pq = -1;
  const std::string name = UniqueQueueName("later");
  ConnectAndOpen(getter, name, &gq);
  ConnectAndOpen(putter, name, &pq);
  RIMQMD match = GetDescriptor();
  SetId(match.abMsgId, "WANTED");
  SetId(match.abCorrelId, "0");
  std::thread put([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    RIMQMD other = Ids("OTHER", "0");
    EXPECT_EQ(putter.Put(pq, other, "not for you"), 0);
    RIMQMD wanted = Ids("WANTED", "0");
    EXPECT_EQ(putter.Put(pq, wanted, "for you"), 0);
  });
  const auto start = Clock::now();
  const Received r = getter.Get(gq, -1, RIMQMO_MATCH_MSG_AND_CORREL_ID, &match);
  put.join();
  ASSERT_EQ(r.reason, 0);
  EXPECT_EQ(r.body, "for you");
  EXPECT_LT(SecondsSince(start), 2.0);
  EXPECT_EQ(getter.Get(gq, 0).body, "not for you");
}

TEST_P(RimqConformance, InterruptEndsAnUnlimitedWaitFromAnotherThread) {
  Client c;
  int q = -1;
  ConnectAndOpen(c, UniqueQueueName("intr"), &q);
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(c.Interrupt(), 0);
  });
  const auto start = Clock::now();
  const Received r = c.Get(q, -1);
  stopper.join();
  EXPECT_EQ(r.reason, RIMQRC_INTERRUPTED);
  EXPECT_LT(SecondsSince(start), 1.5);
  // The connection stays usable, and the interrupted wait left no registration taking messages.
  ASSERT_EQ(c.Put(q, "still there"), 0);
  EXPECT_EQ(c.Get(q, 0).body, "still there");
}

TEST_P(RimqConformance, InterruptWithNoGetBlockedEndsTheNextGetOnly) {
  Client c;
  int q = -1;
  ConnectAndOpen(c, UniqueQueueName("intr3"), &q);
  ASSERT_EQ(c.Put(q, "waiting"), 0);
  ASSERT_EQ(c.Interrupt(), 0);
  const auto start = Clock::now();
  EXPECT_EQ(c.Get(q, 5).reason, RIMQRC_INTERRUPTED);
  EXPECT_LT(SecondsSince(start), 0.5);
  EXPECT_EQ(c.Get(q, 0).body, "waiting");
}

TEST_P(RimqConformance, ExpiredMessagesAreNeverDelivered) {
  Client c;
  int q = -1;
  ConnectAndOpen(c, UniqueQueueName("exp"), &q);
  RIMQMD brief = Ids("BRIEF", "0");
  brief.nExpiry = 100;
  ASSERT_EQ(c.Put(q, brief, "brief"), 0);
  RIMQMD lasting = Ids("LASTING", "0");
  lasting.nExpiry = 0;
  ASSERT_EQ(c.Put(q, lasting, "lasting"), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  RIMQMD match = GetDescriptor();
  SetId(match.abMsgId, "BRIEF");
  SetId(match.abCorrelId, "0");
  EXPECT_EQ(c.Get(q, 0, RIMQMO_MATCH_MSG_AND_CORREL_ID, &match).reason, RIMQRC_NO_MSG_AVAILABLE);
  EXPECT_EQ(c.Get(q, 0).body, "lasting");
  EXPECT_EQ(c.Get(q, 0).reason, RIMQRC_NO_MSG_AVAILABLE);
}

TEST_P(RimqConformance, MessageLargerThanTheBufferIsReportedAndRemoved) {
  Client c;
  int q = -1;
  ConnectAndOpen(c, UniqueQueueName("big"), &q);
  const std::string body(5000, 'b');
  ASSERT_EQ(c.Put(q, body + "!"), 0);
  const Received r = c.Get(q, 0, RIMQMO_NONE, nullptr, 4096);
  EXPECT_EQ(r.reason, RIMQRC_TRUNCATED_MSG_FAILED);
  EXPECT_EQ(r.length, 5001);
  EXPECT_EQ(r.body, body.substr(0, 4096));
  EXPECT_EQ(c.Get(q, 0).reason, RIMQRC_NO_MSG_AVAILABLE);
  // The largest message accepted travels whole; one byte more is refused.
  const std::string largest(RIMQ_MAX_MSG_LENGTH, 'L');
  ASSERT_EQ(c.Put(q, largest), 0);
  const Received whole = c.Get(q, 0, RIMQMO_NONE, nullptr, RIMQ_MAX_MSG_LENGTH);
  ASSERT_EQ(whole.reason, 0);
  EXPECT_EQ(whole.body == largest, true);
  EXPECT_EQ(c.Put(q, largest + "L"), RIMQRC_MSG_TOO_BIG);
}

// Many getters on one queue, each on its own connection: every message is delivered exactly once.
TEST_P(RimqConformance, CompetingGettersNeitherDuplicateNorLoseMessages) {
  const std::string name = UniqueQueueName("compete");
  constexpr int kPutters = 3, kPerPutter = 200, kGetters = 5, kTotal = kPutters * kPerPutter;
  std::mutex mu;
  std::multiset<std::string> received;
  std::atomic<int> count{0};
  std::atomic<bool> putsDone{false};
  std::vector<std::thread> threads;
  for (int g = 0; g < kGetters; ++g) {
    threads.emplace_back([&] {
      Client c;
      int q = -1;
      ASSERT_EQ(c.Connect(endpoint()), 0);
      ASSERT_EQ(c.Open(name, &q), 0);
      const auto deadline = Clock::now() + std::chrono::seconds(30);
      while (count.load() < kTotal && Clock::now() < deadline) {
        const Received r = c.Get(q, 1);
        if (r.reason == RIMQRC_NO_MSG_AVAILABLE) {
          if (putsDone.load() && count.load() >= kTotal) break;
          continue;
        }
        ASSERT_EQ(r.reason, 0);
        std::lock_guard<std::mutex> lock(mu);
        received.insert(r.body);
        ++count;
      }
    });
  }
  std::vector<std::thread> putters;
  for (int p = 0; p < kPutters; ++p) {
    putters.emplace_back([&, p] {
      Client c;
      int q = -1;
      ASSERT_EQ(c.Connect(endpoint()), 0);
      ASSERT_EQ(c.Open(name, &q), 0);
      for (int i = 0; i < kPerPutter; ++i) ASSERT_EQ(c.Put(q, std::to_string(p) + "-" + std::to_string(i)), 0);
    });
  }
  for (auto& t : putters) t.join();
  putsDone = true;
  for (auto& t : threads) t.join();
  ASSERT_EQ(received.size(), static_cast<std::size_t>(kTotal));
  std::set<std::string> distinct(received.begin(), received.end());
  EXPECT_EQ(distinct.size(), static_cast<std::size_t>(kTotal));
}

// Request/reply between pairs of threads, all on the same two queues, matched by message id.
TEST_P(RimqConformance, ConcurrentRequestReplyPairsEachGetTheirOwnAnswer) {
  const std::string requests = UniqueQueueName("rr.req"), answers = UniqueQueueName("rr.ans");
  constexpr int kClients = 4, kRounds = 50;
  std::atomic<bool> stop{false};
  std::thread server([&] {
    Client s;
    int rq = -1, aq = -1;
    ASSERT_EQ(s.Connect(endpoint()), 0);
    ASSERT_EQ(s.Open(requests, &rq), 0);
    ASSERT_EQ(s.Open(answers, &aq), 0);
    while (!stop.load()) {
      Received r = s.Get(rq, 1);
      if (r.reason == RIMQRC_NO_MSG_AVAILABLE) continue;
      ASSERT_EQ(r.reason, 0);
      RIMQMD reply = r.md;
      ASSERT_EQ(s.Put(aq, reply, "re:" + r.body, 0), 0);
    }
  });
  std::vector<std::thread> clients;
  for (int k = 0; k < kClients; ++k) {
    clients.emplace_back([&, k] {
      Client c;
      int rq = -1, aq = -1;
      ASSERT_EQ(c.Connect(endpoint()), 0);
      ASSERT_EQ(c.Open(requests, &rq), 0);
      ASSERT_EQ(c.Open(answers, &aq), 0);
      for (int i = 0; i < kRounds; ++i) {
        RIMQMD md = Ids("", "0");
        const std::string body = std::to_string(k) + ":" + std::to_string(i);
        ASSERT_EQ(c.Put(rq, md, body, RIMQPMO_NEW_MSG_ID), 0);
        RIMQMD match = GetDescriptor();
        std::memcpy(match.abMsgId, md.abMsgId, 24);
        SetId(match.abCorrelId, "0");
        const Received r = c.Get(aq, 5, RIMQMO_MATCH_MSG_AND_CORREL_ID, &match);
        ASSERT_EQ(r.reason, 0);
        ASSERT_EQ(r.body, "re:" + body);
      }
    });
  }
  for (auto& t : clients) t.join();
  stop = true;
  server.join();
}

TEST_P(RimqConformance, BadHandlesAreReasonCodes) {
  Client a, b;
  int qa = -1, qb = -1;
  ConnectAndOpen(a, UniqueQueueName("h1"), &qa);
  ConnectAndOpen(b, UniqueQueueName("h2"), &qb);
  EXPECT_EQ(a.Put(qb, "foreign queue handle"), RIMQRC_HOBJ_ERROR);
  EXPECT_EQ(a.Get(-5, 0).reason, RIMQRC_HOBJ_ERROR);
  RIMQMD md = PutDescriptor();
  const RIMQPMO pmo = PutOptions(0);
  int cc = -1, reason = -1;
  RIMQ_Put(987654, qa, &md, &pmo, 1, "x", &cc, &reason);
  EXPECT_EQ(cc, RIMQCC_FAILED);
  EXPECT_EQ(reason, RIMQRC_HCONN_ERROR);
  EXPECT_EQ(RIMQ_Interrupt(987654), RIMQRC_HCONN_ERROR);
  int h = b.handle();
  RIMQ_Disconn(&h, 0, &cc, &reason);
  EXPECT_EQ(reason, 0);
  EXPECT_EQ(h, -1);
  h = b.handle();   // the old number, now closed
  RIMQ_Disconn(&h, 0, &cc, &reason);
  EXPECT_EQ(reason, RIMQRC_HCONN_ERROR);
  EXPECT_EQ(b.Put(qb, "closed"), RIMQRC_HCONN_ERROR);
  RIMQ_Disconn(nullptr, 0, &cc, &reason);
  EXPECT_EQ(reason, RIMQRC_HCONN_ERROR);
  RIMQ_Put(a.handle(), qa, &md, &pmo, 1, "x", nullptr, nullptr);   // nowhere to report: nothing done
  EXPECT_EQ(a.Get(qa, 0).reason, RIMQRC_NO_MSG_AVAILABLE);
}

TEST_P(RimqConformance, BadRecordsAndBuffersAreRefused) {
  Client c;
  int q = -1;
  ConnectAndOpen(c, UniqueQueueName("recs"), &q);
  int cc = -1, reason = -1, length = -1;
  char buffer[8];
  RIMQMD md = PutDescriptor();
  RIMQMD wrongMd = md;
  std::memcpy(wrongMd.szStrucId, "GMO ", 4);
  const RIMQPMO pmo = PutOptions(0);
  RIMQPMO wrongPmo = pmo;
  std::memcpy(wrongPmo.szStrucId, "RIMQ", 4);
  RIMQGMO gmo = GetOptions(0, 0);

  struct Case { const char* what; int expected; std::function<void()> call; };
  const Case cases[] = {
      {"put null md", RIMQRC_MD_ERROR, [&] { RIMQ_Put(c.handle(), q, nullptr, &pmo, 1, "x", &cc, &reason); }},
      {"put wrong md", RIMQRC_MD_ERROR, [&] { RIMQ_Put(c.handle(), q, &wrongMd, &pmo, 1, "x", &cc, &reason); }},
      {"put wrong pmo", RIMQRC_OPTIONS_ERROR, [&] { RIMQ_Put(c.handle(), q, &md, &wrongPmo, 1, "x", &cc, &reason); }},
      {"put negative length", RIMQRC_BUFFER_ERROR, [&] { RIMQ_Put(c.handle(), q, &md, &pmo, -1, "x", &cc, &reason); }},
      {"put null body", RIMQRC_BUFFER_ERROR, [&] { RIMQ_Put2(c.handle(), q, &md, &pmo, 3, nullptr, &cc, &reason); }},
      {"get wrong md", RIMQRC_MD_ERROR,
       [&] { RIMQ_Get(c.handle(), q, &wrongMd, &gmo, 8, buffer, &length, &cc, &reason); }},
      {"get null gmo", RIMQRC_OPTIONS_ERROR,
       [&] { RIMQ_Get(c.handle(), q, &md, nullptr, 8, buffer, &length, &cc, &reason); }},
      {"get match 4", RIMQRC_OPTIONS_ERROR, [&] {
         gmo.nMatchOptions = 4;
         RIMQ_Get(c.handle(), q, &md, &gmo, 8, buffer, &length, &cc, &reason);
       }},
      {"get match 7", RIMQRC_OPTIONS_ERROR, [&] {
         gmo.nMatchOptions = 7;
         RIMQ_Get(c.handle(), q, &md, &gmo, 8, buffer, &length, &cc, &reason);
       }},
      {"get negative buffer", RIMQRC_BUFFER_ERROR, [&] {
         gmo.nMatchOptions = 0;
         RIMQ_Get(c.handle(), q, &md, &gmo, -8, buffer, &length, &cc, &reason);
       }},
      {"get null length", RIMQRC_BUFFER_ERROR,
       [&] { RIMQ_Get(c.handle(), q, &md, &gmo, 8, buffer, nullptr, &cc, &reason); }},
      {"putex null reply length", RIMQRC_BUFFER_ERROR, [&] {
         const RIMQPGO pgo = PutGetOptions(q, q);
         RIMQ_PutEx(c.handle(), &pgo, &md, 1, "x", nullptr, 0, nullptr, nullptr, &cc, &reason);
       }},
      {"putex wrong pgo", RIMQRC_OPTIONS_ERROR, [&] {
         int replyLength = 0;
         RIMQ_PutEx(c.handle(), reinterpret_cast<const RIMQPGO*>(&pmo), &md, 1, "x", nullptr, 0, nullptr,
                    &replyLength, &cc, &reason);
       }},
      {"open null od", RIMQRC_OD_ERROR, [&] {
         int h = 0;
         RIMQ_Open(c.handle(), nullptr, RIMQOO_CLIENT, &h, &cc, &reason);
       }},
  };
  for (const auto& k : cases) {
    cc = reason = -1;
    k.call();
    EXPECT_EQ(reason, k.expected) << k.what;
    EXPECT_EQ(cc, RIMQCC_FAILED) << k.what;
  }
  for (const char* name : {"", "a{b", "c}"}) {
    int h = 0;
    EXPECT_EQ(c.Open(name, &h), RIMQRC_UNKNOWN_OBJECT_NAME) << name;
    EXPECT_EQ(h, -1);
  }
  EXPECT_EQ(c.Get(q, 0).reason, RIMQRC_NO_MSG_AVAILABLE) << "a refused put stored something";
}

TEST_P(RimqConformance, DisconnectEndsAGetBlockedInAnotherThread) {
  Client c;
  int q = -1;
  ConnectAndOpen(c, UniqueQueueName("disc"), &q);
  const int handle = c.handle();
  std::atomic<int> reason{-1};
  std::thread getter([&] {
    RIMQMD md = GetDescriptor();
    const RIMQGMO gmo = GetOptions(-1, 0);
    char buffer[16];
    int length = 0, cc = 0, r = 0;
    RIMQ_Get(handle, q, &md, &gmo, sizeof buffer, buffer, &length, &cc, &r);
    reason = r;
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const auto start = Clock::now();
  EXPECT_EQ(c.Disconnect(), 0);
  getter.join();
  EXPECT_EQ(reason.load(), RIMQRC_INTERRUPTED);
  EXPECT_LT(SecondsSince(start), 2.0);
}

}  // namespace velt::rimqtest
