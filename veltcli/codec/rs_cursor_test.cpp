// The result-set cursor: walking tables and rows, cell decoding, scrolling, names and counts, and
// the multi-part rules with a scripted source of answer parts at the continue-reading seam.
#include "codec/rs_cursor.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "codec/answer_reader.h"
#include "codec/codec_test_support.h"
#include "codec/request_writer.h"
#include "codec/table_writer.h"
#include "support/code_matcher_test_support.h"

namespace {

using velt::test::Answer;
using velt::test::ScriptedParts;

std::string Cell(velt::PacketSession& s, int column) {
  std::vector<char> out(velt::RsState::kRowTextSize, '#');
  EXPECT_EQ(velt::RsGetCol(s, column, out.data()), 0);
  return out.data();
}

int RowCount(velt::PacketSession& s, int& rows) { return velt::RsGetRowNum(s, &rows); }

TEST(RsCursor, WalksATable) {
  velt::PacketSession s;
  Answer(s, "_RS_1=t;2;a,b;1&_1=x,y&_2=u,v&_EORS_1=2", true);
  ASSERT_EQ(velt::RsOpen(s), 0);
  ASSERT_EQ(velt::RsFetchRow(s), 0);
  EXPECT_EQ(Cell(s, 2), "y");
  int rows = 0;
  EXPECT_EQ(RowCount(s, rows), 0);
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(velt::RsFetchRow(s), 0);
  EXPECT_EQ(Cell(s, 1), "u");
  EXPECT_EQ(velt::RsFetchRow(s), 1);
  EXPECT_EQ(velt::RsMore(s), 1);
  char buffer[8];
  EXPECT_EQ(velt::RsGetCol(s, 3, buffer), 2);
  EXPECT_EQ(velt::RsGetCol(s, 1, nullptr), 1);
}

TEST(RsCursor, CellDecoding) {
  velt::PacketSession s;
  Answer(s, "_RS_1=t;3;a,b,c;1&_1=1,a@402Cb&_2=p@4040q,,r,extra&_3=&_EORS_1=3", true);
  ASSERT_EQ(velt::RsOpen(s), 0);
  ASSERT_EQ(velt::RsFetchRow(s), 0);
  EXPECT_EQ(Cell(s, 1), "1");
  EXPECT_EQ(Cell(s, 2), "a,b");
  EXPECT_EQ(Cell(s, 3), "") << "missing cells stay empty";
  ASSERT_EQ(velt::RsFetchRow(s), 0);
  EXPECT_EQ(Cell(s, 1), "p@q") << "packet decoding, then cell decoding";
  EXPECT_EQ(Cell(s, 2), "");
  EXPECT_EQ(Cell(s, 3), "r") << "text beyond the last column is ignored";
  ASSERT_EQ(velt::RsFetchRow(s), 0);
  EXPECT_EQ(Cell(s, 1), "");
  char byName[8];
  EXPECT_EQ(velt::RsGetColByName(s, "b", byName), 0);
  EXPECT_EQ(velt::RsGetColByName(s, "B", byName), 1);
  EXPECT_STREQ(byName, "");
  EXPECT_EQ(velt::RsGetColByName(s, "", byName), 1);
}

TEST(RsCursor, RowsOutOfOrderAndLongRows) {
  velt::PacketSession s;
  const std::string longCell(13000, 'z');
  Answer(s, "_RS_1=t;1;a;1&_2=second&_1=first&_3=" + longCell + "&_EORS_1=3", true);
  ASSERT_EQ(velt::RsOpen(s), 0);
  ASSERT_EQ(velt::RsFetchRow(s), 0);
  EXPECT_EQ(Cell(s, 1), "first");
  ASSERT_EQ(velt::RsFetchRow(s), 0) << "the search starts again from the top";
  EXPECT_EQ(Cell(s, 1), "second");
  ASSERT_EQ(velt::RsFetchRow(s), 0);
  EXPECT_EQ(Cell(s, 1), std::string(12191, 'z')) << "a row value is taken up to 12191 characters";
}

TEST(RsCursor, MultiPartAnswer) {
  velt::PacketSession s;
  ScriptedParts parts;
  s.answerSource = &parts;
  Answer(s, "_RS_1=t;2;a,b;1&_1=r1,x", false);
  parts.Add("&_2=r2,y&_EORS_1=2", false);
  parts.Add("&_RS_2=s;1;c;3&_3=z&_EORS_2=3&_TL=2:2;1:1;", true);

  ASSERT_EQ(velt::RsOpen(s), 0);
  int rows = 0;
  EXPECT_EQ(RowCount(s, rows), 1);
  EXPECT_EQ(rows, -1) << "the table's end is in a later part";
  EXPECT_VELT(velt::RsFetchRowScroll(s, 2, 0), velt::kRsScrollIncomplete);
  ASSERT_EQ(velt::RsFetchRow(s), 0);
  EXPECT_EQ(parts.pulls, 0);
  ASSERT_EQ(velt::RsFetchRow(s), 0);
  EXPECT_EQ(parts.pulls, 1);
  EXPECT_EQ(Cell(s, 1), "r2");
  EXPECT_EQ(RowCount(s, rows), 0);
  EXPECT_EQ(rows, 2) << "_EORS_1 was picked up in the second part";
  EXPECT_EQ(velt::RsFetchRow(s), 1);

  ASSERT_EQ(velt::RsMore(s), 0) << "the next descriptor is in the third part";
  EXPECT_EQ(parts.pulls, 2);
  char name[8];
  EXPECT_EQ(velt::RsGetCursorName(s, name, sizeof name), 0);
  EXPECT_STREQ(name, "s");
  ASSERT_EQ(velt::RsFetchRow(s), 0);
  EXPECT_EQ(Cell(s, 1), "z");
  EXPECT_EQ(velt::RsFetchRow(s), 1);
  EXPECT_EQ(velt::RsMore(s), 1);
  EXPECT_EQ(velt::RsFetchRowScroll(s, 2, 0), 0) << "complete now: rows of the part in hand";
  EXPECT_EQ(parts.pulls, 2);
}

TEST(RsCursor, PullFailures) {
  velt::PacketSession fresh;   // incomplete, nothing to continue
  EXPECT_VELT(velt::RsOpen(fresh), velt::kRsOpenFailed);
  EXPECT_VELT(velt::RsMore(fresh), velt::kRsMorePartFailed);
  int columns = -1;
  EXPECT_VELT(velt::SQLNumResultCols(fresh, &columns), velt::kRsNumColsFailed);
  EXPECT_EQ(columns, 0);

  velt::PacketSession s;
  ScriptedParts parts(2033);
  s.answerSource = &parts;
  Answer(s, "_RS_1=t;1;a;1&_1=x", false);
  ASSERT_EQ(velt::RsOpen(s), 0);
  ASSERT_EQ(velt::RsFetchRow(s), 0);
  EXPECT_VELT(velt::RsFetchRow(s), velt::kRsFetchPartFailed);
  EXPECT_VELT(velt::RsClose(s), velt::kRsClosePartFailed);
  EXPECT_VELT(velt::RsMore(s), velt::kRsMorePartFailed);
}

TEST(RsCursor, CloseReadsToTheEnd) {
  velt::PacketSession s;
  ScriptedParts parts;
  s.answerSource = &parts;
  Answer(s, "_RS_1=t;1;a;1&_1=x&_EORS_1=1", true);
  ASSERT_EQ(velt::RsOpen(s), 0);
  ASSERT_EQ(velt::RsFetchRow(s), 0);
  EXPECT_EQ(velt::RsClose(s), 0);
  EXPECT_EQ(parts.pulls, 0) << "a fully read table costs no traffic";

  Answer(s, "_RS_1=t;1;a;1&_1=x", false);
  parts.Add("&_2=y", false);
  parts.Add("&_3=z&_EORS_1=3", true);
  ASSERT_EQ(velt::RsOpen(s), 0);
  EXPECT_EQ(velt::RsClose(s), 0);
  EXPECT_EQ(parts.pulls, 2);
  EXPECT_EQ(s.answerFlags & 1, 1);
}

struct ScrollCase {
  int fromRow;   // rows fetched forward first
  int orientation;
  int offset;
  int code;
  const char* cell;   // cell 1 afterwards, for code 0
};

TEST(RsCursor, Scrolling) {
  const ScrollCase cases[] = {
      {0, 5, 1, 0, "r1"}, {0, 5, 0, 1, nullptr}, {0, 7, 0, 2, nullptr}, {0, 0, 0, 2, nullptr},
      {0, 5, 3, 0, "r3"}, {0, 5, 4, 1, nullptr}, {2, 1, 0, 0, "r3"},     {3, 1, 0, 1, nullptr},
      {0, 2, 0, 0, "r1"}, {0, 3, 0, 0, "r3"},    {1, 4, 0, 1, nullptr}, {3, 4, 0, 0, "r2"},
      {1, 6, 2, 0, "r3"}, {1, 6, -1, 1, nullptr}, {3, 6, -2, 0, "r1"},  {1, 6, 3, 1, nullptr},
  };
  for (const ScrollCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "from " << c.fromRow << " orientation " << c.orientation << " offset "
                                    << c.offset);
    velt::PacketSession s;
    Answer(s, "_RS_1=t;1;a;1&_1=r1&_2=r2&_3=r3&_EORS_1=3", true);
    ASSERT_EQ(velt::RsOpen(s), 0);
    for (int i = 0; i < c.fromRow; ++i) ASSERT_EQ(velt::RsFetchRow(s), 0);
    EXPECT_EQ(velt::RsFetchRowScroll(s, c.orientation, c.offset), c.code);
    if (c.cell != nullptr) {
      EXPECT_EQ(Cell(s, 1), c.cell);
    }
  }
  velt::PacketSession gap;
  Answer(gap, "_RS_1=t;1;a;1&_1=r1&_3=r3&_EORS_1=3", true);
  ASSERT_EQ(velt::RsOpen(gap), 0);
  EXPECT_EQ(velt::RsFetchRowScroll(gap, 5, 2), 5) << "a row not in the part in hand";
  EXPECT_EQ(gap.rs.nCurRow, 2);
}

