// Platform layer: profile files, path rules, module folders, wiping, Base64, named counters,
// run-time loading, local time, adapter addresses and the debugger output.
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/adapter_address.h"
#include "platform/base64.h"
#include "platform/codepage.h"
#include "platform/debug_output.h"
#include "platform/dynamic_library.h"
#include "platform/ini_profile.h"
#include "platform/local_time.h"
#include "platform/process.h"
#include "platform/named_counter.h"
#include "platform/paths.h"
#include "platform/secure_wipe.h"

namespace vp = velt::platform;

namespace {

class TempIni {
 public:
  explicit TempIni(const std::string& text) {
    char tmpl[] = "/tmp/velt_ini_XXXXXX";
    const int fd = mkstemp(tmpl);
    path_ = tmpl;
    ::close(fd);
    std::ofstream(path_, std::ios::binary) << text;
  }
  ~TempIni() { std::remove(path_.c_str()); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

const char kProfile[] =
    "; leading comment\n"
    "orphan=ignored\n"
    "[LYRSSO]\r\n"
    "  ValidTime = 120 \r\n"
    "SpecialString=\"quoted secret\"\n"
    "validtime=999\n"
    "# comment=not a key\n"
    "[ Other ]\n"
    "Key=first\n"
    "[lyrsso]\n"
    "ValidTime=5\n"
    "[publickey]\n"
    "MIGfMA0GCSqGSIb3DQEB\n"
    "\n"
    "AQUAA4GNADCBiQKBgQC==\n";

}  // namespace

TEST(IniProfile, LookupRules) {
  const auto p = vp::IniProfile::Parse(kProfile);
  // first section and first key win, names ignore case, values trimmed and unquoted
  EXPECT_EQ(p.Get("lyrsso", "VALIDTIME"), "120");
  EXPECT_EQ(p.Get("LYRSSO", "SpecialString"), "quoted secret");
  EXPECT_EQ(p.Get("other", "key"), "first");
  EXPECT_EQ(p.Get("LYRSSO", "orphan"), std::nullopt);
  EXPECT_EQ(p.Get("LYRSSO", "# comment"), std::nullopt);
  EXPECT_EQ(p.Get("missing", "Key"), std::nullopt);
  const auto lines = p.SectionLines("PublicKey");
  ASSERT_TRUE(lines);
  EXPECT_EQ(*lines, (std::vector<std::string>{"MIGfMA0GCSqGSIb3DQEB", "AQUAA4GNADCBiQKBgQC=="}));
}

TEST(IniProfile, BoundedStringReads) {
  TempIni ini(kProfile);
  char out[8];
  EXPECT_EQ(vp::ReadProfileString(ini.path(), "LYRSSO", "SpecialString", "", out, sizeof out), 7u);
  EXPECT_STREQ(out, "quoted ");
  EXPECT_EQ(vp::ReadProfileString(ini.path(), "LYRSSO", "nokey", "dflt", out, sizeof out), 4u);
  EXPECT_STREQ(out, "dflt");
  EXPECT_EQ(vp::ReadProfileString("/nonexistent/x.ini", "LYRSSO", "ValidTime", nullptr, out, sizeof out), 0u);
  EXPECT_STREQ(out, "");
  out[0] = 'z';
  EXPECT_EQ(vp::ReadProfileString(ini.path(), "LYRSSO", "ValidTime", "", out, 0), 0u);
  EXPECT_EQ(out[0], 'z');  // size 0: nothing written
}

TEST(IniProfile, IntegerReads) {
  TempIni ini("[s]\na=42\nb=-7\nc=abc\nd=12xyz\ne=99999999999\nf=\n");
  struct Case { const char* key; int expected; } cases[] = {
      {"a", 42}, {"b", -7}, {"c", 0}, {"d", 12}, {"e", 2147483647}, {"f", 0}, {"missing", 60}};
  for (const auto& c : cases) EXPECT_EQ(vp::ReadProfileInt(ini.path(), "s", c.key, 60), c.expected) << c.key;
  EXPECT_EQ(vp::ReadProfileInt("/nonexistent/x.ini", "s", "a", 60), 60);
}

TEST(IniProfile, SectionReadKeepsWholeLinesAndDoubleZero) {
  TempIni ini(kProfile);
  char out[64];
  std::memset(out, 'z', sizeof out);
  const std::size_t n = vp::ReadProfileSection(ini.path(), "publickey", out, sizeof out);
  EXPECT_EQ(n, 21u + 22u);
  EXPECT_STREQ(out, "MIGfMA0GCSqGSIb3DQEB");
  EXPECT_STREQ(out + 21, "AQUAA4GNADCBiQKBgQC==");
  EXPECT_EQ(out[n], '\0');
  // too small for the second line: only the first, still double-zero terminated
  std::memset(out, 'z', sizeof out);
  EXPECT_EQ(vp::ReadProfileSection(ini.path(), "publickey", out, 30), 21u);
  EXPECT_EQ(out[21], '\0');
  EXPECT_EQ(out[22], 'z');
  EXPECT_EQ(vp::ReadProfileSection(ini.path(), "nosuch", out, sizeof out), 0u);
  EXPECT_EQ(out[0], '\0');
  EXPECT_EQ(out[1], '\0');
}

TEST(Paths, RootedAndBaseName) {
  EXPECT_TRUE(vp::IsRootedPath("\\\\server\\share\\a.ini"));
  EXPECT_TRUE(vp::IsRootedPath("C:\\conf\\a.ini"));
  EXPECT_TRUE(vp::IsRootedPath("/etc/velt/a.ini"));
  EXPECT_FALSE(vp::IsRootedPath("conf/a.ini"));
  EXPECT_FALSE(vp::IsRootedPath(""));
  EXPECT_EQ(vp::BaseName("C:\\bin\\prog.exe"), "prog.exe");
  EXPECT_EQ(vp::BaseName("/usr/bin/prog"), "prog");
  EXPECT_EQ(vp::BaseName("prog"), "prog");
  EXPECT_EQ(vp::BaseName("dir/"), "");
}

TEST(Paths, ModuleDirectoryOfThisProgram) {
  static int marker;
  const std::string dir = vp::ModuleDirectory(&marker);
  const std::string exe = vp::ProgramPath();
  ASSERT_FALSE(exe.empty());
  EXPECT_EQ(dir + std::string(vp::BaseName(exe)), exe);
  EXPECT_EQ(dir.back(), '/');
  EXPECT_EQ(vp::ModuleDirectory(nullptr), "");
}

TEST(SecureWipe, ClearsEveryByteOnScopeExit) {
  unsigned char key[32];
  std::memset(key, 0xA5, sizeof key);
  { vp::WipeOnExit<unsigned char[32]> guard(key); }
  for (unsigned char b : key) EXPECT_EQ(b, 0);
  vp::SecureWipe(nullptr, 5);  // tolerated
}

TEST(Base64, EncodeRfc4648Vectors) {
  struct Case { const char* in; const char* out; } cases[] = {
      {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}};
  for (const auto& c : cases) {
    char out[16] = {};
    const std::size_t n = std::strlen(c.in);
    EXPECT_EQ(vp::Base64Encode(reinterpret_cast<const unsigned char*>(c.in), n, out), vp::Base64EncodedLength(n));
    EXPECT_STREQ(out, c.out);
  }
}

TEST(Base64, SkippingDecoderIgnoresForeignAndReportsFullLength) {
  unsigned char out[16] = {};
  const char text[] = "Zm9v\r\nYm Fy==";
  EXPECT_EQ(vp::Base64DecodeSkipping(text, sizeof text - 1, out, sizeof out), 6u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 6), "foobar");
  EXPECT_EQ(vp::Base64DecodeSkipping("Zm9vY", 5, out, sizeof out), 3u);   // single left-over char: nothing
  EXPECT_EQ(vp::Base64DecodeSkipping("Zm9vYg", 6, out, sizeof out), 4u);
  unsigned char small[2] = {0, 0};
  EXPECT_EQ(vp::Base64DecodeSkipping("Zm9vYmFy", 8, small, sizeof small), 6u);  // cut, but counted
  EXPECT_EQ(small[0], 'f');
  EXPECT_EQ(small[1], 'o');
}

TEST(Base64, GroupedDecoderRules) {
  unsigned char out[32];
  auto decode = [&](const char* s, vp::GroupedDecodeOptions o = {}) {
    std::memset(out, 0, sizeof out);
    const auto r = vp::Base64DecodeGrouped(s, std::strlen(s), out, o);
    return std::make_pair(std::string(reinterpret_cast<char*>(out), r.bytes), r.foreign);
  };
  EXPECT_EQ(decode("Zm9vYmE="), std::make_pair(std::string("fooba"), false));
  EXPECT_EQ(decode("Zg=="), std::make_pair(std::string("f"), false));
  EXPECT_EQ(decode("Zm9vYg"), std::make_pair(std::string("foob"), false));     // short last group
  EXPECT_EQ(decode("Zm9vY"), std::make_pair(std::string("foo"), false));
  EXPECT_TRUE(decode("Zm*v").second);                                            // foreign counts as 0
  EXPECT_EQ(decode("Zg==Zm8=").first, std::string("f") + "fo");                  // groups go on
  EXPECT_EQ(decode("Zg==Zm8=", {true}).first, "f");                              // or stop at fill
}

TEST(Base64, RoundTripAllLengths) {
  unsigned char data[64];
  for (int i = 0; i < 64; ++i) data[i] = static_cast<unsigned char>(i * 37 + 11);
  for (std::size_t n = 0; n <= sizeof data; ++n) {
    char text[96];
    const std::size_t t = vp::Base64Encode(data, n, text);
    unsigned char back[96];
    EXPECT_EQ(vp::Base64DecodeGrouped(text, t, back).bytes, n);
    EXPECT_EQ(std::memcmp(back, data, n), 0);
    EXPECT_EQ(vp::Base64DecodeSkipping(text, t, back, sizeof back), n);
    EXPECT_EQ(std::memcmp(back, data, n), 0);
  }
}

TEST(CodePage, Utf8AndGbkRoundTrip) {
  const std::string utf8 = "\xe8\xaf\x81\xe4\xb9\xa6 CN=\xe5\xbc\xa0\xe4\xb8\x89";   // "证书 CN=张三"
  const auto gbk = vp::Utf8ToGbk(utf8);
  ASSERT_TRUE(gbk);
  EXPECT_EQ(*gbk, "\xd6\xa4\xca\xe9 CN=\xd5\xc5\xc8\xfd");
  EXPECT_EQ(vp::GbkToUtf8(*gbk), utf8);
  EXPECT_EQ(vp::Utf8ToGbk(""), "");
  EXPECT_EQ(vp::Utf8ToGbk(std::string(5000, 'a'))->size(), 5000u);   // output grows past the first guess
  EXPECT_EQ(vp::Utf8ToGbk("\xff\xfe"), std::nullopt);                // not UTF-8
  EXPECT_EQ(vp::ConvertCodePage("x", "NO-SUCH-SET", "UTF-8"), std::nullopt);
  EXPECT_FALSE(vp::ProcessCodeset().empty());
}

TEST(CodePage, KeptConverterRefusesOrReplacesWhatDoesNotConvert) {
  const vp::CodePageConverter toUtf8("GBK", "UTF-8");
  ASSERT_TRUE(toUtf8.Valid());
  std::string out;
  EXPECT_TRUE(toUtf8.Convert("\xd5\xc5", out));
  EXPECT_EQ(out, "\xe5\xbc\xa0");
  EXPECT_FALSE(toUtf8.Convert("a\xff" "b", out));   // 0xFF starts no GBK character
  EXPECT_TRUE(toUtf8.Convert("a\xff" "b", out, "?"));
  EXPECT_EQ(out, "a?b");
  EXPECT_TRUE(toUtf8.Convert(std::string(9000, 'x'), out));   // past the conversion's own buffer
  EXPECT_EQ(out.size(), 9000u);
  const vp::CodePageConverter unknown("NO-SUCH-SET", "UTF-8");
  EXPECT_FALSE(unknown.Valid());
  EXPECT_FALSE(unknown.Convert("x", out, "?"));
}

TEST(NamedCounter, SharedByNameAndFailsAtTheMaximum) {
  const std::string name = "velt_counter_test_" + std::to_string(getpid());
  auto a = vp::NamedCounter::Open(name);
  auto b = vp::NamedCounter::Open(name);
  ASSERT_TRUE(a && b);
  std::int32_t p = -1;
  ASSERT_TRUE(a->Release(p));
  EXPECT_EQ(p, 0);
  ASSERT_TRUE(b->Release(p));
  EXPECT_EQ(p, 1);   // one count behind both openings

  // Put the shared count at its maximum from outside: the next release fails and changes nothing.
  const int fd = shm_open(("/" + name).c_str(), O_RDWR, 0);
  ASSERT_GE(fd, 0);
  const std::int32_t top = vp::NamedCounter::kMaximum;
  ASSERT_EQ(pwrite(fd, &top, sizeof top, 0), static_cast<ssize_t>(sizeof top));
  close(fd);
  EXPECT_FALSE(a->Release(p));
  EXPECT_FALSE(b->Release(p));
  shm_unlink(("/" + name).c_str());
}

// The run-time loading contract, on the C library that every process has loaded.
TEST(DynamicLibrary, FindsLoadedLibrariesAndTheirSymbols) {
  const std::string libc = vp::ModuleLoadName(reinterpret_cast<const void*>(&std::strlen));
  ASSERT_FALSE(libc.empty());
  vp::LibraryHandle found = vp::FindOpenLibrary(libc.c_str());
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(vp::LibrarySymbol(found, "strlen"), reinterpret_cast<void*>(&std::strlen));
  EXPECT_EQ(vp::LibrarySymbol(found, "velt_no_such_symbol"), nullptr);
  vp::CloseLibrary(found);
  EXPECT_EQ(vp::OpenLibrary("/nonexistent/libvelt_none.so"), nullptr);
  EXPECT_EQ(vp::FindOpenLibrary("libvelt_never_loaded.so"), nullptr);
  EXPECT_EQ(vp::OpenLibrary(nullptr), nullptr);
  vp::CloseLibrary(nullptr);   // harmless
}

TEST(LocalTime, AgreesWithTheClockAndTheBrokenDownForm) {
  const std::time_t before = std::time(nullptr);
  const vp::LocalTime now = vp::LocalNow();
  const std::time_t after = std::time(nullptr);
  EXPECT_GE(now.milliseconds, 0);
  EXPECT_LE(now.milliseconds, 999);
  std::tm fields = now.fields;
  const std::time_t back = std::mktime(&fields);
  EXPECT_GE(back, before);
  EXPECT_LE(back, after);
  const std::tm local = vp::LocalTimeOf(before);
  EXPECT_GE(local.tm_year, 126);
  const std::tm utc = vp::UtcTimeOf(0);
  EXPECT_EQ(utc.tm_year, 70);
  EXPECT_EQ(utc.tm_hour, 0);
  EXPECT_EQ(vp::ProcessId(), static_cast<int>(getpid()));
  EXPECT_GT(vp::ThreadId(), 0);
}

TEST(AdapterAddress, ListsTheAdaptersOfThisMachine) {
  unsigned char address[6] = {};
  EXPECT_NE(vp::FirstAdapterAddress(address), vp::AdapterQuery::kFailed);
}

TEST(DebugOutput, SilentUnlessANamedFileIsGiven) {
  char folder[] = "/tmp/velt_debug_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string file = std::string(folder) + "/debug.txt";
  unsetenv("VELT_DEBUG_OUTPUT");
  vp::DebugOutput("not written\n");
  setenv("VELT_DEBUG_OUTPUT", file.c_str(), 1);
  vp::DebugOutput("first\n");
  vp::DebugOutput("second\n");
  unsetenv("VELT_DEBUG_OUTPUT");
  std::ifstream in(file);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, "first\nsecond\n");
  std::remove(file.c_str());
  rmdir(folder);
}
