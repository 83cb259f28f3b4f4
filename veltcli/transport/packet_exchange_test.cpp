// The packet exchange byte by byte against a raw peer on the embedded queue manager: the test
// takes the request packets off the request queue itself, and puts hand-made answer packets on
// the answer queue before a receive-only exchange reads them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "rimqapi.h"
#include "transport/call_block.h"
#include "wire/packet_header.h"
#include "wire/queue_records.h"
#include "transport/queue_transport.h"

namespace wire = velt::wire;

namespace {

constexpr const char* kAddress = "inproc:exchange-test";

struct Packet {
  wire::PacketHeader header;
  std::string text;
  RIMQMD md;
  int bytes = 0;
};

// The server side of the test: one connection with the request queue and the answer queue open.
class RawPeer {
 public:
  RawPeer(const char* requestQ, const char* answerQ) {
    int cc = 0, rc = 0;
    RIMQ_Connect(1, kAddress, 0, "", "", "", "", &conn_, &cc, &rc);
    EXPECT_EQ(cc, RIMQCC_OK);
    RIMQOD od = velt::wire::QueueDescriptor(requestQ);
    RIMQ_Open(conn_, &od, 0, &request_, &cc, &rc);
    od = velt::wire::QueueDescriptor(answerQ);
    RIMQ_Open(conn_, &od, 0, &answer_, &cc, &rc);
  }
  ~RawPeer() {
    int cc = 0, rc = 0;
    RIMQ_Disconn(&conn_, 0, &cc, &rc);
  }

  bool TakeRequest(Packet& p) {
    std::vector<char> buf(40000);
    p.md = velt::wire::GetDescriptor();
    const RIMQGMO gmo = velt::wire::GetOptions(0, RIMQMO_NONE);
    int cc = 0, rc = 0;
    RIMQ_Get(conn_, request_, &p.md, &gmo, static_cast<int>(buf.size()), buf.data(), &p.bytes, &cc, &rc);
    if (cc != RIMQCC_OK) return false;
    p.header = wire::DecodeHeader(buf.data());
    p.text.assign(buf.data() + wire::kHeaderBytes, static_cast<std::size_t>(p.bytes) - wire::kHeaderBytes);
    EXPECT_EQ(p.header.checksum, wire::Checksum(buf.data(), p.text.data(), p.text.size()));
    return true;
  }

  // Puts one answer packet; `mutate` may spoil the bytes after sealing.
  void PutAnswer(const char* msgId, int sequence, int flags, const std::string& text,
                 void (*mutate)(std::vector<char>&) = nullptr, int status = 0) {
    wire::PacketHeader h;
    h.callType = 2;
    h.sequence = sequence;
    h.flags = flags;
    h.serverNumber = 7;
    h.sessionNumber = 42;
    h.status = status;
    h.length = static_cast<int>(text.size());
    wire::SetField(h.transactionId, "T77");
    std::vector<char> bytes(wire::kHeaderBytes + text.size());
    wire::EncodeHeader(h, bytes.data());
    std::memcpy(bytes.data() + wire::kHeaderBytes, text.data(), text.size());
    wire::SealPacket(bytes.data(), text.size());
    if (mutate != nullptr) mutate(bytes);
    RIMQMD md = velt::wire::GetDescriptor();
    velt::wire::SetId24(md.abMsgId, msgId);
    velt::wire::SetId24(md.abCorrelId, std::to_string(sequence).c_str());
    const RIMQPMO pmo = velt::wire::PutOptions(false, 10);
    int cc = 0, rc = 0;
    RIMQ_Put(conn_, answer_, &md, &pmo, static_cast<int>(bytes.size()), bytes.data(), &cc, &rc);
    ASSERT_EQ(cc, RIMQCC_OK) << rc;
  }

 private:
  int conn_ = -1;
  int request_ = -1;
  int answer_ = -1;
};

class ExchangeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int n = 0;   // a fresh pair of queues per test
    requestQ_ = "REQ." + std::to_string(++n);
    answerQ_ = "ANS." + std::to_string(n);
    tagVELTConnectOptionEx e{};
    std::strcpy(e.szServerName, "main");
    std::strcpy(e.szAddress, kAddress);
    std::strcpy(e.szSendQName, requestQ_.c_str());
    std::strcpy(e.szReceiveQName, answerQ_.c_str());
    transport_.servers.ReplaceAll(velt::RecordKind::kConnectEx, &e, 1);
    ASSERT_EQ(transport_.Connect("main", "alice", "secret"), 0);
    peer_ = std::make_unique<RawPeer>(requestQ_.c_str(), answerQ_.c_str());
  }

  // An asynchronous send of `text`; the packets as they lie on the request queue.
  std::vector<Packet> Send(const std::string& text) {
    tagCallBlock b;
    b.nCallType = 2;
    b.nCallMode = velt::kCallSendOnly;
    b.nTransMode = 1;
    std::strcpy(b.szProgram, "LONGPROGRAMNAME");
    std::strcpy(b.szUser, "alice");
    b.pRequest = text.c_str();
    b.nRequestLen = static_cast<int>(text.size());
    b.nTimeout = 30;
    EXPECT_EQ(transport_.Exchange(b), 0);
    EXPECT_STREQ(b.szCorrId, "0");
    std::vector<Packet> packets;
    Packet p;
    while (peer_->TakeRequest(p)) packets.push_back(p);
    for (const Packet& q : packets) EXPECT_EQ(std::memcmp(q.md.abMsgId, b.szMsgId, 24), 0);
    return packets;
  }

  int Receive(tagCallBlock& b, const char* msgId, const char* corr = "0") {
    b.nCallMode = velt::kCallReceiveOnly;
    b.nTimeout = 1;
    std::strcpy(b.szMsgId, msgId);
    const std::string correlation = corr;   // may be the block's own field
    std::strcpy(b.szCorrId, correlation.c_str());
    return transport_.Exchange(b);
  }

  std::string requestQ_, answerQ_;
  CQueueTransport transport_;
  std::unique_ptr<RawPeer> peer_;
};

