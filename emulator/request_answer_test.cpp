// Reading requests and writing answers in the packet grammar, byte by byte.
#include <gtest/gtest.h>

#include "answer.h"
#include "request.h"

namespace veltemu {
namespace {

std::string Joined(std::vector<std::string> units) {
  std::string out;
  for (const std::string& u : units) out += (out.empty() ? "" : "&") + u;
  return out;
}

Request Parse(const std::string& text) { return Request::Parse(velt::wire::PacketHeader{}, text); }

// The request of the client's worked example, with a binary value and a blob cell.
const char kExample[] =
    "_CA=2.4&_ENDIAN=0&acct=A@26B&_RS_1=t1;2;code,name;1&_1=7,x@402Cy&_EORS_1=1&_RS_2=t2;1;v;2"
    "&_BLOB_2_1=_BASE64__BLOB_2_1&_BASE64__BLOB_2_1=AQID&_2=_BLOB_2_1&_EORS_2=2"
    "&img=_BASE64_img&_BASE64_img=AQID&_RC=2&_CC=1&_TL=2:1;1:1;";

TEST(RequestTest, ReadsValuesBinaryValuesAndTables) {
  const Request r = Parse(kExample);
  EXPECT_EQ(r.Value("acct"), "A&B");
  EXPECT_EQ(r.Value("_CA"), "2.4");
  EXPECT_FALSE(r.Value("missing"));
  EXPECT_EQ(r.Binary("img"), std::string("\x01\x02\x03"));
  EXPECT_FALSE(r.Binary("acct"));
  ASSERT_EQ(r.tables().size(), 2u);
  const RequestTable& t1 = r.tables()[0];
  EXPECT_EQ(t1.cursor, "t1");
  EXPECT_EQ(t1.columnCount, 2);
  EXPECT_EQ(t1.columns, (std::vector<std::string>{"code", "name"}));
  EXPECT_EQ(t1.firstRow, 1);
  ASSERT_EQ(t1.rows.size(), 1u);
  EXPECT_EQ(t1.rows[0], (std::vector<std::string>{"7", "x,y"}));
  const RequestTable& t2 = r.tables()[1];
  EXPECT_EQ(t2.firstRow, 2);
  ASSERT_EQ(t2.rows.size(), 1u);
  EXPECT_EQ(t2.rows[0][0], "_BLOB_2_1");
}

TEST(RequestTest, TablesWithoutEndPairsEndWhereTheNextBegins) {
  const Request r = Parse("_RS_1=a;1;x;1&_1=p&_2=q&_RS_2=b;1;y;3&_3=r&_4=s");
  ASSERT_EQ(r.tables().size(), 2u);
  EXPECT_EQ(r.tables()[0].rowNumbers, (std::vector<int>{1, 2}));
  EXPECT_EQ(r.tables()[1].rowNumbers, (std::vector<int>{3, 4}));
}

TEST(RequestTest, ColumnNamesFromTheirBinaryValue) {
  const Request r = Parse("_RS_1=t;2;$_RS_FIELDS_1;1&_RS_FIELDS_1=_BASE64__RS_FIELDS_1&_BASE64__RS_FIELDS_1=YSxi&_EORS_1=0");
  ASSERT_EQ(r.tables().size(), 1u);
  EXPECT_EQ(r.tables()[0].columnText, "a,b");
  EXPECT_TRUE(r.tables()[0].rows.empty());
}

TEST(RequestTest, IntegersAreWholeNumbersOnly) {
  const Request r = Parse("a=12&b=-7&c=1x&d=&e=99999999999999999999");
  EXPECT_EQ(r.Integer("a"), 12);
  EXPECT_EQ(r.Integer("b"), -7);
  for (const char* bad : {"c", "d", "e", "z"}) EXPECT_FALSE(r.Integer(bad)) << bad;
}

TEST(AnswerTest, WritesValuesWithEscapingAndReplacement) {
  Answer a;
  a.SetValue("a=b", "x%y");
  a.SetValue("k", "1");
  a.SetValue("j", "0");
  a.SetValue("k", "2");   // replaces k=1 and moves behind j
  a.SetBinary("img", std::string("\x01\x02\x03"));
  EXPECT_EQ(Joined(a.TakeUnits()), "a@3Db=x@25y&j=0&k=2&img=_BASE64_img&_BASE64_img=AQID");
}

TEST(AnswerTest, WritesTablesWithRowNumbersAcrossTables) {
  Answer a;
  a.SetValue("acct", "A&B");
  EXPECT_EQ(a.BeginTable("t1", {"code", "name"}), 1);
  EXPECT_EQ(a.AddRow({"7", "x,y@"}), 1);
  EXPECT_EQ(a.BeginTable("t2", {"v"}), 2);
  EXPECT_EQ(a.AddRow({"z"}), 2);
  EXPECT_EQ(a.BeginTable("t3", {"w"}), 3);   // no rows
  EXPECT_EQ(Joined(a.TakeUnits()),
            "acct=A@26B&_RS_1=t1;2;code,name;1&_1=7,x@402Cy@4040&_EORS_1=1&_RS_2=t2;1;v;2&_2=z&_EORS_2=2"
            "&_RS_3=t3;1;w;3&_EORS_3=2&_RC=2&_CC=1&_TL=2:1;1:1;1:0;");
}

TEST(AnswerTest, LastRowAndItsEndPairAreOneUnit) {
  Answer a;
  a.BeginTable("t", {"c"});
  a.AddRow({"1"});
  a.AddRow({"2"});
  const std::vector<std::string> units = a.TakeUnits();
  ASSERT_EQ(units.size(), 4u);
  EXPECT_EQ(units[2], "_2=2&_EORS_1=2");
}

TEST(AnswerTest, BinaryCellsTravelBesideTheirRow) {
  Answer a;
  a.BeginTable("t", {"a", "b"});
  EXPECT_EQ(a.AddRow({"x"}, {{2, std::string("\x01\x02\x03")}}), 1);
  const std::vector<std::string> units = a.TakeUnits();
  EXPECT_EQ(units[1], "_BLOB_1_2=_BASE64__BLOB_1_2&_BASE64__BLOB_1_2=AQID&_1=x,_BLOB_1_2&_EORS_1=1");
}

TEST(AnswerTest, LongColumnNamesMoveIntoTheirBinaryValue) {
  const std::string names(2000, 'n');
  Answer a;
  a.BeginTable("t", 1, names);
  const std::string unit = a.TakeUnits()[0];
  EXPECT_EQ(unit.rfind("_RS_1=t;1;$_RS_FIELDS_1;1&_RS_FIELDS_1=_BASE64__RS_FIELDS_1&_BASE64__RS_FIELDS_1=", 0), 0u);
  const Request back = Parse(unit);
  ASSERT_EQ(back.tables().size(), 1u);
  EXPECT_EQ(back.tables()[0].columnText, names);
}

TEST(AnswerTest, RefusesWhatPassesItsLimit) {
  Answer a(64);
  a.SetValue("k", std::string(40, 'v'));
  EXPECT_FALSE(a.overflowed());
  a.SetValue("j", std::string(40, 'v'));
  EXPECT_TRUE(a.overflowed());
  EXPECT_LE(a.bytes(), 64u);
  a.BeginTable("t", {"c"});
  EXPECT_EQ(a.AddRow({"x"}), 0);
}

TEST(AnswerTest, ErrorSetsStatusAndBothValues) {
  Answer a;
  a.SetError(-42, "no way");
  EXPECT_EQ(a.status(), -42);
  EXPECT_EQ(Joined(a.TakeUnits()), "_ERRNO=-42&_ERRMSG=no way");
}

}  // namespace
}  // namespace veltemu