TEST(RsCursor, BinaryCells) {
  velt::PacketSession s;
  const std::string longCell(5000, 'L');
  Answer(s, "_RS_1=t;3;a,b,c;1&_BLOB_3_2=_BASE64__BLOB_3_2&_BASE64__BLOB_3_2=3q0A7w@3D@3D&_1=_BLOB_x_2,_BLOB_3_2," +
                longCell + "&_EORS_1=1",
         true);
  ASSERT_EQ(velt::RsOpen(s), 0);
  ASSERT_EQ(velt::RsFetchRow(s), 0);
  unsigned char* data = nullptr;
  long length = 0;
  ASSERT_EQ(velt::RsGetVal(s, 2, &data, &length), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), length), std::string("\xDE\xAD\x00\xEF", 4));
  ASSERT_EQ(velt::RsGetVal(s, 1, &data, &length), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), length), "_BLOB_x_2");
  ASSERT_EQ(velt::RsGetValByName(s, "c", &data, &length), 0);
  EXPECT_EQ(length, 5000) << "a cell longer than 4000 bytes comes back whole";
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), length), longCell);
  EXPECT_EQ(velt::RsGetValByName(s, "zz", &data, &length), 1);
  EXPECT_EQ(data, nullptr);
  EXPECT_EQ(velt::RsGetVal(s, 4, &data, &length), 2);
  EXPECT_EQ(velt::RsGetVal(s, 1, nullptr, &length), -1);
}

