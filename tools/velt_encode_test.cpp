// velt-encode end to end: the installed-style binary run through a shell, its output and exit
// status checked for round trips of every encoding, tickets, failures and the usage text.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "lyrsso.h"
#include "lyrsso_test_support.h"
#include "ticket.h"

namespace {

using velt::lyrsso::test::IniText;
using velt::lyrsso::test::TempFolder;

struct Result {
  int status = -1;
  std::string out;  // standard output, the last newline removed
};

// Runs `velt-encode <args>` through /bin/sh (args are shell words), stderr kept apart.
Result Tool(const std::string& args, const std::string& before = "") {
  const std::string command = before + "'" VELT_ENCODE_PATH "' " + args + " 2>/dev/null";
  Result r;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return r;
  std::array<char, 256> buf{};
  std::size_t n;
  while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) r.out.append(buf.data(), n);
  const int raw = pclose(pipe);
  r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  if (!r.out.empty() && r.out.back() == '\n') r.out.pop_back();
  return r;
}

std::string Stderr(const std::string& args) {
  const std::string command = "'" VELT_ENCODE_PATH "' " + args + " 2>&1 >/dev/null";
  std::string err;
  FILE* pipe = popen(command.c_str(), "r");
  std::array<char, 256> buf{};
  std::size_t n;
  while (pipe != nullptr && (n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) err.append(buf.data(), n);
  if (pipe != nullptr) pclose(pipe);
  return err;
}

TEST(VeltEncode, UsageText) {
  const auto help = Tool("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("usage: velt-encode <command>"), std::string::npos);
  EXPECT_NE(help.out.find("Exit status"), std::string::npos);
  EXPECT_EQ(Tool("encode --type 4 x --help").status, 0);
  EXPECT_EQ(Tool("").status, 2);
  EXPECT_NE(Stderr("frobnicate").find("unknown command frobnicate"), std::string::npos);
  EXPECT_NE(Stderr("frobnicate").find("usage:"), std::string::npos);
  EXPECT_EQ(Tool("encode hello").status, 2) << "no type";
  EXPECT_EQ(Tool("encode --type 4").status, 2) << "no value";
  EXPECT_EQ(Tool("encode --type four x").status, 2);
  EXPECT_EQ(Tool("encode --type 4 --bogus 1 x").status, 2);
  EXPECT_EQ(Tool("encode --type 4 --in hex 6g").status, 2) << "bad hex";
}

TEST(VeltEncode, Base64BothWaysAndForms) {
  EXPECT_EQ(Tool("encode --type 4 hello").out, "aGVsbG8=");
  EXPECT_EQ(Tool("encode --type 4 --in hex 68656c6c6f").out, "aGVsbG8=");
  EXPECT_EQ(Tool("decode --type 4 aGVsbG8=").out, "hello");
  EXPECT_EQ(Tool("decode --type 4 --out hex aGVsbG8=").out, "68656c6c6f");
  EXPECT_EQ(Tool("encode --type 4 -", "printf 'hello\\n' | ").out, "aGVsbG8=") << "stdin, newline dropped";
}

TEST(VeltEncode, RoundTripsOfTheReversibleEncodings) {
  struct Case {
    const char* type;
    const char* key;
    const char* clear;
  };
  const Case cases[] = {
      {"1", "--key k3y", "password"},   {"1", "--key-hex 0102030405060708", "abc"},
      {"3", "--key 0123456789abcdef", "twenty-byte-password"},
      {"5", "--key 42", "Secret15Chars99"}, {"6", "--key 'pass phrase'", "hello"},
  };
  for (const auto& c : cases) {
    const std::string key = c.key;
    const auto enc = Tool(std::string("encode --type ") + c.type + " " + key + " " + c.clear);
    ASSERT_EQ(enc.status, 0) << c.type;
    EXPECT_NE(enc.out, c.clear);
    const auto dec = Tool(std::string("decode --type ") + c.type + " " + key + " '" + enc.out + "'");
    EXPECT_EQ(dec.status, 0) << c.type;
    EXPECT_EQ(dec.out, c.clear) << "type " << c.type << " via " << enc.out;
  }
  const auto digest = Tool("encode --type 2 secret");
  EXPECT_EQ(digest.status, 0);
  EXPECT_EQ(digest.out.size(), 32u) << "16 bytes as hex";
}

TEST(VeltEncode, ReencodeChangesTheKey) {
  const auto old = Tool("encode --type 5 --key oldkey Password1");
  ASSERT_EQ(old.status, 0);
  const auto moved = Tool("reencode --from 5 --from-key oldkey --to 5 --to-key newkey " + old.out);
  ASSERT_EQ(moved.status, 0);
  EXPECT_EQ(moved.out.size(), 20u);
  EXPECT_EQ(Tool("decode --type 5 --key newkey " + moved.out).out, "Password1");
  const auto toB64 = Tool("reencode --from 4 --to 4 aGVsbG8=");
  EXPECT_EQ(toB64.out, "aGVsbG8=");
}

TEST(VeltEncode, TypeErrorsHaveTheirOwnExits) {
  EXPECT_EQ(Tool("encode --type 7 x").status, 5);
  EXPECT_EQ(Tool("decode --type 0 x").status, 5);
  EXPECT_EQ(Tool("reencode --from 4 --to 9 aGVsbG8=").status, 5);
  EXPECT_EQ(Tool("decode --type 2 --in hex 00112233").status, 4) << "one-way";
}

class VeltEncodeTickets : public ::testing::Test {
 protected:
  TempFolder folder_;
  std::string ini_ = folder_.Write("sso.ini", IniText("300", "tool-secret"));
};

TEST(VeltEncode, WarnsWhenTheResultIsLikelyWrong) {
  const std::string text = Tool("encode --type 6 --key right secret-phrase").out;
  ASSERT_FALSE(text.empty());
  EXPECT_EQ(Stderr("decode --type 6 --key right " + text), "") << "the right key gives text";
  // Decoding has no padding check, so a wrong key gives bytes; these (fixed) keys give non-text.
  for (const char* key : {"wrong", "Right", "x", "left"}) {
    const std::string err = Stderr(std::string("decode --type 6 --key ") + key + " " + text);
    EXPECT_NE(err.find("warning: the decoded bytes are not text"), std::string::npos) << key;
  }
  EXPECT_NE(Stderr("sign APP user").find("warning: no --ini"), std::string::npos);
}

TEST_F(VeltEncodeTickets, SignAndVerify) {
  const auto signed_ = Tool("sign --ini '" + ini_ + "' APP user01");
  ASSERT_EQ(signed_.status, 0);
  ASSERT_EQ(signed_.out.size(), 32u);
  const auto ok = Tool("verify --ini '" + ini_ + "' APP user01 " + signed_.out);
  EXPECT_EQ(ok.status, 0);
  const long expiry = std::stol(ok.out);
  EXPECT_GE(expiry, static_cast<long>(std::time(nullptr)) + 298);
  EXPECT_NE(ok.out.find('T'), std::string::npos) << "UTC time follows: " << ok.out;

  // The same ticket as the library signs with this configuration.
  velt::lyrsso::TicketConfig config;
  config.validTime = 300;
  std::strcpy(config.secret, "tool-secret");
  EXPECT_EQ(velt::lyrsso::VerifyTicket(config, "APP", "user01", signed_.out.c_str(), nullptr, std::time(nullptr)), 0);

  // A relative --ini is the working folder's file, as a user means it.
  EXPECT_EQ(Tool("verify --ini sso.ini APP user01 " + signed_.out, "cd '" + folder_.path() + "' && ").status, 0);
  EXPECT_EQ(Tool("verify --ini '" + ini_ + "' APP user01 -", "echo " + signed_.out + " | ").status, 0);
}

TEST_F(VeltEncodeTickets, FailedVerifyExitsMirrorTheCodes) {
  const auto signed_ = Tool("sign --ini '" + ini_ + "' APP user01");
  ASSERT_EQ(signed_.status, 0);
  EXPECT_EQ(Tool("verify --ini '" + ini_ + "' APP other " + signed_.out).status, 142);   // -332
  EXPECT_EQ(Tool("verify --ini '" + ini_ + "' APP user01 '*'").status, 120);            // -310
  EXPECT_NE(Stderr("verify --ini '" + ini_ + "' APP other " + signed_.out).find("-332"), std::string::npos);

  velt::lyrsso::TicketConfig config;
  std::strcpy(config.secret, "tool-secret");
  char old[33];
  ASSERT_EQ(velt::lyrsso::SignTicket(config, "APP", "user01", old, sizeof old, 1000000000), 0);
  EXPECT_EQ(Tool("verify --ini '" + ini_ + "' APP user01 " + old).status, 150);           // -340

  EXPECT_EQ(Tool("verify --ini '" + folder_.path() + "/missing.ini' APP user01 " + signed_.out).status, 1);
  EXPECT_EQ(Tool("sign --ini '" + ini_ + "' APP").status, 2);
}

}  // namespace
