// The request writer: the worked example byte for byte, the pair rules, binary values, tables,
// rows and the growth cases where escaping or many tables would once have been cut.
#include "codec/request_writer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "codec/answer_reader.h"
#include "codec/codec_test_support.h"
#include "codec/rs_cursor.h"
#include "codec/table_writer.h"
#include "core/frame_state.h"
#include "support/code_matcher_test_support.h"

namespace {

using velt::test::Text;

class RequestWriter : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(velt::BeginWrite(s), 0); }
  void TearDown() override { velt::SetEmptyValuesOption(1); }
  // What `step` appended to the text.
  template <typename Step>
  std::string Appended(Step step) {
    const std::string before = Text(s);
    step();
    const std::string after = Text(s);
    EXPECT_EQ(after.compare(0, before.size(), before), 0) << "only appended: " << after;
    return after.substr(before.size());
  }
  velt::PacketSession s;
};

TEST_F(RequestWriter, WorkedExampleByteForByte) {
  EXPECT_EQ(Text(s), "_CA=2.4&_ENDIAN=0");
  EXPECT_EQ(Appended([&] { EXPECT_EQ(velt::SetValue(s, "acct", "A&B"), 0); }), "&acct=A@26B");
  EXPECT_EQ(Appended([&] { EXPECT_EQ(velt::StartTable(s, "t1", 2, "code,name", true), 0); }),
            "&_RS_1=t1;2;code,name;1");
  EXPECT_EQ(Appended([&] {
              velt::RsAddRow(s);
              velt::RsSetCol(s, 1, "7");
              velt::RsSetCol(s, 2, "x,y");
              EXPECT_EQ(velt::RsSaveRow(s), 0);
            }),
            "&_1=7,x@402Cy");
  EXPECT_EQ(Appended([&] { EXPECT_EQ(velt::StartTable(s, "t2", 1, "v", false), 0); }),
            "&_EORS_1=1&_RS_2=t2;1;v;2");
  EXPECT_EQ(Appended([&] {
              velt::RsAddRow(s);
              velt::RsSetCol(s, 1, "z");
              velt::RsSaveRow(s);
            }),
            "&_2=z");
  EXPECT_EQ(Appended([&] { EXPECT_EQ(velt::CompleteRequest(s), 0); }), "&_EORS_2=2&_RC=2&_CC=1&_TL=2:1;1:1;");
  EXPECT_EQ(s.rs.nRsCount, 0) << "completion resets the table state";
  EXPECT_EQ(velt::CompleteRequest(s), 0);
  EXPECT_EQ(Text(s), "_CA=2.4&_ENDIAN=0&acct=A@26B&_RS_1=t1;2;code,name;1&_1=7,x@402Cy&_EORS_1=1"
                     "&_RS_2=t2;1;v;2&_2=z&_EORS_2=2&_RC=2&_CC=1&_TL=2:1;1:1;")
      << "a second completion adds nothing";
}

struct PairCase {
  const char* what;
  const char* start;   // text before the call
  const char* name;
  const char* value;
  int emptyValues;
  int code;
  const char* text;    // text after the call
};

TEST_F(RequestWriter, PairRules) {
  const PairCase cases[] = {
      {"replacement moves the pair to the end", "k=1&a=2", "k", "2", 1, 0, "a=2&k=2"},
      {"a later pair", "a=1&k=1&b=2", "k", "3", 1, 0, "a=1&b=2&k=3"},
      {"the only pair", "k=1", "k", "2", 1, 0, "k=2"},
      {"an \"&\"-led pair is removed first", "k=1&k=2", "k", "3", 1, 0, "k=1&k=3"},
      {"not inside another name", "xk=1", "k", "2", 1, 0, "xk=1&k=2"},
      {"all four escapes", "", "a=b", "x%y&z@w", 1, 0, "a@3Db=x@25y@26z@40w"},
      {"names compare escaped", "a@3Db=1&c=2", "a=b", "3", 1, 0, "c=2&a@3Db=3"},
      {"bytes above 0x7F unchanged", "", "\xD6\xD0", "\xCE\xC4\n", 1, 0, "\xD6\xD0=\xCE\xC4\n"},
      {"empty value written", "", "k", "", 1, 0, "k="},
      {"empty value refused, old pair gone", "a=1&k=1", "k", "", 0, 2, "a=1"},
      {"empty name replaces the text", "a=1", "", "p=1&q=2", 1, 0, "p=1&q=2"},
  };
  for (const PairCase& c : cases) {
    SCOPED_TRACE(c.what);
    s.StoreAnswerText(c.start, std::strlen(c.start));
    velt::SetEmptyValuesOption(c.emptyValues);
    EXPECT_EQ(velt::SetValue(s, c.name, c.value), c.code);
    EXPECT_EQ(Text(s), c.text);
  }
  EXPECT_VELT(velt::SetValue(s, "k", nullptr), velt::kWriteValueSkipped);
  EXPECT_EQ(velt::SetValue(s, nullptr, "whole"), 0);
  EXPECT_EQ(Text(s), "whole");
}

