// VELTCLI_CodeText's table: every family of codes is named, shared numbers give every meaning.
#include "core/code_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CodeText, NamesEveryFamilyAndJoinsSharedNumbers) {
  const struct {
    int code;
    const char* part;
  } cases[] = {
      {0, "success"},
      {105, "no queue connection"},
      {2018, "unknown or closed connection handle"},
      {2035, "not authorised"},
      {2054, "a packet of another message arrived"},
      {1701, "plug-in library cannot be loaded"},
      {7001, "unknown service"},
      {1, "VELTCLI_GetValue: "},
      {1, "; VELTCLI_RsOpen: "},
      {-1, "VELTCLI_ConnectServer: no server-list entry"},
  };
  for (const auto& c : cases)
    EXPECT_NE(std::string(velt::CodeText(c.code)).find(c.part), std::string::npos) << c.code << ": " << velt::CodeText(c.code);
  EXPECT_STREQ(velt::CodeText(2035), "not authorised") << "one meaning: no function named";
  EXPECT_STREQ(velt::CodeText(123456), "unknown code 123456");
}

}  // namespace
