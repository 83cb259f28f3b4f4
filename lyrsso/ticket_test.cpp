// Ticket rules with an injected clock: the exact bytes (against a ticket built with OpenSSL), the
// record and key cuts, expiry boundaries, every argument code and damaged tickets.
#include "ticket.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>

#include "lyrsso.h"
#include "lyrsso_test_support.h"

namespace {

using namespace velt::lyrsso;

constexpr std::int64_t kNow = 1700000000;

TicketConfig Config(int validTime, const char* secret) {
  TicketConfig c;
  c.validTime = validTime;
  std::strncpy(c.secret, secret, sizeof c.secret - 1);
  return c;
}

std::string Sign(const TicketConfig& c, const std::string& app, const std::string& user, std::int64_t now = kNow) {
  char ticket[64] = "unchanged";
  EXPECT_EQ(SignTicket(c, app.c_str(), user.c_str(), ticket, sizeof ticket, now), 0);
  return ticket;
}

int Verify(const TicketConfig& c, const std::string& app, const std::string& user, const std::string& ticket,
           std::int64_t now = kNow, int* expiry = nullptr) {
  return VerifyTicket(c, app.c_str(), user.c_str(), ticket.c_str(), expiry, now);
}

TEST(Ticket, MatchesATicketBuiltWithOpenSsl) {
  struct Case {
    std::string app, user, secret;
  };
  const Case cases[] = {
      {"APP", "user01", ""},
      {"APPLIC1", "u", "shared"},
      {"APPLICAT9", "a-user-code-longer-than-23-chars", "a-secret-of-exactly-31-characte"},
      {"A", std::string(60, 'u'), "secret-beyond-the-63-key-chars"},  // key cut to 63
  };
  velt::lyrsso::test::LoadOpenSslProviders();
  for (const auto& k : cases) {
    const auto config = Config(300, k.secret.c_str());
    const std::string ticket = Sign(config, k.app, k.user);
    EXPECT_EQ(ticket.size(), kTicketLength);
    EXPECT_EQ(ticket, velt::lyrsso::test::OpenSslTicket(k.app, k.user, config.secret, kNow + 300)) << k.app;
    int expiry = 0;
    EXPECT_EQ(Verify(config, k.app, k.user, ticket, kNow, &expiry), 0);
    EXPECT_EQ(expiry, kNow + 300);
  }
}

TEST(Ticket, RecordCutsFieldsKeyKeepsThemWhole) {
  unsigned char record[kRecordSize];
  BuildSignedRecord("APPLICAT9", "abcdefghijklmnopqrstuvwxyz", 0x01020304, "0123456789abcdefghijKL", record);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(record)), "APPLICA");
  EXPECT_EQ(record[7], 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(record + 8)), "abcdefghijklmnopqrstuvw");
  EXPECT_EQ(record[31], 0);
  EXPECT_EQ(record[32], 0x04);
  EXPECT_EQ(record[35], 0x01);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(record + 36)), "0123456789abcdefghi");
  EXPECT_EQ(record[55], 0);

  unsigned char key[kKeyLimit + 1];
  EXPECT_EQ(BuildTicketKey("APPLICAT9", "user", "secret", key), 19u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(key)), "APPLICAT9usersecret");
  const std::string user(70, 'u');
  EXPECT_EQ(BuildTicketKey("AB", user.c_str(), "secret", key), kKeyLimit);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(key)), "AB" + std::string(61, 'u'));
}

