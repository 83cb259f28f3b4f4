// The packet header codec on its own: field positions and widths, clamping, trimming, checksum.
#include "wire/packet_header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace wire = velt::wire;

TEST(PacketHeader, FieldsSitAtTheirOffsetsAndReadBack) {
  wire::PacketHeader h;
  h.callType = 11;
  h.transactionMode = 1 + 8;
  h.sessionNumber = 17;
  h.sequence = 3;
  h.flags = 2;
  h.serverNumber = 65535;
  wire::SetField(h.clientId, "00AABBCCDDEE");
  wire::SetField(h.user, "averylonguser");   // cut to 8
  wire::SetField(h.password, "abc");
  wire::SetField(h.transactionId, "T1");
  wire::SetField(h.program, "program");
  h.length = 42;
  h.status = -5;
  wire::SetField(h.servicePrefix, "A.B");
  h.checksum = 7;
  char out[wire::kHeaderBytes + 1] = {};
  wire::EncodeHeader(h, out);
  const std::string s(out, wire::kHeaderBytes);
  EXPECT_EQ(s.substr(0, 4), "01B9");
  EXPECT_EQ(s.substr(4, 10), "0000000017");
  EXPECT_EQ(s.substr(14, 7), "0000032");
  EXPECT_EQ(s.substr(31, 5), "65535");
  EXPECT_EQ(s.substr(48, 8), "averylon");
  EXPECT_EQ(s.substr(56, 12), "abc         ");
  EXPECT_EQ(s.substr(102, 5), "00042");
  EXPECT_EQ(s.substr(107, 6), "-00005");
  EXPECT_EQ(s.substr(123, 3), "007");

  const wire::PacketHeader r = wire::DecodeHeader(out);
  EXPECT_EQ(r.callType, 11);
  EXPECT_EQ(r.transactionMode, 9);
  EXPECT_EQ(r.sessionNumber, 17);
  EXPECT_EQ(r.serverNumber, 65535);
  EXPECT_STREQ(r.user, "averylon");
  EXPECT_STREQ(r.password, "abc");
  EXPECT_STREQ(r.transactionId, "T1");
  EXPECT_STREQ(r.servicePrefix, "A.B");
  EXPECT_EQ(r.status, -5);
  EXPECT_EQ(r.length, 42);
}

TEST(PacketHeader, NumbersTooWideAreClampedNeverSpillIntoTheNextField) {
  wire::PacketHeader h;
  h.status = 12345678;
  h.length = -1;
  h.sequence = -2000000;
  char out[wire::kHeaderBytes] = {};
  wire::EncodeHeader(h, out);
  const std::string s(out, wire::kHeaderBytes);
  EXPECT_EQ(s.substr(107, 6), "999999");
  EXPECT_EQ(s.substr(102, 5), "-0001");
  EXPECT_EQ(s.substr(14, 6), "-99999");
  EXPECT_EQ(s.substr(113, 10), std::string(10, ' '));
}

TEST(PacketHeader, ChecksumCoversTheFirst123HeaderBytesAndTheText) {
  char packet[wire::kHeaderBytes + 3];
  wire::EncodeHeader(wire::PacketHeader{}, packet);
  std::memcpy(packet + wire::kHeaderBytes, "\xff\x01\x80", 3);
  unsigned long sum = 0;
  for (int i = 0; i < 123; ++i) sum += static_cast<unsigned char>(packet[i]);
  sum += 0xff + 0x01 + 0x80;
  wire::SealPacket(packet, 3);
  EXPECT_EQ(wire::DecodeHeader(packet).checksum, static_cast<int>(sum % 255));
  EXPECT_EQ(wire::Checksum(packet, packet + wire::kHeaderBytes, 3), static_cast<int>(sum % 255));
}
