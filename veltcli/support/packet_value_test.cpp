// Named-value lookup in packet text: escaping of names, decoding of values, cuts and codes.
#include "support/packet_value.h"
#include "wire/text_escape.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct LookupCase {
  const char* text;
  const char* name;
  int len;
  int code;
  const char* value;
};

TEST(PacketValue, LookupCases) {
  const std::string longName(101, 'n');
  const LookupCase cases[] = {
      {"_CA=2.4&_ERRNO=42&_ERRMSG=x", "_ERRNO", 20, 0, "42"},
      {"_ERRNO=7&x=1", "_ERRNO", 20, 0, "7"},                 // the first pair has no "&"
      {"x=1&a@3Db=v&a=w", "a=b", 20, 0, "v"},                 // names compare escaped
      {"xk=1&k=2", "k", 20, 0, "2"},                          // not found inside "xk"
      {"xk=1", "k", 20, 1, ""},
      {"k=1&k=2", "k", 20, 0, "2"},                           // an "&"-led pair is looked for first
      {"k=p@26q@25@3D@40@41@3", "k", 40, 0, "p&q%=@@41@3"},   // unknown and trailing "@" stay
      {"k=abcd", "k", 3, 100, "abc"},
      {"k=abc", "k", 3, 0, "abc"},
      {"k=", "k", 3, 0, ""},
      {"", "k", 3, 2, ""},
      {"k=1", "k", 0, 3, ""},
      {"k=1", longName.c_str(), 5, 4, ""},
      {"a=1&b=2", "", 20, 0, "a=1&b=2"},                      // empty name: the raw text
      {"a=1&b=2", nullptr, 3, 100, "a=1"},
  };
  for (const LookupCase& c : cases) {
    SCOPED_TRACE(std::string(c.text) + " / " + (c.name != nullptr ? c.name : "(null)"));
    char out[64];
    std::fill(std::begin(out), std::end(out), '#');
    EXPECT_EQ(velt::LookupPacketValue(c.text, c.name, out, c.len), c.code);
    const std::string expected = c.value;
    if (c.code == 100) {
      EXPECT_EQ(std::string(out, expected.size()), expected);
      EXPECT_EQ(out[expected.size()], '#') << "nothing is written past len";
    } else if (c.code == 0) {
      EXPECT_STREQ(out, c.value);
    }
  }
}

TEST(PacketValue, NullOutputAndEscape) {
  EXPECT_EQ(velt::LookupPacketValue("k=1", "k", nullptr, 4), 1);
  char escaped[16];
  const std::size_t n = velt::wire::Escape("%&=@a", escaped, velt::wire::kPairEscapes);
  EXPECT_EQ(std::string(escaped, n), "@25@26@3D@40a");
}

}  // namespace