TEST_F(RequestWriter, BinaryValues) {
  const unsigned char bytes[] = {1, 2, 3};
  EXPECT_EQ(Appended([&] { EXPECT_EQ(velt::StoreBinary(s, "img", bytes, 3), 0); }),
            "&img=_BASE64_img&_BASE64_img=AQID");
  EXPECT_EQ(Appended([&] { EXPECT_EQ(velt::StoreBinary(s, "two", bytes, 2), 0); }),
            "&two=_BASE64_two&_BASE64_two=AQI@3D") << "the fill is escaped like any \"=\"";
  EXPECT_EQ(Appended([&] { EXPECT_EQ(velt::StoreBinary(s, "t", reinterpret_cast<const unsigned char*>("a&b"), 0), 0); }),
            "&t=a@26b") << "length 0 stores the data as text";
  const std::string name99(99, 'n');
  const std::string name100(100, 'n');
  EXPECT_VELT(velt::StoreBinary(s, name100.c_str(), bytes, 3), velt::kWriteBinaryNameTooLong);
  EXPECT_VELT(velt::StoreBinary(s, nullptr, bytes, 3), velt::kWriteBinaryNullArgument);
  EXPECT_VELT(velt::StoreBinary(s, "x", nullptr, 3), velt::kWriteBinaryNullArgument);
  ASSERT_EQ(velt::StoreBinary(s, name99.c_str(), bytes, 3), 0);
  unsigned char* data = nullptr;
  long length = 0;
  ASSERT_EQ(velt::GetVal(s, name99.c_str(), &data, &length), 0) << "the longest name reads back";
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), length), "\x01\x02\x03");
}

TEST_F(RequestWriter, LongColumnListsTravelSeparately) {
  const std::string stays(1983, 'a');
  ASSERT_EQ(velt::StartTable(s, "t", 1, stays.c_str(), true), 0);
  EXPECT_NE(Text(s).find("&_RS_1=t;1;" + stays + ";1"), std::string::npos);

  const std::string apart(2000, 'b');
  ASSERT_EQ(velt::StartTable(s, "t", 1, apart.c_str(), true), 0);
  const std::string text = Text(s);
  EXPECT_NE(text.find("&_RS_1=t;1;$_RS_FIELDS_1;1"), std::string::npos);
  EXPECT_EQ(text.find("_RS_1=t;1;aaa"), std::string::npos) << "the second RsCreate replaced _RS_1";
  unsigned char* data = nullptr;
  long length = 0;
  ASSERT_EQ(velt::GetVal(s, "_RS_FIELDS_1", &data, &length), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), length), apart);
}

TEST_F(RequestWriter, RowsAndCells) {
  ASSERT_EQ(velt::StartTable(s, "t", 3, "a, b ,c", true), 0);
  EXPECT_STREQ(s.rs.colNames.Data(), "a,b,c") << "blanks are removed from the kept names";
  EXPECT_EQ(velt::RsSetColByName(s, "b", "x"), 0) << "slot names are trimmed";
  EXPECT_VELT(velt::RsSetColByName(s, "B", "x"), velt::kCellNoSuchColumn);
  EXPECT_VELT(velt::RsSetColByName(s, "b", nullptr), velt::kCellNullValue);
  EXPECT_VELT(velt::RsSetCol(s, 4, "x"), velt::kCellColumnOutOfRange);
  EXPECT_VELT(velt::RsSetCol(s, 0, "x"), velt::kCellColumnOutOfRange);

  velt::RsAddRow(s);
  velt::RsSetCol(s, 1, "1");
  velt::RsSetCol(s, 2, "2");
  velt::RsSetCol(s, 3, "3");
  EXPECT_EQ(Appended([&] { velt::RsSaveRow(s); }), "&_1=1,2,3");
  velt::RsAddRow(s);
  velt::RsSetCol(s, 1, "one");
  EXPECT_EQ(Appended([&] { velt::RsSaveRow(s); }), "&_2=one,2,3") << "cells not set again carry over";

  const std::string big(4000, 'x');
  const std::string under(3995, 'y');
  velt::RsAddRow(s);
  velt::RsSetCol(s, 2, big.c_str());
  EXPECT_EQ(Appended([&] { velt::RsSaveRow(s); }), "&_3=one") << "a 4000-byte cell and those after it stay out";
  velt::RsSetCol(s, 2, under.c_str());
  EXPECT_EQ(Appended([&] { velt::RsSaveRow(s); }), "&_3=one," + under) << "saved twice, written twice";

  const unsigned char blob[] = {0xFF, 0x00, 0x41};
  velt::RsAddRow(s);
  velt::RsSetCol(s, 2, "b");
  EXPECT_EQ(Appended([&] { EXPECT_EQ(velt::RsSetVal(s, 2, blob, 3), 0); }),
            "&_BLOB_4_2=_BASE64__BLOB_4_2&_BASE64__BLOB_4_2=/wBB");
  EXPECT_STREQ(s.rs.pColumns[1].pszValue, "_BLOB_4_2");
  EXPECT_EQ(velt::RsSetVal(s, 9, blob, 3), 20);
  EXPECT_EQ(velt::RsSetVal(s, 2, nullptr, 3), -1);
  EXPECT_EQ(velt::RsSetValByName(s, "nope", blob, 3), 1);
  EXPECT_EQ(velt::RsSetValByName(s, "c", reinterpret_cast<const unsigned char*>("txt"), 0), 0);
  EXPECT_STREQ(s.rs.pColumns[2].pszValue, "txt");
}

