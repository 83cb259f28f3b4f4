// Options and system parameters of a session through the exported functions: defaults, length
// rules, record matching against the current entry, process-wide ids, the parameter formats.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/client_handle.h"
#include "veltcli.h"

namespace {

// Reads a packed record field by value (a reference to it would be misaligned).
int Unpacked(int field) { return field; }

tagVELTConnectOption Entry(const char* name, int port, const char* group = "G") {
  tagVELTConnectOption e;
  std::memset(&e, 0, sizeof e);
  std::snprintf(e.szServerName, sizeof e.szServerName, "%s", name);
  e.nProtocal = 1;
  std::snprintf(e.szAddress, sizeof e.szAddress, "inproc:%s", name);
  e.nPort = port;
  std::snprintf(e.szSendQName, sizeof e.szSendQName, "REQ.%s", name);
  std::snprintf(e.szReceiveQName, sizeof e.szReceiveQName, "ANS.%s", name);
  std::snprintf(e.szReserved, sizeof e.szReserved, "%s", group);
  return e;
}

tagVELTConnectOptionEx EntryEx(const char* name, const char* ssl) {
  tagVELTConnectOptionEx e;
  std::memset(&e, 0, sizeof e);
  const tagVELTConnectOption base = Entry(name, 1414);
  std::memcpy(&e, &base, sizeof base);
  std::snprintf(e.szProxy, sizeof e.szProxy, "proxy:%s", name);
  std::snprintf(e.szSSL, sizeof e.szSSL, "%s", ssl);
  return e;
}

void Upper(char* text) {
  for (; *text != '\0'; ++text) *text = static_cast<char>(std::toupper(static_cast<unsigned char>(*text)));
}

class SessionOptions : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(VELTCLI_Init(&h_), 0); }
  void TearDown() override { VELTCLI_Exit(h_); }

  // Ids 11 and 14 answer with the value itself and write it out too; the others answer 0.
  int Get(int id) {
    int v = -12345;
    const int rc = VELTCLI_GetOption(h_, id, &v);
    EXPECT_EQ(rc, (id == 11 || id == 14) ? v : 0) << id;
    return v;
  }
  const velt::ServerList& Servers() { return h_->session->transport.servers; }

  VELTCLI_HANDLE h_ = nullptr;
};

TEST_F(SessionOptions, FreshSessionDefaults) {
  const struct {
    int id;
    int value;
  } defaults[] = {{1, 120}, {2, 0}, {3, 3}, {4, 0}, {5, 0}, {6, 0}, {8, 1}, {9, 1},
                  {10, 1},  {11, 0}, {14, 1}, {16, 1}, {17, 1}, {20, 0}};
  for (const auto& d : defaults) EXPECT_EQ(Get(d.id), d.value) << "option " << d.id;
  EXPECT_EQ(h_->session->timeout, 120);

  char tag[25] = {};
  int length = sizeof tag;
  EXPECT_EQ(VELTCLI_GetOptions(h_, 15, tag, &length), 0);
  EXPECT_EQ(length, 24) << "the reply tag is made at creation";
  EXPECT_EQ(std::strlen(tag), 24u);

  tagVELTConnectOption current;
  std::memset(&current, 0x55, sizeof current);
  EXPECT_EQ(VELTCLI_GetConnectOption(h_, &current), 0);
  const tagVELTConnectOption zero{};
  EXPECT_EQ(std::memcmp(&current, &zero, sizeof zero), 0);
}

TEST_F(SessionOptions, IntOptionsRoundTripAndLengthRules) {
  for (const int id : {1, 2, 3, 4, 5, 6, 8, 9, 11, 14, 16, 17}) {
    const int value = 1000 + id;
    EXPECT_EQ(VELTCLI_SetOption(h_, id, &value), 0);
    EXPECT_EQ(Get(id), value) << id;
  }
  EXPECT_EQ(h_->session->timeout, 1001) << "option 1 is the session's time-out";

  // A length below 4 refuses every id but 11 and 14, which take the int regardless.
  for (int id = 0; id <= 20; ++id) {
    const int value = 7;
    EXPECT_EQ(VELTCLI_SetOptions(h_, id, &value, 2), (id == 11 || id == 14) ? 0 : 1) << id;
  }
  EXPECT_EQ(Get(11), 7);
  EXPECT_EQ(Get(14), 7);

  int out = 99;
  int len = 3;
  EXPECT_EQ(VELTCLI_GetOptions(h_, 5, &out, &len), 1);
  EXPECT_EQ(out, 99);
  len = 64;
  EXPECT_EQ(VELTCLI_GetOptions(h_, 5, &out, &len), 0);
  EXPECT_EQ(len, 4);

  EXPECT_EQ(VELTCLI_SetCliTimeOut(h_, 30), 0);
  EXPECT_EQ(Get(1), 30);
}

