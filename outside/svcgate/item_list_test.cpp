// Item lists in and out, and the names of an answer's named values.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "answer_reader.h"
#include "item_list.h"
#include "svcgate.h"

namespace {

using velt::svcgate::Item;

std::string Joined(const std::vector<Item>& items) {
  std::string s;
  for (const Item& i : items) s += "[" + i.name + "=" + i.value + "]";
  return s;
}

TEST(ReadRequestItems, SplitsAtCommasAndTheFirstColon) {
  const struct {
    const char* request;
    const char* items;
  } cases[] = {
      {"", ""},
      {"A:1,B:2", "[A=1][B=2]"},
      {"A:1,,B:,", "[A=1][B=]"},                                   // empty items skipped, empty value kept
      {"F_RUNTIME:2026-01-02 03:04:05.006000", "[F_RUNTIME=2026-01-02 03:04:05.006000]"},
      {"NOCOLON,X:'q'", "[NOCOLON=][X='q']"},                      // sent as written
      {",,,", ""},
  };
  for (const auto& c : cases) {
    std::vector<Item> items;
    ASSERT_EQ(velt::svcgate::ReadRequestItems(c.request, items), SVCGATE_OK) << c.request;
    EXPECT_EQ(Joined(items), c.items) << c.request;
  }
  for (const char* bad : {":x", "A:1,:2", "_CA:2", "A:1,_RS_1:t"}) {
    std::vector<Item> items;
    EXPECT_EQ(velt::svcgate::ReadRequestItems(bad, items), SVCGATE_E_REQUEST) << bad;
  }
}

TEST(WriteAnswerItems, BoundsTheTextAndRefusesWhatWouldSplit) {
  std::string text;
  EXPECT_EQ(velt::svcgate::WriteAnswerItems({{"A", "1"}, {"B", ""}, {"C", "x y"}}, 2048, text), SVCGATE_OK);
  EXPECT_EQ(text, "A:1,B:,C:x y");
  EXPECT_EQ(velt::svcgate::WriteAnswerItems({}, 2048, text), SVCGATE_OK);
  EXPECT_EQ(text, "");

  // 1024 + "," + 1023 characters: 2048 fits, one more does not.
  const std::vector<Item> exact = {{"A", std::string(1022, 'a')}, {"B", std::string(1021, 'b')}};
  ASSERT_EQ(velt::svcgate::WriteAnswerItems(exact, 2048, text), SVCGATE_OK);
  EXPECT_EQ(text.size(), 2048u);
  const std::vector<Item> over = {{"A", std::string(1022, 'a')}, {"B", std::string(1022, 'b')}};
  EXPECT_EQ(velt::svcgate::WriteAnswerItems(over, 2048, text), SVCGATE_E_ANSWER_SIZE);

  for (const Item& bad : {Item{"A", "x,y"}, Item{"A", "12:00"}, Item{"A:B", "1"}, Item{"A,", "1"},
                          Item{"A", std::string("a\0b", 3)}}) {
    // Refused wherever it stands, even after an answer that would be too long anyway.
    EXPECT_EQ(velt::svcgate::WriteAnswerItems({{"OK", "1"}, bad}, 2048, text), SVCGATE_E_ANSWER_VALUE) << bad.name;
    EXPECT_EQ(velt::svcgate::WriteAnswerItems({{"L", std::string(3000, 'l')}, bad}, 2048, text), SVCGATE_E_ANSWER_VALUE);
  }
}

TEST(NamedValueNames, DecodesNamesAndSkipsReservedAndRepeatedOnes) {
  const auto names = velt::svcgate::NamedValueNames(
      "_CA=2.4&_ENDIAN=0&A@26B=x&acct=1&BIN=_BASE64_BIN&_BASE64_BIN=AA@3D@3D&acct=2&@40@3D=q&&=v&_RS_1=t;1;c;1");
  EXPECT_EQ(names, (std::vector<std::string>{"A&B", "acct", "BIN", "@="}));
}

}  // namespace
