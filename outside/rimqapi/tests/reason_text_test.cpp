// RIMQ_ReasonText: every reason code defined in rimqapi.h has its own text; others say so.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <set>
#include <string>

#include "rimqapi.h"

namespace {

TEST(ReasonText, EveryDefinedReasonHasItsOwnText) {
  std::ifstream header(RIMQAPI_HEADER_PATH);
  ASSERT_TRUE(header) << RIMQAPI_HEADER_PATH;
  std::set<std::string> texts;
  int reasons = 0;
  for (std::string line; std::getline(header, line);) {
    // "#define RIMQRC_<NAME> <number>   /* ... */"
    std::istringstream words(line);
    std::string directive, name;
    int number = 0;
    if (!(words >> directive >> name >> number) || directive != "#define" || name.rfind("RIMQRC_", 0) != 0) continue;
    const std::string text = RIMQ_ReasonText(number);
    EXPECT_EQ(text.rfind("unknown reason", 0), std::string::npos) << name << " has no text";
    EXPECT_TRUE(texts.insert(text).second) << name << " shares its text: " << text;
    ++reasons;
  }
  EXPECT_GE(reasons, 20);
  EXPECT_STREQ(RIMQ_ReasonText(RIMQRC_NOT_AUTHORIZED), "not authorised");
}

TEST(ReasonText, OtherNumbersAreNamedUnknown) {
  EXPECT_STREQ(RIMQ_ReasonText(1234), "unknown reason 1234");
  EXPECT_STREQ(RIMQ_ReasonText(-2147483647 - 1), "unknown reason -2147483648");
}

}  // namespace