TEST_F(SessionOptions, LengthRulesComeAfterIdsElevenAndFourteenOnly) {
  const int value = 5;
  for (const int id : {-1, 21, 42}) EXPECT_EQ(VELTCLI_SetOptions(h_, id, &value, 3), 1) << "unknown id " << id;
  EXPECT_EQ(VELTCLI_SetOptions(h_, 42, &value, 4), 0) << "accepted and ignored";

  const int ms = 250;
  ASSERT_EQ(VELTCLI_SetOption(h_, 11, &ms), 0);
  const int off = 0;
  ASSERT_EQ(VELTCLI_SetOption(h_, 14, &off), 0);
  int out = 77;
  for (const int length : {0, 3}) {
    int len = length;
    EXPECT_EQ(VELTCLI_GetOptions(h_, 11, &out, &len), 250) << "length " << length;
    EXPECT_EQ(VELTCLI_GetOptions(h_, 14, &out, &len), 0) << "length " << length;
    EXPECT_EQ(out, 77) << "nothing written where no int fits";
    EXPECT_EQ(len, length);
  }
  EXPECT_EQ(VELTCLI_GetOptions(h_, 11, nullptr, nullptr), 250);
  int len = 4;
  EXPECT_EQ(VELTCLI_GetOptions(h_, 11, &out, &len), 250);
  EXPECT_EQ(out, 250);
}

TEST_F(SessionOptions, UnknownIdsAndNullPointers) {
  const int value = 5;
  EXPECT_EQ(VELTCLI_SetOption(h_, 42, &value), 0);
  EXPECT_EQ(VELTCLI_SetOption(h_, -1, &value), 0);
  int out = 77;
  EXPECT_EQ(VELTCLI_GetOption(h_, 42, &out), 0);
  EXPECT_EQ(out, 77) << "output untouched";
  EXPECT_EQ(VELTCLI_SetOption(h_, 2, nullptr), 1);
  EXPECT_EQ(VELTCLI_GetOption(h_, 2, nullptr), 1);
  EXPECT_EQ(VELTCLI_GetOptions(h_, 2, &out, nullptr), 1);
}

TEST_F(SessionOptions, ServerListOneVersusThreeRecords) {
  const tagVELTConnectOption list[3] = {Entry("A", 1), Entry("B", 2), Entry("C", 3)};
  tagVELTConnectOption back[3];

  EXPECT_EQ(VELTCLI_SetOption(h_, 0, list), 0);
  int len = sizeof back;
  EXPECT_EQ(VELTCLI_GetOptions(h_, 0, back, &len), 0);
  EXPECT_EQ(std::memcmp(&back[0], &list[0], sizeof list[0]), 0);
  const tagVELTConnectOption zero{};
  EXPECT_EQ(std::memcmp(&back[1], &zero, sizeof zero), 0) << "SetOption stores one record";

  EXPECT_EQ(VELTCLI_SetOptions(h_, 0, list, sizeof list), 0);
  len = sizeof back;
  EXPECT_EQ(VELTCLI_GetOptions(h_, 0, back, &len), 0);
  EXPECT_EQ(std::memcmp(back, list, sizeof list), 0);
  EXPECT_EQ(len, static_cast<int>(sizeof back));

  // The extended view shows the 173-byte records in 559-byte slots with empty extras.
  tagVELTConnectOptionEx ex[2];
  len = sizeof ex;
  EXPECT_EQ(VELTCLI_GetOptions(h_, 12, ex, &len), 0);
  EXPECT_EQ(std::memcmp(&ex[1], &list[1], sizeof list[1]), 0);
  EXPECT_EQ(ex[1].szSSL[0], '\0');

  char small[100];
  std::memset(small, 'x', sizeof small);
  len = sizeof small;
  EXPECT_EQ(VELTCLI_GetOptions(h_, 0, small, &len), 1);
  EXPECT_EQ(small[99], '\0') << "cleared over the stated length first";
}

