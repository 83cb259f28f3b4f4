// The README's demo program runs to its end and reports every step as expected.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(VeltDemo, EveryStepBehavesAsExpected) {
  FILE* out = popen(VELT_DEMO_PATH " 2>&1", "r");
  ASSERT_NE(out, nullptr);
  std::string text;
  char buf[4096];
  while (std::fgets(buf, sizeof buf, out) != nullptr) text += buf;
  EXPECT_EQ(pclose(out), 0) << text;
  EXPECT_NE(text.find("every step behaved as expected"), std::string::npos) << text;
  EXPECT_NE(text.find("rows walked: 5000"), std::string::npos) << text;
  EXPECT_NE(text.find("receiver: topic quotes.sh, symbol 601318, price 48.07"), std::string::npos) << text;
}