TEST_F(ExchangeTest, RequestsAreCutIntoPacketsWithWindowFlags) {
  struct Case { std::size_t bytes; std::vector<std::pair<int, int>> flagsAndLengths; };
  const Case cases[] = {
      {5000, {{0, 3958}, {1, 1042}}},
      {3958, {{1, 3958}}},
      {0, {{1, 0}}},
      {8 * 3958, {{0, 3958}, {0, 3958}, {0, 3958}, {0, 3958}, {0, 3958}, {0, 3958}, {0, 3958}, {3, 3958}}},
      {8 * 3958 + 1, {{0, 3958}, {0, 3958}, {0, 3958}, {0, 3958}, {0, 3958}, {0, 3958}, {0, 3958}, {2, 3958}, {1, 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    std::string text(c.bytes, 'a');
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>('a' + i % 26);
    const std::vector<Packet> packets = Send(text);
    ASSERT_EQ(packets.size(), c.flagsAndLengths.size());
    std::string joined;
    for (std::size_t i = 0; i < packets.size(); ++i) {
      const Packet& p = packets[i];
      EXPECT_EQ(p.header.sequence, static_cast<int>(i));
      EXPECT_EQ(p.header.flags, c.flagsAndLengths[i].first);
      EXPECT_EQ(p.header.length, c.flagsAndLengths[i].second);
      EXPECT_EQ(p.header.transactionMode, 1 + 8);   // asynchronous
      EXPECT_STREQ(p.header.program, "LONGPROG");
      EXPECT_STREQ(p.md.abCorrelId, std::to_string(i).c_str());
      const int carried = p.md.nMsgLength;   // a packed field: copied, never bound by reference
      EXPECT_EQ(carried, p.bytes);
      EXPECT_EQ(std::string(p.md.szReplyToQ, strnlen(p.md.szReplyToQ, 32)), answerQ_);
      EXPECT_EQ(p.md.cClientOption3, 3);
      joined += p.text;
    }
    EXPECT_EQ(joined, text);
  }
}

TEST_F(ExchangeTest, HeaderCarriesIdentityAndTheEncryptedPassword) {
  const std::vector<Packet> packets = Send("a=1");
  ASSERT_EQ(packets.size(), 1u);
  const wire::PacketHeader& h = packets[0].header;
  EXPECT_EQ(h.version, 1);
  EXPECT_EQ(h.callType, 2);
  EXPECT_STREQ(h.user, "alice");
  EXPECT_STRNE(h.password, "secret");
  EXPECT_EQ(std::strlen(h.password), 12u);
  EXPECT_EQ(std::strlen(h.clientId), std::strlen(transport_.ids.clientId));
  // With the asynchronous bit of option 16 set (the default) the reply tag travels.
  EXPECT_EQ(std::memcmp(packets[0].md.abReplyTag, transport_.replyTag, 24), 0);
}

TEST_F(ExchangeTest, OwnMessageIdsComeFromTheMachineCounter) {
  transport_.options.libraryIds = 0;
  if (!transport_.HasMessageIdCounter()) GTEST_SKIP() << "no shared memory on this machine";
  const std::vector<Packet> a = Send(std::string(5000, 'x'));
  const std::vector<Packet> b = Send("y");
  ASSERT_EQ(a.size(), 2u);
  ASSERT_EQ(b.size(), 1u);
  const std::string idA(a[0].md.abMsgId, 24);
  const std::string idB(b[0].md.abMsgId, 24);
  EXPECT_EQ(idA.substr(0, 8), std::string(transport_.ids.shortClientId));
  EXPECT_NE(idA, idB);
  EXPECT_EQ(std::string(a[1].md.abMsgId, 24), idA);
}

TEST_F(ExchangeTest, AnswerStopsAtAWindowEndWhenOption17IsOn) {
  const char* id = "ANSWERID0000000000000001";
  for (int i = 0; i < 10; ++i)
    peer_->PutAnswer(id, i, i == 7 ? 2 : (i == 9 ? 1 : 0), "&p" + std::to_string(i) + "=v");
  tagCallBlock b;
  ASSERT_EQ(Receive(b, id), 0);
  EXPECT_EQ(b.nFlags, 2);
  EXPECT_STREQ(b.szCorrId, "8");
  EXPECT_EQ(std::string(b.pAnswer, b.nAnswerLen), "&p0=v&p1=v&p2=v&p3=v&p4=v&p5=v&p6=v&p7=v");
  EXPECT_EQ(b.nServerNumber, 7);
  EXPECT_STREQ(b.szTransId, "T77");
  EXPECT_EQ(b.nSessionNumber, 42);
  // The rest is a later receive-only exchange from correlation "8".
  ASSERT_EQ(Receive(b, id, b.szCorrId), 0);
  EXPECT_EQ(b.nFlags, 1);
  EXPECT_EQ(std::string(b.pAnswer, b.nAnswerLen), "&p8=v&p9=v");

  // Option 17 off: one answer up to the last packet.
  transport_.options.windowEnds = 0;
  const char* id2 = "ANSWERID0000000000000002";
  for (int i = 0; i < 10; ++i) peer_->PutAnswer(id2, i, i == 7 ? 2 : (i == 9 ? 1 : 0), "x");
  ASSERT_EQ(Receive(b, id2), 0);
  EXPECT_EQ(b.nAnswerLen, 10);
}

TEST_F(ExchangeTest, DamagedAnswerPacketsAreRefused) {
  struct Case {
    const char* name;
    void (*mutate)(std::vector<char>&);
    int checksumOption, sequenceOption;
    int expected;
  };
  const auto badChecksum = [](std::vector<char>& p) { p[125] = p[125] == '9' ? '8' : '9'; };
  const Case cases[] = {
      {"checksum", badChecksum, 1, 0, velt::kExchangeBadChecksum},
      {"checksum not checked", badChecksum, 0, 0, 0},
      {"sequence", [](std::vector<char>& p) { std::memcpy(p.data() + 14, "000003", 6); }, 0, 1,
       velt::kExchangeBadSequence},
      {"length beyond the bytes", [](std::vector<char>& p) { std::memcpy(p.data() + 102, "00999", 5); }, 0, 0,
       velt::kExchangeShortPacket},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    char id[32];
    std::snprintf(id, sizeof id, "DAMAGED%017d", ++n);
    transport_.options.checksum = c.checksumOption;
    transport_.options.sequence = c.sequenceOption;
    peer_->PutAnswer(id, 0, 1, "&a=1", c.mutate);
    tagCallBlock b;
    EXPECT_EQ(Receive(b, id), c.expected);
  }
}

TEST_F(ExchangeTest, NothingWaitingTimesOutWithTheQueueReason) {
  tagCallBlock b;
  EXPECT_EQ(Receive(b, "NOBODYSENTTHIS0000000000"), RIMQRC_NO_MSG_AVAILABLE);
  EXPECT_EQ(b.pAnswer, nullptr);
}

TEST(QueueTransportConnect, CandidatesAndFailures) {
  CQueueTransport t;
  EXPECT_EQ(t.Connect("nowhere", "", ""), -1);   // also not in configuration files here
  // Two entries of one group: the unreachable one fails, the other is tried and connects.
  tagVELTConnectOptionEx e[2]{};
  std::strcpy(e[0].szServerName, "down");
  std::strcpy(e[0].szAddress, "127.0.0.1");
  e[0].nPort = 1;   // nothing listens there
  std::strcpy(e[0].szSendQName, "R");
  std::strcpy(e[0].szReceiveQName, "A");
  std::strcpy(e[0].szReserved, "G");
  e[1] = e[0];
  std::strcpy(e[1].szServerName, "up");
  std::strcpy(e[1].szAddress, kAddress);
  t.servers.ReplaceAll(velt::RecordKind::kConnectEx, e, 2);
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(t.Connect("g", "u", "p"), 0);
    EXPECT_STREQ(t.CurrentEntryName(), "up");
    EXPECT_TRUE(t.ConnectionComplete());
  }
  EXPECT_EQ(t.Connect("down", "u", "p"), RIMQRC_QMGR_NOT_REACHABLE);
  EXPECT_FALSE(t.ConnectionComplete());
}

TEST(QueueTransportConnect, AFailedAnswerQueueOpenReleasesEachConnectionOnce) {
  for (int shared : {1, 0}) {
    SCOPED_TRACE(shared);
    CQueueTransport t;
    t.options.sharedConnection = shared;
    tagVELTConnectOptionEx e{};
    std::strcpy(e.szServerName, "s");
    std::strcpy(e.szAddress, kAddress);
    std::strcpy(e.szSendQName, "R");
    std::strcpy(e.szReceiveQName, "bad{name}");   // refused by the queue library
    t.servers.ReplaceAll(velt::RecordKind::kConnectEx, &e, 1);
    // A second release of a shared connection would fail and say so on the error stream.
    testing::internal::CaptureStderr();
    EXPECT_EQ(t.Connect("s", "", ""), RIMQRC_UNKNOWN_OBJECT_NAME);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(t.ConnectionComplete());
  }
}

}  // namespace