TEST_F(SessionOptions, CurrentEntryMatchingIgnoresCaseButNotPort) {
  tagVELTConnectOption a = Entry("alpha", 1414);
  ASSERT_EQ(VELTCLI_SetConnectOption(h_, a), 0);
  EXPECT_FALSE(Servers().CurrentValid()) << "a new record invalidates";

  tagVELTConnectOption same = a;
  Upper(same.szServerName);
  Upper(same.szAddress);
  Upper(same.szReserved);
  EXPECT_EQ(VELTCLI_SetConnectOption(h_, same), 0);
  EXPECT_TRUE(Servers().CurrentValid());
  tagVELTConnectOption back;
  ASSERT_EQ(VELTCLI_GetConnectOption(h_, &back), 0);
  EXPECT_STREQ(back.szServerName, "alpha") << "an equal record changes nothing";

  tagVELTConnectOption moved = a;
  moved.nPort = 1415;
  EXPECT_EQ(VELTCLI_SetConnectOption(h_, moved), 0);
  EXPECT_FALSE(Servers().CurrentValid());
  ASSERT_EQ(VELTCLI_GetConnectOption(h_, &back), 0);
  EXPECT_EQ(Unpacked(back.nPort), 1415);

  // A single record must be passed whole.
  EXPECT_EQ(VELTCLI_SetOptions(h_, 7, &a, 100), 1);
}

TEST_F(SessionOptions, ListMatchMovesTheCurrentIndex) {
  const tagVELTConnectOption a = Entry("A", 1);
  ASSERT_EQ(VELTCLI_SetConnectOption(h_, a), 0);
  tagVELTConnectOption list[3] = {Entry("X", 9), Entry("Y", 8), a};
  list[2].szServerName[0] = 'a';
  ASSERT_EQ(VELTCLI_SetOptions(h_, 0, list, sizeof list), 0);
  EXPECT_TRUE(Servers().CurrentValid());
  EXPECT_EQ(Servers().CurrentIndex(), 2);

  ASSERT_EQ(VELTCLI_SetOptions(h_, 0, list, 2 * sizeof list[0]), 0);
  EXPECT_FALSE(Servers().CurrentValid());
}

TEST_F(SessionOptions, ExtendedRecordsCompareProxyAndSsl) {
  const tagVELTConnectOptionEx e = EntryEx("E", "tls-a");
  ASSERT_EQ(VELTCLI_SetOption(h_, 13, &e), 0);
  tagVELTConnectOptionEx back;
  ASSERT_EQ(VELTCLI_GetOption(h_, 13, &back), 0);
  EXPECT_EQ(std::memcmp(&back, &e, sizeof e), 0);

  tagVELTConnectOptionEx other = e;
  std::snprintf(other.szSSL, sizeof other.szSSL, "TLS-A");
  ASSERT_EQ(VELTCLI_SetOption(h_, 13, &other), 0);
  EXPECT_TRUE(Servers().CurrentValid());
  std::snprintf(other.szSSL, sizeof other.szSSL, "tls-b");
  ASSERT_EQ(VELTCLI_SetOption(h_, 13, &other), 0);
  EXPECT_FALSE(Servers().CurrentValid());

  // The raw list is cut at 16 slots of 559 bytes and the length says how much came back.
  std::vector<unsigned char> raw(10000, 0xEE);
  int len = static_cast<int>(raw.size());
  ASSERT_EQ(VELTCLI_GetOptions(h_, 12, raw.data(), &len), 0);
  EXPECT_EQ(len, 16 * 559);
  EXPECT_EQ(raw[16 * 559], 0xEE);
  len = 558;
  EXPECT_EQ(VELTCLI_GetOptions(h_, 12, raw.data(), &len), 1);
}

TEST_F(SessionOptions, PluginEntriesSwitchModeAndClearServerSession) {
  tagVELTPluginOption p;
  std::memset(&p, 0, sizeof p);
  std::snprintf(p.szServerName, sizeof p.szServerName, "plug");
  std::snprintf(p.szLibraryPath, sizeof p.szLibraryPath, "libplug.so");
  ASSERT_EQ(VELTCLI_SetOptions(h_, 18, &p, sizeof p), 0);
  EXPECT_EQ(Servers().Mode(), velt::TransportMode::kPlugin);
  EXPECT_EQ(Get(14), 0);

  std::vector<unsigned char> raw(30000, 0xEE);
  int len = static_cast<int>(raw.size());
  ASSERT_EQ(VELTCLI_GetOptions(h_, 18, raw.data(), &len), 0);
  EXPECT_EQ(len, 21984);
  EXPECT_EQ(std::memcmp(raw.data(), &p, sizeof p), 0);

  tagVELTPluginOption back;
  ASSERT_EQ(VELTCLI_GetOption(h_, 19, &back), 0);
  EXPECT_STREQ(back.szLibraryPath, "libplug.so");

  // A queue list brings the queue layout back, also when it matches the current entry.
  tagVELTConnectOption q;
  std::memcpy(&q, &p, sizeof q);
  ASSERT_EQ(VELTCLI_SetOption(h_, 0, &q), 0);
  EXPECT_TRUE(Servers().CurrentValid());
  EXPECT_EQ(Servers().Mode(), velt::TransportMode::kQueue);
}