TEST(Ticket, WhatTheKeyAndRecordDistinguish) {
  const auto config = Config(60, "s");
  // Same 7-character record prefix, different ninth character: only the key tells them apart.
  EXPECT_EQ(Verify(config, "APPLICA_Y", "user", Sign(config, "APPLICA_X", "user")), LYRSSO_ERR_VERIFY_MISMATCH);
  // Users agreeing in their first 23 characters differ in the key.
  const std::string user(30, 'u');
  EXPECT_EQ(Verify(config, "APP", user + "1", Sign(config, "APP", user + "2")), LYRSSO_ERR_VERIFY_MISMATCH);
  EXPECT_EQ(Verify(config, "APP", "other", Sign(config, "APP", "user")), LYRSSO_ERR_VERIFY_MISMATCH);
  EXPECT_EQ(Verify(Config(60, "t"), "APP", "user", Sign(config, "APP", "user")), LYRSSO_ERR_VERIFY_MISMATCH);
  // Beyond 63 key characters (and 23 record characters) two users are the same user to the ticket.
  const std::string longUser(70, 'v');
  EXPECT_EQ(Verify(config, "APP", longUser + "1", Sign(config, "APP", longUser + "2")), 0);
}

TEST(Ticket, ValidThroughItsExpirySecond) {
  const auto config = Config(1, "s");
  const std::string ticket = Sign(config, "APP", "user", kNow);
  int expiry = -1;
  EXPECT_EQ(Verify(config, "APP", "user", ticket, kNow, &expiry), 0);
  EXPECT_EQ(expiry, kNow + 1);
  EXPECT_EQ(Verify(config, "APP", "user", ticket, kNow + 1), 0);
  EXPECT_EQ(Verify(config, "APP", "user", ticket, kNow + 2, &expiry), LYRSSO_ERR_VERIFY_EXPIRED);
  EXPECT_EQ(expiry, 0);
  // The digest is checked first: another user's expired ticket is a mismatch, not an expiry.
  EXPECT_EQ(Verify(config, "APP", "other", ticket, kNow + 100), LYRSSO_ERR_VERIFY_MISMATCH);
}

TEST(Ticket, ExpiryClampsToTheStoredRange) {
  EXPECT_EQ(ExpiryAt(kNow, 60), kNow + 60);
  EXPECT_EQ(ExpiryAt(INT32_MAX - 10, 60), INT32_MAX);
  EXPECT_EQ(ExpiryAt(kNow, INT_MAX), INT32_MAX);
  const auto config = Config(INT_MAX, "s");
  int expiry = 0;
  EXPECT_EQ(Verify(config, "APP", "user", Sign(config, "APP", "user"), kNow, &expiry), 0);
  EXPECT_EQ(expiry, INT32_MAX);
}

TEST(Ticket, ArgumentCodesInOrder) {
  const auto config = Config(60, "s");
  char t[40] = "x";
  EXPECT_EQ(SignTicket(config, nullptr, nullptr, nullptr, 0, kNow), LYRSSO_ERR_SIGN_APPID);
  EXPECT_EQ(SignTicket(config, "", "user", t, sizeof t, kNow), LYRSSO_ERR_SIGN_APPID);
  EXPECT_EQ(SignTicket(config, "APP", nullptr, nullptr, 0, kNow), LYRSSO_ERR_SIGN_USER);
  EXPECT_EQ(SignTicket(config, "APP", "", t, sizeof t, kNow), LYRSSO_ERR_SIGN_USER);
  EXPECT_EQ(SignTicket(config, "APP", "user", nullptr, 33, kNow), LYRSSO_ERR_SIGN_TICKET_AREA);
  EXPECT_EQ(SignTicket(config, "APP", "user", t, 32, kNow), LYRSSO_ERR_SIGN_TICKET_AREA);
  EXPECT_STREQ(t, "x") << "refused before anything is written";

  char exact[33];
  std::memset(exact, '#', sizeof exact);
  EXPECT_EQ(SignTicket(config, "APP", "user", exact, sizeof exact, kNow), 0);
  EXPECT_EQ(exact[32], '\0');

  int expiry = 7;
  EXPECT_EQ(VerifyTicket(config, nullptr, nullptr, nullptr, &expiry, kNow), LYRSSO_ERR_VERIFY_APPID);
  EXPECT_EQ(VerifyTicket(config, "", "user", exact, &expiry, kNow), LYRSSO_ERR_VERIFY_APPID);
  EXPECT_EQ(VerifyTicket(config, "APP", nullptr, nullptr, &expiry, kNow), LYRSSO_ERR_VERIFY_USER);
  EXPECT_EQ(VerifyTicket(config, "APP", "", exact, &expiry, kNow), LYRSSO_ERR_VERIFY_USER);
  EXPECT_EQ(VerifyTicket(config, "APP", "user", nullptr, &expiry, kNow), LYRSSO_ERR_VERIFY_TICKET);
  EXPECT_EQ(VerifyTicket(config, "APP", "user", "", &expiry, kNow), LYRSSO_ERR_VERIFY_TICKET);
  EXPECT_EQ(expiry, 7) << "argument errors come before the expiry is cleared";
  EXPECT_EQ(VerifyTicket(config, "APP", "user", exact, nullptr, kNow), 0);
}

