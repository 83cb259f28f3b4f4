// Client ids from an adapter address or the time, and the reply tag's hash of the folder.
#include "transport/client_ids.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(ClientIds, FromAddressAndFromTime) {
  const unsigned char mac[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E};
  const velt::ClientIds ids = velt::ClientIdsFrom(mac, 0);
  EXPECT_STREQ(ids.clientId, "001A2B3C4D5E");
  EXPECT_STREQ(ids.shortClientId, "ABorPE1e");

  const velt::ClientIds fallback = velt::ClientIdsFrom(nullptr, 0x5F5E100);
  EXPECT_STREQ(fallback.clientId, "05F5E100");
  EXPECT_STREQ(fallback.shortClientId, "05F5E100");
}

TEST(ClientIds, MachineIdsAreWellFormed) {
  const velt::ClientIds ids = velt::MakeClientIds(0x12345678);
  const std::size_t n = std::strlen(ids.clientId);
  EXPECT_TRUE(n == 12 || (n == 8 && std::strcmp(ids.clientId, "12345678") == 0)) << ids.clientId;
  EXPECT_EQ(std::strlen(ids.shortClientId), 8u);
}

TEST(ClientIds, ReplyTag) {
  // '/' = 47: (2209 << 8) = 0x8A100; 'a' = 97: ((9409 + 0x8A100) << 8) = 0x8C5C100.
  EXPECT_EQ(velt::MakeReplyTag("ABorPE1e", 0x1234, "/a"), "ABorPE1e0000123408C5C100");
  // A byte above 0x7F counts as a negative char; its square is the same.
  EXPECT_EQ(velt::MakeReplyTag("ABorPE1e", 1, "\xB0"), velt::MakeReplyTag("ABorPE1e", 1, "P"));
  EXPECT_EQ(velt::MakeReplyTag("ABorPE1e", 1, "").substr(16), "00000000");
  EXPECT_EQ(velt::MakeReplyTag("abc", 2, "").substr(0, 8), "     abc");
  // Long folders wrap in 32 bits; the tag stays 24 characters.
  EXPECT_EQ(velt::MakeReplyTag("ABorPE1e", 0xFFFFFFFF, std::string(4096, 'z')).size(), 24u);
}

}  // namespace
