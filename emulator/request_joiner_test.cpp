// The request joiner, packet by packet: interleaved clients, damaged packets, limits.
#include "request_joiner.h"

#include <gtest/gtest.h>

#include <cstring>

#include "status_codes.h"

namespace veltemu {
namespace {

using velt::wire::kHeaderBytes;

std::string Packet(int sequence, int flags, std::string_view text, int callType = 2) {
  velt::wire::PacketHeader h;
  h.callType = callType;
  h.sequence = sequence;
  h.flags = flags;
  h.length = static_cast<int>(text.size());
  velt::wire::SetField(h.program, "echo");
  std::string p(kHeaderBytes + text.size(), '\0');
  velt::wire::EncodeHeader(h, p.data());
  std::memcpy(p.data() + kHeaderBytes, text.data(), text.size());
  velt::wire::SealPacket(p.data(), text.size());
  return p;
}

const std::string kIdA(24, 'A');
const std::string kIdB(24, 'B');
const Clock::time_point kNow{};

TEST(RequestJoinerTest, JoinsInterleavedClientsByMessageId) {
  RequestJoiner joiner;
  EXPECT_EQ(joiner.Feed(kIdA, Packet(0, 0, "a1&"), kNow).status, JoinStatus::kNeedMore);
  EXPECT_EQ(joiner.Feed(kIdB, Packet(0, 0, "b1&"), kNow).status, JoinStatus::kNeedMore);
  EXPECT_EQ(joiner.Feed(kIdA, Packet(1, 0, "a2&"), kNow).status, JoinStatus::kNeedMore);
  EXPECT_EQ(joiner.pending(), 2u);
  JoinResult b = joiner.Feed(kIdB, Packet(1, 1, "b2"), kNow);
  ASSERT_EQ(b.status, JoinStatus::kComplete);
  EXPECT_EQ(b.request.text, "b1&b2");
  EXPECT_EQ(b.request.messageId, kIdB);
  EXPECT_EQ(b.request.packets, 2u);
  JoinResult a = joiner.Feed(kIdA, Packet(2, 1, "a3"), kNow);
  ASSERT_EQ(a.status, JoinStatus::kComplete);
  EXPECT_EQ(a.request.text, "a1&a2&a3");
  EXPECT_EQ(a.request.damage, 0);
  EXPECT_STREQ(a.request.header.program, "echo");
  EXPECT_EQ(joiner.pending(), 0u);
}

TEST(RequestJoinerTest, OnePacketRequestsOfEveryFlagFormComplete) {
  RequestJoiner joiner;
  for (int flags : {1, 3}) {
    JoinResult r = joiner.Feed(kIdA, Packet(0, flags, "x=1"), kNow);
    ASSERT_EQ(r.status, JoinStatus::kComplete) << flags;
    EXPECT_EQ(r.request.text, "x=1");
  }
  // Flag 2 alone ends a window, not the request.
  EXPECT_EQ(joiner.Feed(kIdA, Packet(0, 2, "x"), kNow).status, JoinStatus::kNeedMore);
}

TEST(RequestJoinerTest, AcceptsOneMessageLongerThanAQueuePacket) {
  RequestJoiner joiner;
  const std::string text(20000, 'q');
  JoinResult r = joiner.Feed(kIdA, Packet(0, 3, text), kNow);
  ASSERT_EQ(r.status, JoinStatus::kComplete);
  EXPECT_EQ(r.request.text, text);
}

TEST(RequestJoinerTest, ContinuationWithoutFirstPacketIsStray) {
  RequestJoiner joiner;
  EXPECT_EQ(joiner.Feed(kIdA, Packet(3, 1, "x"), kNow).status, JoinStatus::kStray);
  EXPECT_EQ(joiner.pending(), 0u);
}

struct DamageCase {
  const char* name;
  int packetOfTwo;   // which packet is damaged (0 or 1)
  void (*damage)(std::string&);
  int status;
};

void FlipTextByte(std::string& p) { p[kHeaderBytes] ^= 1; }
void AlterChecksum(std::string& p) { p[125] = p[125] == '9' ? '0' : static_cast<char>(p[125] + 1); }
void LengthPastBytes(std::string& p) { p.resize(p.size() - 2); }
void NegativeLength(std::string& p) {
  velt::wire::PacketHeader h = velt::wire::DecodeHeader(p.data());
  h.length = -5;
  velt::wire::EncodeHeader(h, p.data());
}
void WrongSequence(std::string& p) {
  velt::wire::PacketHeader h = velt::wire::DecodeHeader(p.data());
  h.sequence = 5;
  velt::wire::EncodeHeader(h, p.data());
  velt::wire::SealPacket(p.data(), p.size() - kHeaderBytes);
}

TEST(RequestJoinerTest, DamagedPacketsStillEndTheRequestWithTheirStatus) {
  const DamageCase cases[] = {
      {"text byte changed, first packet", 0, FlipTextByte, kStatusBadChecksum},
      {"checksum field changed, second packet", 1, AlterChecksum, kStatusBadChecksum},
      {"length field past the bytes", 0, LengthPastBytes, kStatusBadLength},
      {"negative length field", 1, NegativeLength, kStatusBadLength},
      {"sequence gap", 1, WrongSequence, kStatusBadSequence},
  };
  for (const DamageCase& c : cases) {
    SCOPED_TRACE(c.name);
    RequestJoiner joiner;
    std::string packets[2] = {Packet(0, 0, "first&"), Packet(1, 1, "second")};
    c.damage(packets[c.packetOfTwo]);
    EXPECT_EQ(joiner.Feed(kIdA, packets[0], kNow).status, JoinStatus::kNeedMore);
    JoinResult r = joiner.Feed(kIdA, packets[1], kNow);
    ASSERT_EQ(r.status, JoinStatus::kComplete);
    EXPECT_EQ(r.request.damage, c.status);
    EXPECT_TRUE(r.request.text.empty());
    EXPECT_EQ(joiner.pending(), 0u);
  }
}

TEST(RequestJoinerTest, TextBehindTheLengthFieldIsNotPartOfThePacket) {
  RequestJoiner joiner;
  std::string p = Packet(0, 1, "abc");
  p += "trailing";
  JoinResult r = joiner.Feed(kIdA, p, kNow);
  ASSERT_EQ(r.status, JoinStatus::kComplete);
  EXPECT_EQ(r.request.damage, 0);
  EXPECT_EQ(r.request.text, "abc");
}

TEST(RequestJoinerTest, MessageShorterThanAHeader) {
  RequestJoiner joiner;
  JoinResult alone = joiner.Feed(kIdA, std::string(40, '0'), kNow);
  ASSERT_EQ(alone.status, JoinStatus::kComplete);
  EXPECT_EQ(alone.request.damage, kStatusMalformedPacket);

  ASSERT_EQ(joiner.Feed(kIdB, Packet(0, 0, "x"), kNow).status, JoinStatus::kNeedMore);
  EXPECT_EQ(joiner.Feed(kIdB, std::string(10, '1'), kNow).status, JoinStatus::kDropped);
  EXPECT_EQ(joiner.pending(), 0u);
}

TEST(RequestJoinerTest, RequestPastTheLimitKeepsNoText) {
  RequestJoiner joiner(JoinLimits{10, 8});
  ASSERT_EQ(joiner.Feed(kIdA, Packet(0, 0, "123456"), kNow).status, JoinStatus::kNeedMore);
  ASSERT_EQ(joiner.Feed(kIdA, Packet(1, 0, "789012"), kNow).status, JoinStatus::kNeedMore);
  JoinResult r = joiner.Feed(kIdA, Packet(2, 1, "3"), kNow);
  ASSERT_EQ(r.status, JoinStatus::kComplete);
  EXPECT_EQ(r.request.damage, kStatusRequestTooLarge);
  EXPECT_TRUE(r.request.text.empty());
  EXPECT_EQ(r.request.bytes, 13u);
}

TEST(RequestJoinerTest, PendingRequestsAreBoundedAndExpire) {
  RequestJoiner joiner(JoinLimits{1000, 2});
  ASSERT_EQ(joiner.Feed(kIdA, Packet(0, 0, "a"), kNow).status, JoinStatus::kNeedMore);
  ASSERT_EQ(joiner.Feed(kIdB, Packet(0, 0, "b"), kNow + std::chrono::seconds(5)).status, JoinStatus::kNeedMore);
  EXPECT_EQ(joiner.Feed(std::string(24, 'C'), Packet(0, 0, "c"), kNow).status, JoinStatus::kDropped);
  // A one-packet request needs no room.
  EXPECT_EQ(joiner.Feed(std::string(24, 'C'), Packet(0, 1, "c"), kNow).status, JoinStatus::kComplete);
  const std::vector<std::string> dropped = joiner.Expire(kNow + std::chrono::seconds(1));
  EXPECT_EQ(dropped, std::vector<std::string>{kIdA});
  EXPECT_EQ(joiner.pending(), 1u);
  EXPECT_EQ(joiner.Feed(kIdA, Packet(1, 1, "a"), kNow).status, JoinStatus::kStray);
}

}  // namespace
}  // namespace veltemu
