// Configuration: the path rule and what the INI file may say.
#include "ticket_config.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "lyrsso_test_support.h"

namespace {

using velt::lyrsso::ConfigPath;
using velt::lyrsso::ReadTicketConfig;

TEST(TicketConfig, PathRule) {
  const std::string longRooted = "/" + std::string(300, 'd');
  struct Case {
    const char* given;
    const char* folder;
    std::string expected;
  };
  const Case cases[] = {
      {"\\\\server\\share\\sso.ini", "/lib/", "\\\\server\\share\\sso.ini"},
      {"C:\\sso.ini", "/lib/", "C:\\sso.ini"},
      {"/etc/velt/sso.ini", "/lib/", "/etc/velt/sso.ini"},
      {"VerifySSO.ini", "/opt/velt/lib/", "/opt/velt/lib/VerifySSO.ini"},
      {"sub/sso.ini", "/opt/velt/lib", "/opt/velt/lib/sub/sso.ini"},
      {nullptr, "/opt/velt/lib/", "/opt/velt/lib/LYRSSO.ini"},
      {"", "/opt/velt/lib/", "/opt/velt/lib/LYRSSO.ini"},
      {"sso.ini", "", "sso.ini"},
      {longRooted.c_str(), "/lib/", longRooted.substr(0, 259)},
  };
  for (const auto& c : cases) EXPECT_EQ(ConfigPath(c.given, c.folder), c.expected) << (c.given ? c.given : "null");
}

TEST(TicketConfig, FileContents) {
  velt::lyrsso::test::TempFolder folder;
  struct Case {
    std::string text;
    int validTime;
    std::string secret;
  };
  const Case cases[] = {
      {"[LYRSSO]\nValidTime=30\nSpecialString=shared\n", 30, "shared"},
      {"[lyrsso]\nvalidtime = 45\nspecialstring = \"quoted\"\n", 45, "quoted"},
      {"[LYRSSO]\nValidTime=0\n", 1, ""},
      {"[LYRSSO]\nValidTime=-20\n", 1, ""},
      {"[LYRSSO]\nValidTime=soon\n", 1, ""},
      {"[LYRSSO]\nValidTime=99999999999\n", INT_MAX, ""},
      {"[LYRSSO]\nSpecialString=" + std::string(40, 's') + "\n", 60, std::string(31, 's')},
      {"[OTHER]\nValidTime=5\nSpecialString=x\n", 60, ""},
  };
  int n = 0;
  for (const auto& c : cases) {
    const auto config = ReadTicketConfig(folder.Write("case" + std::to_string(n++) + ".ini", c.text));
    EXPECT_EQ(config.validTime, c.validTime) << c.text;
    EXPECT_EQ(std::string(config.secret), c.secret) << c.text;
  }
  const auto missing = ReadTicketConfig(folder.path() + "/missing.ini");
  EXPECT_EQ(missing.validTime, 60);
  EXPECT_EQ(missing.secret[0], '\0');
}

}  // namespace