TEST(RsCursor, ColumnNamesAndCounts) {
  velt::PacketSession s;
  Answer(s, "_RS_1=" + std::string(40, 'N') + "; 2 ; a b ,\tcc\t;1&_TL=2:1;1:3;5&_EORS_1=0", true);
  ASSERT_EQ(velt::RsOpen(s), 0);
  char name[16];
  std::fill(std::begin(name), std::end(name), '#');
  EXPECT_EQ(velt::RsGetColName(s, 1, name, sizeof name, true), 0);
  EXPECT_STREQ(name, "a b");
  EXPECT_EQ(velt::RsGetColName(s, 1, name, sizeof name, false), 0);
  EXPECT_STREQ(name, " a b ");
  std::fill(std::begin(name), std::end(name), '#');
  EXPECT_EQ(velt::RsGetColName(s, 2, name, 2, true), 100);
  EXPECT_EQ(std::string(name, 3), "cc#") << "len bytes, no terminator, nothing past them";
  EXPECT_EQ(velt::RsGetColName(s, 3, name, sizeof name, true), 1);
  EXPECT_EQ(velt::RsGetColName(s, 0, name, sizeof name, true), 1);
  char names[16];
  EXPECT_EQ(velt::RsGetColNames(s, names, sizeof names), 0);
  EXPECT_STREQ(names, " a b ,\tcc\t");
  EXPECT_EQ(velt::RsGetColNames(s, names, 10), -1);
  EXPECT_STREQ(names, "");

  int n = -1;
  EXPECT_EQ(velt::RsGetColNum(s, &n), 0);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(velt::RsGetRowNum(s, &n), 1) << "a last row of 0 counts as unknown";
  EXPECT_EQ(velt::RsGetTableNum(s, 2, &n, true), 0);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(velt::RsGetTableNum(s, 1, &n, false), 0);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(velt::RsGetTableNum(s, 3, &n, true), 3) << "an entry without the row count";
  EXPECT_EQ(velt::RsGetTableNum(s, 4, &n, true), 1);
  EXPECT_EQ(velt::RsGetTableNum(s, 0, &n, true), 1);
  Answer(s, "x=1", true);
  EXPECT_EQ(velt::RsGetTableNum(s, 1, &n, true), 4);
  EXPECT_EQ(n, 0);

  char cursor[40];
  EXPECT_EQ(velt::RsGetCursorName(s, cursor, sizeof cursor), 0);
  EXPECT_EQ(std::string(cursor), std::string(32, 'N')) << "a received name is kept to 32 characters";
  EXPECT_EQ(velt::RsGetCursorName(s, cursor, 32), 100);
}

