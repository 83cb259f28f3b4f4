// The trace writer on its own, in a temporary current folder: nothing when off, one entry per
// call with the 59-character prefix and the raw bytes, the file named by the owner's address.
#include "transport/trace_log.h"
#include "testsupport/temp_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Reads "[%6d]" at `at`: spaces, then digits, then "]". Returns the number or -1.
long BracketNumber(const std::string& s, std::size_t& at) {
  if (at >= s.size() || s[at++] != '[') return -1;
  std::size_t width = 0;
  for (; at < s.size() && s[at] == ' '; ++at) ++width;
  long value = 0;
  std::size_t digits = 0;
  for (; at < s.size() && std::isdigit(static_cast<unsigned char>(s[at])); ++at, ++digits) {
    value = value * 10 + (s[at] - '0');
  }
  if (digits == 0 || width + digits < 6 || at >= s.size() || s[at++] != ']') return -1;
  return value;
}

// Length of the entry prefix "<14 digits> [%6d] [%6d] <tag>:" at the start of `s` (0 when the
// shape is wrong); the process id goes to `pid`.
std::size_t PrefixLength(const std::string& s, const std::string& tag, long& pid) {
  std::size_t at = 0;
  for (; at < 14; ++at) {
    if (at >= s.size() || !std::isdigit(static_cast<unsigned char>(s[at]))) return 0;
  }
  if (s.compare(at++, 1, " ") != 0) return 0;
  pid = BracketNumber(s, at);
  if (pid < 0 || s.compare(at++, 1, " ") != 0 || BracketNumber(s, at) < 0) return 0;
  const std::string tail = " " + tag + ":";
  if (s.compare(at, tail.size(), tail) != 0) return 0;
  return at + tail.size();
}

class TraceFolder : public ::testing::Test {
 protected:
  velt::testsupport::TempFolder here_{velt::testsupport::TempFolder::Enter::kYes, "veltcli-trace"};
  static std::string FileOf(const void* owner) {
    char name[64];
    velt::TraceFileName(owner, name, sizeof name);
    std::ifstream in(name, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
  }

};

TEST(TraceNames, FileNameAndPrefix) {
  char name[64];
  velt::TraceFileName(reinterpret_cast<const void*>(0xABC123), name, sizeof name);
  EXPECT_EQ(std::string(name), std::string(2 * sizeof(void*) - 6, '0') + "ABC123.dat");

  std::tm t{};
  t.tm_year = 124;
  t.tm_mon = 2;
  t.tm_mday = 5;
  t.tm_hour = 7;
  t.tm_min = 8;
  t.tm_sec = 9;
  char prefix[velt::kTracePrefixChars + 1];
  EXPECT_EQ(velt::TracePrefix(t, 123, 45, "send", prefix), 38u);
  EXPECT_STREQ(prefix, "20240305070809 [   123] [    45] send:");
  const std::string longTag(80, 't');
  EXPECT_EQ(velt::TracePrefix(t, 1234567, 45, longTag.c_str(), prefix), 59u);
  EXPECT_EQ(std::string(prefix).substr(0, 34), "20240305070809 [1234567] [    45] ");
}

TEST_F(TraceFolder, OffWritesNothing) {
  int owner = 0;
  EXPECT_EQ(velt::WriteTrace(false, &owner, velt::kTraceSend, "x", 1), 0);
  EXPECT_TRUE(std::filesystem::is_empty(here_.path()));
}

TEST_F(TraceFolder, EntriesAreAppendedRaw) {
  int owner = 0;
  const std::string request("HDR\0body\nmore", 13);
  ASSERT_EQ(velt::WriteTrace(true, &owner, velt::kTraceSend, request.data(), request.size()), 0);
  ASSERT_EQ(velt::WriteTrace(true, &owner, velt::kTraceReceive, "answer", 6), 0);

  const std::string file = FileOf(&owner);
  long pid = 0;
  const std::size_t sendPrefix = PrefixLength(file, "send", pid);
  ASSERT_GT(sendPrefix, 0u) << file;
  EXPECT_EQ(pid, static_cast<long>(getpid()));
  EXPECT_EQ(file.substr(sendPrefix, request.size() + 1), request + "\n");
  const std::string second = file.substr(sendPrefix + request.size() + 1);
  const std::size_t recvPrefix = PrefixLength(second, "recv", pid);
  ASSERT_GT(recvPrefix, 0u) << second;
  EXPECT_EQ(second.substr(recvPrefix), "answer\n");

  // Request and answer texts are the owner's alone.
  char name[64];
  velt::TraceFileName(&owner, name, sizeof name);
  const auto perms = std::filesystem::status(name).permissions();
  EXPECT_EQ(perms & std::filesystem::perms::all, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(TraceFolder, UnopenableFileGivesOne) {
  int owner = 0;
  char name[64];
  velt::TraceFileName(&owner, name, sizeof name);
  std::filesystem::create_directory(name);
  EXPECT_EQ(velt::WriteTrace(true, &owner, velt::kTraceSend, "x", 1), 1);
}

}  // namespace
