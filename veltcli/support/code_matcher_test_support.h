// Tests' view of the named return codes: every family's list as data, and EXPECT_VELT(rc, kName),
// which on failure prints the expected name and number and the actual number with its names.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "codec/cursor_codes.h"
#include "codec/request_codes.h"
#include "support/value_codes.h"
#include "transport/transport_codes.h"

namespace velt::test {

struct NamedCode {
  const char* name;
  int number;
  const char* rows;      // doc rows (functions) separated by ", "; "" for internal codes
  const char* meaning;
  const char* header;
};

#define VELT_NAMED_CODE(name, number, rows, meaning) {#name, number, rows, meaning, kHeader},
inline const std::vector<NamedCode>& NamedCodes() {
  static const std::vector<NamedCode> codes = [] {
    std::vector<NamedCode> all;
    {
      constexpr const char* kHeader = "support/value_codes.h";
      all.insert(all.end(), {VELT_VALUE_CODES(VELT_NAMED_CODE)});
    }
    {
      constexpr const char* kHeader = "codec/cursor_codes.h";
      all.insert(all.end(), {VELT_CURSOR_CODES(VELT_NAMED_CODE)});
    }
    {
      constexpr const char* kHeader = "codec/request_codes.h";
      all.insert(all.end(), {VELT_REQUEST_CODES(VELT_NAMED_CODE)});
    }
    {
      constexpr const char* kHeader = "transport/transport_codes.h";
      all.insert(all.end(), {VELT_TRANSPORT_CODES(VELT_NAMED_CODE)});
    }
    return all;
  }();
  return codes;
}
#undef VELT_NAMED_CODE

// The doc rows of a code, one per element.
inline std::vector<std::string> RowsOf(const NamedCode& code) {
  std::vector<std::string> rows;
  std::string_view text(code.rows);
  while (!text.empty()) {
    const std::size_t comma = text.find(", ");
    rows.emplace_back(text.substr(0, comma));
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 2);
  }
  return rows;
}

// The entry of a name as written in a test ("kRsNoMoreRows" or "velt::kRsNoMoreRows").
inline const NamedCode* FindNamedCode(std::string_view written) {
  const std::size_t colon = written.rfind(':');
  if (colon != std::string_view::npos) written.remove_prefix(colon + 1);
  for (const NamedCode& code : NamedCodes())
    if (written == code.name) return &code;
  return nullptr;
}

// Names `number` may carry where `expected` is returned: those sharing one of its doc rows, else
// those of its header.
inline std::string NamesFor(int number, const NamedCode* expected) {
  if (number == 0) return "success";
  if (expected == nullptr) return "";
  std::string shared, sameHeader;
  const std::vector<std::string> expectedRows = RowsOf(*expected);
  for (const NamedCode& code : NamedCodes()) {
    if (code.number != number || std::string_view(code.header) != expected->header) continue;
    bool sharesRow = false;
    for (const std::string& row : RowsOf(code))
      for (const std::string& mine : expectedRows) sharesRow = sharesRow || row == mine;
    std::string& list = sharesRow ? shared : sameHeader;
    list += list.empty() ? "" : " or ";
    list += code.name;
  }
  return shared.empty() ? sameHeader : shared;
}

inline ::testing::AssertionResult VeltCodeEquals(const char* actualText, const char* expectedText, int actual,
                                                 int expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  const NamedCode* named = FindNamedCode(expectedText);
  const std::string names = NamesFor(actual, named);
  return ::testing::AssertionFailure() << actualText << " is " << actual
                                       << (names.empty() ? std::string() : " (" + names + ")") << ", expected "
                                       << expectedText << " (" << expected
                                       << (named != nullptr ? std::string(": ") + named->meaning : std::string())
                                       << ")";
}

}  // namespace velt::test

#define EXPECT_VELT(actual, expected) EXPECT_PRED_FORMAT2(::velt::test::VeltCodeEquals, actual, expected)
#define ASSERT_VELT(actual, expected) ASSERT_PRED_FORMAT2(::velt::test::VeltCodeEquals, actual, expected)