TEST(RsCursor, DescriptorsOfEveryLength) {
  velt::PacketSession s;
  const std::string names = "c1," + std::string(3000, 'x');
  Answer(s, "_RS_1=t;2;" + names + ";1&_1=a,b&_EORS_1=1", true);
  ASSERT_EQ(velt::RsOpen(s), 0) << "a descriptor longer than 2048 characters still opens";
  std::string all(4000, '\0');
  EXPECT_EQ(velt::RsGetColNames(s, all.data(), 4000), 0);
  EXPECT_EQ(all.c_str(), names);

  Answer(s, "_RS_1=t;1;a;b;1&_1=v&_EORS_1=1", true);
  ASSERT_EQ(velt::RsOpen(s), 0);
  EXPECT_STREQ(s.rs.colNames.Data(), "a;b") << "the first row is the last field";
  EXPECT_EQ(s.rs.nFirstRow, 1);

  Answer(s, "_RS_1=t;99999;a;1", true);
  velt::ResetTableState(s);
  EXPECT_EQ(velt::RsMore(s), 7) << "more columns than a row can carry";
  Answer(s, "_RS_1=t;1;$_RS_FIELDS_1;1", true);
  velt::ResetTableState(s);
  EXPECT_EQ(velt::RsMore(s), 23) << "separate names announced but absent: 10 + 13";
}

// A request built with the writer reads back through the answer calls.
TEST(RsCursor, RequestReadsBack) {
  velt::PacketSession s;
  ASSERT_EQ(velt::BeginWrite(s), 0);
  ASSERT_EQ(velt::SetValue(s, "acct", "A&B=%@"), 0);
  const std::string wide = "id," + std::string(2100, 'w');
  ASSERT_EQ(velt::StartTable(s, "first", 2, wide.c_str(), true), 0);
  const char* cells[][2] = {{"1", "a,b"}, {"2", "@@,,"}, {"3", ""}};
  for (const auto& row : cells) {
    velt::RsAddRow(s);
    velt::RsSetCol(s, 1, row[0]);
    velt::RsSetCol(s, 2, row[1]);
    ASSERT_EQ(velt::RsSaveRow(s), 0);
  }
  ASSERT_EQ(velt::StartTable(s, "second", 1, "v", false), 0);
  velt::RsAddRow(s);
  velt::RsSetCol(s, 1, "last");
  velt::RsSaveRow(s);
  ASSERT_EQ(velt::CompleteRequest(s), 0);

  char value[16];
  ASSERT_EQ(velt::GetValue(s, "acct", value, 15), 0);
  EXPECT_STREQ(value, "A&B=%@");
  ASSERT_EQ(velt::RsOpen(s), 0);
  char cursor[8];
  velt::RsGetCursorName(s, cursor, sizeof cursor);
  EXPECT_STREQ(cursor, "first");
  for (const auto& row : cells) {
    ASSERT_EQ(velt::RsFetchRow(s), 0);
    EXPECT_EQ(Cell(s, 1), row[0]);
    EXPECT_EQ(Cell(s, 2), row[1]);
  }
  EXPECT_EQ(velt::RsFetchRow(s), 1);
  ASSERT_EQ(velt::RsMore(s), 0);
  ASSERT_EQ(velt::RsFetchRow(s), 0);
  EXPECT_EQ(Cell(s, 1), "last");
  EXPECT_EQ(velt::RsMore(s), 1);
  int n = 0;
  ASSERT_EQ(velt::RsGetTableNum(s, 1, &n, true), 0);
  EXPECT_EQ(n, 3);
}

}  // namespace