TEST_F(SessionOptions, ReplyTag) {
  ASSERT_EQ(VELTCLI_SetOption(h_, 15, "TAG"), 0);
  char tag[25];
  std::memset(tag, 'x', sizeof tag);
  int len = sizeof tag;
  ASSERT_EQ(VELTCLI_GetOptions(h_, 15, tag, &len), 0);
  EXPECT_STREQ(tag, "TAG");
  EXPECT_EQ(len, 3);

  ASSERT_EQ(VELTCLI_SetOption(h_, 15, "0123456789ABCDEFGHIJKLMNOPQRSTU"), 0);
  len = sizeof tag;
  ASSERT_EQ(VELTCLI_GetOptions(h_, 15, tag, &len), 0);
  EXPECT_STREQ(tag, "0123456789ABCDEFGHIJKLMN") << "24 characters kept";

  char four[4];
  len = sizeof four;
  ASSERT_EQ(VELTCLI_GetOptions(h_, 15, four, &len), 0);
  EXPECT_EQ(std::string(four, 4), "0123") << "at most the stated length is written";
}

TEST_F(SessionOptions, ProcessWideOptions) {
  VELTCLI_HANDLE other = nullptr;
  ASSERT_EQ(VELTCLI_Init(&other), 0);
  const int off = 0;
  ASSERT_EQ(VELTCLI_SetOption(h_, 10, &off), 0);
  int v = -1;
  ASSERT_EQ(VELTCLI_GetOption(other, 10, &v), 0);
  EXPECT_EQ(v, 0);
  const int on = 1;
  VELTCLI_SetOption(h_, 10, &on);

  const int negative = -5;
  ASSERT_EQ(VELTCLI_SetOption(other, 20, &negative), 0);
  ASSERT_EQ(VELTCLI_GetOption(h_, 20, &v), 0);
  EXPECT_EQ(v, -5) << "stored without clamping";
  const int none = 0;
  VELTCLI_SetOption(h_, 20, &none);
  VELTCLI_Exit(other);
}

TEST_F(SessionOptions, SystemParameters) {
  const std::string t32(32, 't');
  EXPECT_EQ(VELTCLI_SetSystemParam(h_, 3, (t32 + "u").c_str()), 1);
  EXPECT_EQ(VELTCLI_SetSystemParam(h_, 3, t32.c_str()), 0);
  char out[40];
  std::memset(out, 'x', sizeof out);
  EXPECT_EQ(VELTCLI_GetSystemParam(h_, 3, out, 33), 0);
  EXPECT_STREQ(out, t32.c_str());
  std::memset(out, 'x', sizeof out);
  EXPECT_EQ(VELTCLI_GetSystemParam(h_, 3, out, 32), 0);
  EXPECT_EQ(out[31], 't');
  EXPECT_EQ(out[32], 'x') << "no terminator when the length equals the text";
  EXPECT_EQ(VELTCLI_GetSystemParam(h_, 3, out, 31), 1);

  EXPECT_EQ(VELTCLI_SetSystemParam(h_, 7, "A.B"), 0);
  EXPECT_EQ(VELTCLI_GetSystemParam(h_, 7, out, sizeof out), 0);
  EXPECT_STREQ(out, "A.B");

  EXPECT_EQ(VELTCLI_SetSystemParam(h_, 2, "17"), 0);
  EXPECT_EQ(VELTCLI_GetSystemParam(h_, 2, out, sizeof out), 0);
  EXPECT_STREQ(out, "        17");
  EXPECT_EQ(VELTCLI_GetSystemParam(h_, 2, out, 9), 1);
  EXPECT_EQ(VELTCLI_SetSystemParam(h_, 8, "5x"), 0);
  EXPECT_EQ(VELTCLI_GetSystemParam(h_, 8, out, sizeof out), 0);
  EXPECT_STREQ(out, "    5");

  EXPECT_EQ(VELTCLI_SetSystemParam(h_, 4, "x"), 2);
  EXPECT_EQ(VELTCLI_GetSystemParam(h_, 4, out, sizeof out), 2);
  EXPECT_EQ(VELTCLI_SetSystemParam(h_, 4, nullptr), -1);
  EXPECT_EQ(VELTCLI_GetSystemParam(h_, 3, nullptr, 10), -1);
}

TEST_F(SessionOptions, CommLenIsThePacketTextLength) {
  int len = -1;
  EXPECT_EQ(VELTCLI_GetCommLen(h_, &len), 0);
  EXPECT_EQ(len, 0);
  std::strcpy(h_->session->packet.Data(), "_CA=2.4&_ENDIAN=0");
  EXPECT_EQ(VELTCLI_GetCommLen(h_, &len), 0);
  EXPECT_EQ(len, 17);
}

}  // namespace
