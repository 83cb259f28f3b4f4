// The code tables of docs/veltcli.md against the named-code headers: every code a table lists for
// a function has a name with that number and doc row, and every named code appears in its rows.
// Plus the matcher's failure message.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "support/code_matcher_test_support.h"

namespace {

using velt::test::NamedCode;
using velt::test::NamedCodes;

struct Span {
  int first, last;
};

// Numbers the library passes through from the queue library (rimqapi.h) and the plug-in
// interface (veltplugin.h): named there, not here.
bool IsOutsideCode(int n) { return n >= 1700 && n < 3000; }

std::string Trim(const std::string& s) {
  const std::size_t a = s.find_first_not_of(" \t");
  if (a == std::string::npos) return "";
  return s.substr(a, s.find_last_not_of(" \t") - a + 1);
}

std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::stringstream in(line.substr(1));
  std::string cell;
  while (std::getline(in, cell, '|')) cells.push_back(Trim(cell));
  if (!cells.empty() && cells.back().empty()) cells.pop_back();
  return cells;
}

bool ParseNumber(const std::string& text, int& n) {
  std::size_t used = 0;
  if (text.empty() || (text[0] != '-' && (text[0] < '0' || text[0] > '9'))) return false;
  try {
    n = std::stoi(text, &used);
  } catch (const std::exception&) {
    return false;
  }
  return used == text.size();
}

// "12", "-3" or a range "21–27" (en dash); trailing "," or ":" ignored.
bool ParseCode(std::string token, Span& span) {
  while (!token.empty() && (token.back() == ',' || token.back() == ':')) token.pop_back();
  const std::string dash = "\xE2\x80\x93";
  const std::size_t at = token.find(dash);
  if (at == std::string::npos) {
    if (!ParseNumber(token, span.first)) return false;
    span.last = span.first;
    return true;
  }
  return ParseNumber(token.substr(0, at), span.first) && ParseNumber(token.substr(at + dash.size()), span.last);
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::stringstream in(text);
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

// A "code" column: every token that is a code.
std::vector<Span> AllCodes(const std::string& cell) {
  std::vector<Span> codes;
  Span span{};
  for (const std::string& word : Words(cell))
    if (ParseCode(word, span)) codes.push_back(span);
  return codes;
}

// A "codes besides 0" column: "1 no such table; 14, 16 no memory; else as ...": the codes that
// lead each ";"-separated part.
std::vector<Span> LeadingCodes(const std::string& cell) {
  std::vector<Span> codes;
  std::stringstream parts(cell);
  std::string part;
  while (std::getline(parts, part, ';')) {
    Span span{};
    for (const std::string& word : Words(part)) {
      if (!ParseCode(word, span)) break;
      codes.push_back(span);
      if (word.back() != ',') break;
    }
  }
  return codes;
}

// First `name` in backticks; "" when there is none.
std::string FirstQuotedName(const std::string& cell) {
  const std::size_t a = cell.find('`');
  const std::size_t b = a == std::string::npos ? a : cell.find('`', a + 1);
  return b == std::string::npos ? "" : cell.substr(a + 1, b - a - 1);
}

struct DocRow {
  std::string key;
  std::vector<Span> codes;
  int line;
  bool mustBeKnown;   // a table of one function family's codes, not the summary table
};

std::vector<DocRow> ReadCodeTables(const std::string& path) {
  std::ifstream in(path);
  EXPECT_TRUE(in) << path;
  std::vector<DocRow> rows;
  std::string line, heading;
  std::vector<std::string> header;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.rfind("## ", 0) == 0) heading = Trim(line.substr(3));
    if (line.empty() || line[0] != '|') {
      header.clear();
      continue;
    }
    const std::vector<std::string> cells = Cells(line);
    if (header.empty()) {
      header = cells;
      continue;
    }
    if (cells.empty() || cells[0].rfind("---", 0) == 0) continue;
    if (header == std::vector<std::string>{"function", "codes besides 0"} && cells.size() == 2) {
      rows.push_back({FirstQuotedName(cells[0]), LeadingCodes(cells[1]), number, true});
    } else if (header == std::vector<std::string>{"code", "meaning"} && cells.size() == 2) {
      rows.push_back({heading, AllCodes(cells[0]), number, true});
    } else if (header == std::vector<std::string>{"code", "function", "meaning"} && cells.size() == 3) {
      const std::string key = FirstQuotedName(cells[1]);
      if (!key.empty()) rows.push_back({key, AllCodes(cells[0]), number, false});
    }
  }
  return rows;
}

TEST(CodeTables, DocsAndHeadersAgree) {
  const std::vector<DocRow> rows = ReadCodeTables(std::string(VELT_SOURCE_DIR) + "/docs/veltcli.md");
  ASSERT_GT(rows.size(), 20u) << "the code tables were not found";

  std::map<std::string, std::map<int, const NamedCode*>> named;   // doc row -> number -> code
  for (const NamedCode& code : NamedCodes())
    for (const std::string& row : velt::test::RowsOf(code)) named[row][code.number] = &code;

  std::map<std::string, std::vector<Span>> documented;
  for (const DocRow& row : rows) {
    const auto known = named.find(row.key);
    if (known == named.end() && !row.mustBeKnown) continue;   // a summary row of another family
    for (const Span& span : row.codes) {
      documented[row.key].push_back(span);
      const std::set<int> ends{span.first, span.last};
      for (const int n : ends) {
        if (IsOutsideCode(n)) continue;
        EXPECT_TRUE(known != named.end() && known->second.count(n) != 0)
            << "docs/veltcli.md:" << row.line << " lists " << n << " for " << row.key
            << ", which no header names for that row";
      }
    }
  }
  for (const auto& [key, codes] : named) {
    const auto spans = documented.find(key);
    ASSERT_TRUE(spans != documented.end()) << "no code table of docs/veltcli.md has the row " << key << " ("
                                       << codes.begin()->second->header << ")";
    for (const auto& [number, code] : codes) {
      bool listed = false;
      for (const Span& span : spans->second) listed = listed || (number >= span.first && number <= span.last);
      EXPECT_TRUE(listed) << code->header << ": " << code->name << " (" << number
                          << ") is not in the docs' codes of " << key;
    }
  }
}

TEST(CodeTables, NamesAreUniqueAndEveryHeaderIsThere) {
  std::set<std::string> names, headers;
  for (const NamedCode& code : NamedCodes()) {
    EXPECT_TRUE(names.insert(code.name).second) << code.name;
    headers.insert(code.header);
  }
  EXPECT_EQ(headers.size(), 4u);
}

TEST(CodeMatcher, FailureNamesBothSides) {
  EXPECT_VELT(velt::kRsNoMoreRows, velt::kRsNoMoreRows);
  EXPECT_VELT(1, velt::kRsScrollOutside);
  // 2 where RsFetchRow's "no further row" was expected: the name is RsFetchRow's, not the scroll's.
  EXPECT_NONFATAL_FAILURE(EXPECT_VELT(2, velt::kRsNoMoreRows),
                          "2 is 2 (kRsFetchPartFailed), expected velt::kRsNoMoreRows (1: no further row)");
  EXPECT_NONFATAL_FAILURE(EXPECT_VELT(0, velt::kExchangeBadChecksum), "0 is 0 (success), expected");
  EXPECT_NONFATAL_FAILURE(EXPECT_VELT(77, velt::kWriteNoMemory), "77 is 77, expected velt::kWriteNoMemory (1:");
}

}  // namespace