TEST_F(RequestWriter, TablesAndCompletion) {
  EXPECT_EQ(velt::CompleteRequest(s), 0);
  EXPECT_EQ(Text(s), "_CA=2.4&_ENDIAN=0") << "no rows: no _RC, _CC or _TL";

  EXPECT_VELT(velt::StartTable(s, "t", 0, "a", true), velt::kTableBadArgument);
  EXPECT_VELT(velt::StartTable(s, "t", 1, nullptr, true), velt::kTableBadArgument);
  EXPECT_VELT(velt::StartTable(s, std::string(32, 'c').c_str(), 1, "a", true), velt::kTableBadArgument);
  ASSERT_EQ(velt::StartTable(s, std::string(31, 'c').c_str(), 1, "a", true), 0);
  EXPECT_EQ(s.answerFlags & 1, 1) << "a table built here is a complete answer";
  ASSERT_EQ(velt::StartTable(s, "empty", 2, "a,b", false), 0);
  EXPECT_NE(Text(s).find("&_EORS_1=0&_RS_2=empty;2;a,b;1"), std::string::npos)
      << "a table without rows ends at its first row - 1";
  velt::RsAddRow(s);
  velt::RsSaveRow(s);
  EXPECT_EQ(velt::CompleteRequest(s), 0);
  EXPECT_NE(Text(s).find("&_1=,&_EORS_2=1&_RC=1&_CC=2&_TL=1:0;2:1;"), std::string::npos) << Text(s);
}

TEST_F(RequestWriter, RowsWithoutTable) {
  velt::RsAddRow(s);
  EXPECT_EQ(velt::RsSetCol(s, 1, "x"), 2);
  velt::RsSaveRow(s);
  EXPECT_EQ(velt::CompleteRequest(s), 0);
  EXPECT_EQ(Text(s), "_CA=2.4&_ENDIAN=0&_1=&_RC=1&_CC=0");
}

// The buffer always takes the whole escaped pair and tail, and the table list is never cut.
TEST_F(RequestWriter, GrowthNeverCuts) {
  const std::string percents(40000, '%');
  ASSERT_EQ(velt::SetValue(s, "p", percents.c_str()), 0);
  std::string value(40001, '\0');
  ASSERT_EQ(velt::GetValue(s, "p", value.data(), 40000), 0);
  EXPECT_EQ(value.c_str(), percents);

  const int tables = 120;   // far beyond what a 1000-byte list would hold
  ASSERT_EQ(velt::StartTable(s, "t", 1, "c", true), 0);
  for (int t = 1; t <= tables; ++t) {
    if (t > 1) {
      ASSERT_EQ(velt::StartTable(s, "t", 1, "c", false), 0);
    }
    for (int r = 0; r < t % 3; ++r) {
      velt::RsAddRow(s);
      velt::RsSetCol(s, 1, "@,@,@");
      velt::RsSaveRow(s);
    }
  }
  ASSERT_EQ(velt::CompleteRequest(s), 0);
  int rows = -1;
  EXPECT_EQ(velt::RsGetTableNum(s, tables, &rows, true), 0);
  EXPECT_EQ(rows, tables % 3);
  EXPECT_EQ(velt::RsGetTableNum(s, tables + 1, &rows, true), 1);
}

TEST_F(RequestWriter, BeginWriteStartsAfresh) {
  ASSERT_EQ(velt::SetValue(s, "big", std::string(50000, 'x').c_str()), 0);
  EXPECT_GT(s.packet.Capacity(), 32000);
  s.commTime = 5;
  std::strcpy(s.servicePrefix, "A.B");
  ASSERT_EQ(velt::StartTable(s, "t", 1, "c", true), 0);
  ASSERT_EQ(velt::BeginWrite(s), 0);
  EXPECT_EQ(s.packet.Capacity(), 32000);
  EXPECT_EQ(Text(s), "_CA=2.4&_ENDIAN=0");
  EXPECT_EQ(s.commTime, 0);
  EXPECT_STREQ(s.servicePrefix, "");
  EXPECT_EQ(s.rs.nRsCount, 0);
}

}  // namespace
