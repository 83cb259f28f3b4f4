// The example plug-in's connect and configuration texts: what is accepted, what is refused, and
// that a refused text leaves the caller's settings untouched.
#include "example_texts.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using velt::plugin_example::ConnectSettings;
using velt::plugin_example::ParseConfigText;
using velt::plugin_example::ParseConnectText;

TEST(ExampleConnectText, FullTextFillsEverySetting) {
  ConnectSettings s;
  ASSERT_TRUE(ParseConnectText(";address=redis.host;port=6379;protocol=0;request=REQ;answer=ANS;"
                               "user=u1;password=p=w;;", s));
  EXPECT_EQ(s.address, "redis.host");
  EXPECT_EQ(s.port, 6379);
  EXPECT_EQ(s.protocol, 0);
  EXPECT_EQ(s.requestQueue, "REQ");
  EXPECT_EQ(s.answerQueue, "ANS");
  EXPECT_EQ(s.user, "u1");
  EXPECT_EQ(s.password, "p=w");   // only the first "=" splits
}

TEST(ExampleConnectText, DefaultsWhenOptionalKeysAreAbsent) {
  ConnectSettings s;
  ASSERT_TRUE(ParseConnectText("request=R;answer=A;address=inproc", s));
  EXPECT_EQ(s.port, 0);
  EXPECT_EQ(s.protocol, 1);
  EXPECT_TRUE(s.user.empty());
}

TEST(ExampleConnectText, RefusedTexts) {
  const std::string q32(32, 'q');
  const std::string base = "address=inproc;request=R;answer=A";
  const std::string refused[] = {
      "",                                              // required keys missing
      "address=inproc;request=R",                      // no answer queue
      "address=;request=R;answer=A",                   // empty address
      base + ";port=65536",
      base + ";port=-1",
      base + ";port=12x",
      base + ";port=99999999999",                      // would overflow an int
      base + ";protocol=3",
      "address=inproc;request=" + q32 + "q;answer=A",  // 33 characters: past the descriptor field
      base + ";Address=x",                             // keys are lower case
      base + ";address=again",                         // repeated key
      base + ";timeout=5",                             // a configuration key
      base + ";noequals",
      base + ";user=" + std::string(65, 'u'),
      "address=" + std::string(256, 'a') + ";request=R;answer=A",
  };
  for (const std::string& text : refused) {
    ConnectSettings s;
    s.address = "kept";
    EXPECT_FALSE(ParseConnectText(text, s)) << text;
    EXPECT_EQ(s.address, "kept") << text;
  }
  ConnectSettings s;
  EXPECT_TRUE(ParseConnectText("address=inproc;request=" + q32 + ";answer=" + q32, s));
}

TEST(ExampleConfigText, Timeouts) {
  struct Case {
    const char* text;
    bool accepted;
    int seconds;   // afterwards, starting from 120
  };
  const Case cases[] = {
      {"timeout=5", true, 5},         {"", true, 120},
      {";timeout=2147483;", true, 2147483},
      {"timeout=2147484", false, 120},   // expiry in milliseconds would pass an int
      {"timeout=0", false, 120},      {"timeout=-1", false, 120},
      {"timeout=", false, 120},       {"timeout=5;timeout=6", false, 120},
      {"wait=5", false, 120},         {"timeout", false, 120},
  };
  for (const Case& c : cases) {
    int seconds = 120;
    EXPECT_EQ(ParseConfigText(c.text, seconds), c.accepted) << c.text;
    EXPECT_EQ(seconds, c.seconds) << c.text;
  }
}

}  // namespace
