// RIMQ_ReasonText: every reason code defined in rimqapi.h has its own text; others say so.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <string>

#include "rimqapi.h"

namespace {

TEST(ReasonText, EveryDefinedReasonHasItsOwnText) {
  std::ifstream header(RIMQAPI_HEADER_PATH);
  ASSERT_TRUE(header) << RIMQAPI_HEADER_PATH;
  const std::regex define(R"(^#define (RIMQRC_\w+) (\d+))");
  std::set<std::string> texts;
  int reasons = 0;
  for (std::string line; std::getline(header, line);) {
    std::smatch m;
    if (!std::regex_search(line, m, define)) continue;
    const std::string text = RIMQ_ReasonText(std::stoi(m[2]));
    EXPECT_EQ(text.rfind("unknown reason", 0), std::string::npos) << m[1] << " has no text";
    EXPECT_TRUE(texts.insert(text).second) << m[1] << " shares its text: " << text;
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
