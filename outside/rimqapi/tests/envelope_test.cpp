// Envelope encoding, match keys and assigned ids, below the interface.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <set>
#include <string>

#include "envelope.h"
#include "message_id.h"

namespace velt::rimq {
namespace {

TEST(RimqEnvelope, RoundTripsEveryByteIncludingZerosAndNegativeFormat) {
  Envelope e;
  for (std::size_t i = 0; i < 24; ++i) {
    e.msgId[i] = static_cast<char>(i * 11);
    e.correlId[i] = static_cast<char>(255 - i);
    e.replyTag[i] = static_cast<char>(i == 3 ? 0 : 'a' + i);
  }
  std::memcpy(e.replyToQ.data(), "REPLY.TO", 8);
  e.msgType = 1;
  e.clientOption4 = -1;
  e.clientOption3 = 3;
  e.format = -123456;
  std::string bytes;
  e.AppendTo(bytes);
  ASSERT_EQ(bytes.size(), Envelope::kSize);
  Envelope back;
  ASSERT_TRUE(Envelope::Parse(bytes + "body", &back));
  EXPECT_EQ(back.msgId, e.msgId);
  EXPECT_EQ(back.correlId, e.correlId);
  EXPECT_EQ(back.replyTag, e.replyTag);
  EXPECT_EQ(back.replyToQ, e.replyToQ);
  EXPECT_EQ(back.clientOption4, -1);
  EXPECT_EQ(back.format, -123456);
  EXPECT_FALSE(Envelope::Parse(bytes.substr(0, Envelope::kSize - 1), &back));
}

// A separator inside an id must not let two different id pairs share a key.
TEST(RimqMatchKeys, DifferentIdPairsNeverShareAKey) {
  MatchRequest a, b;
  a.mode = b.mode = MatchMode::kMsgAndCorrelId;
  std::memcpy(a.msgId.data(), "x:", 2);
  a.correlId[0] = 'y';
  b.msgId[0] = 'x';
  std::memcpy(b.correlId.data(), ":y", 2);
  for (auto spelling : {KeySpelling::kRaw, KeySpelling::kHex}) {
    EXPECT_NE(MatchKey(a, spelling), MatchKey(b, spelling));
  }
  Envelope e;
  e.msgId = a.msgId;
  e.correlId = a.correlId;
  const auto keys = MessageKeys(e, KeySpelling::kHex);
  EXPECT_EQ(keys[0], "all");
  EXPECT_EQ(keys[1], MatchKey(a, KeySpelling::kHex));
  EXPECT_EQ(keys[1].find_first_not_of("id:0123456789abcdef"), std::string::npos);
}

TEST(RimqMatchModes, OnlyTheFourSupportedModesAreAccepted) {
  MatchMode mode;
  for (int ok : {0, 2, 3, 6}) EXPECT_TRUE(ToMatchMode(ok, &mode)) << ok;
  for (int bad : {-1, 1, 4, 5, 7, 8, 8449}) EXPECT_FALSE(ToMatchMode(bad, &mode)) << bad;
}

TEST(RimqMessageIds, AreTwentyFourBase64CharactersAndDistinct) {
  std::set<std::string> seen;
  for (int i = 0; i < 10000; ++i) {
    char id[kMessageIdLength + 1] = {};
    NewMessageId(id);
    ASSERT_EQ(std::strlen(id), 24u);
    ASSERT_EQ(std::string(id).find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/"),
              std::string::npos);
    seen.insert(id);
  }
  EXPECT_EQ(seen.size(), 10000u);
}

// A forked child starts with its parent's salt and counter; its ids must still differ.
TEST(RimqMessageIds, AForkedChildMakesOtherIdsThanItsParent) {
  char first[kMessageIdLength + 1] = {};
  NewMessageId(first);   // the generator is set up before the fork
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    char id[kMessageIdLength] = {};
    NewMessageId(id);
    _exit(write(fds[1], id, sizeof id) == static_cast<ssize_t>(sizeof id) ? 0 : 1);
  }
  char mine[kMessageIdLength + 1] = {};
  NewMessageId(mine);
  char theirs[kMessageIdLength + 1] = {};
  ASSERT_EQ(read(fds[0], theirs, kMessageIdLength), kMessageIdLength);
  int status = 0;
  waitpid(child, &status, 0);
  close(fds[0]);
  close(fds[1]);
  EXPECT_STRNE(mine, theirs);
}

}  // namespace
}  // namespace velt::rimq