TEST(Ticket, DamagedTickets) {
  const auto config = Config(60, "s");
  const std::string good = Sign(config, "APP", "user");
  std::string spaced;
  for (std::size_t i = 0; i < good.size(); ++i) spaced += std::string(1, good[i]) + (i % 5 == 0 ? " \r\n\t" : "");
  const std::string foreign = "==\x80\xff" + good.substr(0, 16) + "=*\xc3\xa9" + good.substr(16) + "==";

  struct Case {
    std::string ticket;
    int expected;
  };
  const Case cases[] = {
      {spaced, 0},
      {foreign, 0},
      {good + "AAAA", 0},                        // extra bytes after the block are not compared
      {good + std::string(52, 'A'), 0},          // 63 bytes: still accepted
      {good + std::string(54, 'A'), LYRSSO_ERR_VERIFY_DECODE},  // 64 bytes
      {std::string(4000, 'A'), LYRSSO_ERR_VERIFY_DECODE},
      {"ABCD", LYRSSO_ERR_VERIFY_MISMATCH},      // 3 bytes, the rest of the block zero
      {"A", LYRSSO_ERR_VERIFY_DECODE},           // 6 bits: no byte
      {"!!!! ====", LYRSSO_ERR_VERIFY_DECODE},
      {good.substr(0, 31), LYRSSO_ERR_VERIFY_MISMATCH},
  };
  for (const auto& c : cases) {
    int expiry = 99;
    EXPECT_EQ(Verify(config, "APP", "user", c.ticket, kNow, &expiry), c.expected) << c.ticket;
    EXPECT_EQ(expiry, c.expected == 0 ? kNow + 60 : 0);
  }
}

TEST(Ticket, EveryFlippedCharacterIsAMismatch) {
  const auto config = Config(60, "s");
  const std::string good = Sign(config, "APP", "user");
  for (std::size_t i = 0; i < good.size(); ++i) {
    for (char replacement : {'A', 'z', '+'}) {
      if (good[i] == replacement) continue;
      std::string bad = good;
      bad[i] = replacement;
      ASSERT_EQ(Verify(config, "APP", "user", bad), LYRSSO_ERR_VERIFY_MISMATCH) << "position " << i;
    }
  }
}

TEST(Ticket, ArbitraryInputIsRefusedCleanly) {
  const auto config = Config(60, "s");
  std::mt19937 rng(5);
  for (int round = 0; round < 3000; ++round) {
    std::string text(1 + rng() % 120, '\0');
    for (auto& c : text) c = static_cast<char>(1 + rng() % 255);
    const int r = Verify(config, "APP", "user", text);
    ASSERT_TRUE(r == LYRSSO_ERR_VERIFY_DECODE || r == LYRSSO_ERR_VERIFY_MISMATCH) << r;
  }
  // Caller texts far beyond every field and key width are read only as far as used.
  const std::string huge(100000, 'h');
  const std::string ticket = Sign(config, huge, huge);
  EXPECT_EQ(Verify(config, huge, huge, ticket), 0);
}

}  // namespace
