// Cutting answers: part boundaries at pairs, "&" at each later part's start, flags, eight-packet
// parts, sequence numbers and checksums, and the injected faults.
#include "answer_cutter.h"

#include <gtest/gtest.h>

namespace veltemu {
namespace {

using velt::wire::kHeaderBytes;

std::string Text(const std::string& packet) { return packet.substr(kHeaderBytes); }
velt::wire::PacketHeader Header(const std::string& packet) { return velt::wire::DecodeHeader(packet.data()); }

velt::wire::PacketHeader Base() {
  velt::wire::PacketHeader h;
  h.callType = 2;
  h.sessionNumber = 7;
  h.serverNumber = 3;
  h.status = -12;
  velt::wire::SetField(h.transactionId, "T1");
  velt::wire::SetField(h.servicePrefix, "kv");
  return h;
}

TEST(AnswerCutterTest, PartsAreCutAtPairsAndLaterPartsBeginWithAmpersand) {
  const CutLimits small{10, 2};   // parts of at most 20 bytes
  const std::vector<std::string> parts = PackParts({"a=1", "bb=22", "ccc=333", "dddd=4444", "e=5"}, small);
  const std::vector<std::string> expected = {"a=1&bb=22&ccc=333", "&dddd=4444&e=5"};
  EXPECT_EQ(parts, expected);
  std::string joined;
  for (const auto& p : parts) joined += p;
  EXPECT_EQ(joined, "a=1&bb=22&ccc=333&dddd=4444&e=5");
}

TEST(AnswerCutterTest, UnitLongerThanAPartGetsAPartOfItsOwn) {
  const CutLimits small{4, 2};   // parts of 8 bytes
  const std::vector<std::string> parts = PackParts({"a=1", "long=0123456789", "b=2"}, small);
  const std::vector<std::string> expected = {"a=1", "&long=0123456789", "&b=2"};
  EXPECT_EQ(parts, expected);
  const std::vector<std::string> packets = CutPackets(parts, Base(), small);
  // 3 + 16 (four packets of 4) + 4 bytes
  ASSERT_EQ(packets.size(), 6u);
  const int flags[] = {2, 0, 0, 0, 2, 1};
  for (std::size_t i = 0; i < packets.size(); ++i) EXPECT_EQ(Header(packets[i]).flags, flags[i]) << i;
}

TEST(AnswerCutterTest, EmptyAnswerIsOnePacketWithFlagOne) {
  const std::vector<std::string> packets = CutPackets(PackParts({}), Base());
  ASSERT_EQ(packets.size(), 1u);
  EXPECT_EQ(packets[0].size(), kHeaderBytes);
  const velt::wire::PacketHeader h = Header(packets[0]);
  EXPECT_EQ(h.flags, 1);
  EXPECT_EQ(h.length, 0);
  EXPECT_EQ(h.sequence, 0);
}

TEST(AnswerCutterTest, HeadersCarryTheCallFactsAndValidChecksums) {
  std::vector<std::string> units;
  for (int i = 0; i < 3000; ++i) units.push_back("_" + std::to_string(i) + "=cell" + std::to_string(i));
  const std::vector<std::string> parts = PackParts(units);
  ASSERT_GT(parts.size(), 1u);
  const std::vector<std::string> packets = CutPackets(parts, Base());
  std::size_t packetIndex = 0;
  for (std::size_t p = 0; p < parts.size(); ++p) {
    EXPECT_LE(parts[p].size(), 8 * velt::wire::kMaxPacketText);
    if (p > 0) {
      EXPECT_EQ(parts[p][0], '&');
    }
    std::string partText;
    std::size_t inPart = 0;
    for (; packetIndex < packets.size(); ++packetIndex) {
      const std::string& packet = packets[packetIndex];
      const velt::wire::PacketHeader h = Header(packet);
      EXPECT_EQ(h.sequence, static_cast<int>(packetIndex));
      EXPECT_EQ(static_cast<std::size_t>(h.length), packet.size() - kHeaderBytes);
      EXPECT_LE(packet.size() - kHeaderBytes, velt::wire::kMaxPacketText);
      EXPECT_EQ(h.checksum, velt::wire::Checksum(packet.data(), packet.data() + kHeaderBytes, h.length));
      EXPECT_EQ(h.callType, 2);
      EXPECT_EQ(h.sessionNumber, 7);
      EXPECT_EQ(h.serverNumber, 3);
      EXPECT_EQ(h.status, -12);
      EXPECT_STREQ(h.transactionId, "T1");
      EXPECT_STREQ(h.servicePrefix, "kv");
      partText += Text(packet);
      ++inPart;
      if (h.flags != 0) {
        EXPECT_EQ(h.flags, p + 1 == parts.size() ? 1 : 2);
        ++packetIndex;
        break;
      }
    }
    EXPECT_LE(inPart, 8u);
    EXPECT_EQ(partText, parts[p]);
  }
  EXPECT_EQ(packetIndex, packets.size());
}

TEST(AnswerCutterTest, FullPartsHaveEightPacketsWithTheWindowFlagOnTheEighth) {
  // Units of one packet's size fill a part with exactly eight packets.
  const std::size_t unit = velt::wire::kMaxPacketText - 1;   // plus its "&"
  std::vector<std::string> units;
  units.push_back("v=" + std::string(velt::wire::kMaxPacketText - 2, 'x'));
  for (int i = 0; i < 15; ++i) units.push_back("w=" + std::string(unit - 2, 'y'));
  const std::vector<std::string> packets = CutPackets(PackParts(units), Base());
  ASSERT_EQ(packets.size(), 16u);
  for (std::size_t i = 0; i < packets.size(); ++i) {
    const int expected = i == 7 ? 2 : i == 15 ? 1 : 0;
    EXPECT_EQ(Header(packets[i]).flags, expected) << i;
  }
  EXPECT_EQ(Text(packets[8])[0], '&');
}

TEST(AnswerCutterTest, FaultsAlterOnlyWhatTheySay) {
  const std::vector<std::string> clean = CutPackets(PackParts({std::string(5000, 'a')}), Base());
  ASSERT_EQ(clean.size(), 2u);
  struct Case {
    AnswerFault fault;
    std::size_t packet;
  } cases[] = {{AnswerFault::kChecksum, 0}, {AnswerFault::kSequence, 1}, {AnswerFault::kLength, 0}};
  for (const Case& c : cases) {
    std::vector<std::string> packets = clean;
    ApplyFault(packets, c.fault);
    const velt::wire::PacketHeader h = Header(packets[c.packet]);
    const velt::wire::PacketHeader before = Header(clean[c.packet]);
    const bool sums = h.checksum == velt::wire::Checksum(packets[c.packet].data(),
                                                        packets[c.packet].data() + kHeaderBytes,
                                                        packets[c.packet].size() - kHeaderBytes);
    EXPECT_EQ(sums, c.fault != AnswerFault::kChecksum);
    EXPECT_EQ(h.sequence != before.sequence, c.fault == AnswerFault::kSequence);
    EXPECT_EQ(h.length > before.length, c.fault == AnswerFault::kLength);
    EXPECT_EQ(packets[1 - c.packet], clean[1 - c.packet]);
    EXPECT_EQ(packets[c.packet].substr(kHeaderBytes), clean[c.packet].substr(kHeaderBytes));
  }
}

}  // namespace
}  // namespace veltemu
