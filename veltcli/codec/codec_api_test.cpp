// The codec through libveltcli.so: the exported names and aliases, the class methods, and a
// request that reads back through the answer calls.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CVELTCli.h"
#include "veltcli.h"

namespace {

std::string PacketText(VELTCLI_HANDLE h) {
  int length = 0;
  VELTCLI_GetCommLen(h, &length);
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  EXPECT_EQ(VELTCLI_GetValue(h, "", text.data(), length + 1), 0);
  return text.c_str();
}

TEST(CodecApi, RequestReadsBackThroughTheExports) {
  VELTCLI_HANDLE h = nullptr;
  ASSERT_EQ(VELTCLI_Init(&h), 0);
  ASSERT_EQ(VELTCLI_BeginWrite(h), 0);
  EXPECT_EQ(PacketText(h), "_CA=2.4&_ENDIAN=0");
  EXPECT_EQ(VELTCLI_DFSetValue(h, "acct", "A&B"), 0);
  const unsigned char bytes[] = {9, 8, 7, 6};
  EXPECT_EQ(VELTCLI_DFSetVal(h, "bin", bytes, 4), 0);
  ASSERT_EQ(VELTCLI_RsCreate(h, "t1", 2, "code,name"), 0);
  VELTCLI_RsAddRow(h);
  VELTCLI_RsSetCol(h, 1, "7");
  VELTCLI_RsSetColByName(h, "name", "x,y");
  EXPECT_EQ(VELTCLI_RsSaveRow(h), 0);
  VELTCLI_RsAddRow(h);
  EXPECT_EQ(VELTCLI_RsSetValByName(h, "name", bytes, 4), 0);
  VELTCLI_RsSaveRow(h);
  EXPECT_EQ(PacketText(h), "_CA=2.4&_ENDIAN=0&acct=A@26B&bin=_BASE64_bin&_BASE64_bin=CQgHBg@3D@3D"
                           "&_RS_1=t1;2;code,name;1&_1=7,x@402Cy&_BLOB_2_2=_BASE64__BLOB_2_2"
                           "&_BASE64__BLOB_2_2=CQgHBg@3D@3D&_2=7,_BLOB_2_2");

  char value[8];
  EXPECT_EQ(VELTCLI_DFGetValue(h, "acct", value, 7), 0);
  EXPECT_STREQ(value, "A&B");
  unsigned char* data = nullptr;
  long length = 0;
  ASSERT_EQ(VELTCLI_DFGetVal(h, "bin", &data, &length), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), length), "\x09\x08\x07\x06");

  int columns = 0;
  ASSERT_EQ(VELTCLI_RsOpen(h), 0) << "the table written here is a complete answer";
  ASSERT_EQ(VELTCLI_SQLNumResultCols(h, &columns), 0);
  EXPECT_EQ(columns, 2);
  char cell[16];
  ASSERT_EQ(VELTCLI_SQLFetch(h), 0);
  EXPECT_EQ(VELTCLI_RsGetColByName(h, "name", cell), 0);
  EXPECT_STREQ(cell, "x,y");
  ASSERT_EQ(VELTCLI_RsFetchRow(h), 0);
  ASSERT_EQ(VELTCLI_RsGetValByName(h, "name", &data, &length), 0);
  EXPECT_EQ(length, 4);
  ASSERT_EQ(VELTCLI_RsGetVal(h, 1, &data, &length), 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), length), "7");
  EXPECT_EQ(VELTCLI_SQLFetchScroll(h, 2, 0), 0);
  EXPECT_EQ(VELTCLI_RsGetCol(h, 2, cell), 0);
  EXPECT_STREQ(cell, "x,y");
  int rows = 0;
  EXPECT_EQ(VELTCLI_RsGetRowNum(h, &rows), 1) << "the open table's end pair comes with the completion";
  EXPECT_EQ(rows, -1);
  EXPECT_EQ(VELTCLI_RsGetColNum(h, &columns), 0);
  char names[32];
  EXPECT_EQ(VELTCLI_SQLGetColNames(h, names, sizeof names), 0);
  EXPECT_STREQ(names, "code,name");
  EXPECT_EQ(VELTCLI_RsGetColName(h, 2, names, sizeof names), 0);
  EXPECT_STREQ(names, "name");
  EXPECT_EQ(VELTCLI_SQLGetColName(h, 1, names, sizeof names), 0);
  EXPECT_STREQ(names, "code");
  EXPECT_EQ(VELTCLI_SQLGetCursorName(h, names, sizeof names), 0);
  EXPECT_STREQ(names, "t1");
  EXPECT_EQ(VELTCLI_RsGetTableRowNum(h, 1, &rows), 4) << "no _TL before completion";
  EXPECT_EQ(VELTCLI_SQLMoreResults(h), 1);
  EXPECT_EQ(VELTCLI_RsClose(h), 0);
  EXPECT_EQ(VELTCLI_RsOpen(h), 0);
  EXPECT_EQ(VELTCLI_RsNewTable(h, "t2", 1, "v"), 0);
  EXPECT_EQ(VELTCLI_Exit(h), 0);
}

TEST(CodecApi, FreshSessionHasNothingToContinue) {
  VELTCLI_HANDLE h = nullptr;
  ASSERT_EQ(VELTCLI_Init(&h), 0);
  EXPECT_EQ(VELTCLI_RsMore(h), 3);
  EXPECT_EQ(VELTCLI_RsOpen(h), 1);
  EXPECT_EQ(VELTCLI_RsFetchRow(h), 1) << "no table: no row";
  EXPECT_EQ(VELTCLI_RsFetchRowScroll(h, 1, 0), 101);
  char value[4];
  EXPECT_EQ(VELTCLI_GetValue(h, "x", value, 3), 2);
  EXPECT_EQ(VELTCLI_Exit(h), 0);
}

TEST(CodecApi, Convert) {
  VELTCLI_HANDLE h = nullptr;
  ASSERT_EQ(VELTCLI_Init(&h), 0);
  const unsigned char in[6] = {1, 2, 3, 4, 5, 6};
  unsigned char out[6] = {};
  EXPECT_EQ(VELTCLI_Convert(h, "#pragma pack(2) struct { short a; int b; }", 0, in, 6, 1, out, 6, 0), 0);
  const unsigned char expected[6] = {2, 1, 6, 5, 4, 3};
  EXPECT_EQ(std::string(out, out + 6), std::string(expected, expected + 6));
  EXPECT_EQ(VELTCLI_Convert(h, "struct { short a; int b; }", 0, in, 6, 1, out, 6, 0), -1)
      << "unpacked the record is 8 bytes";
  EXPECT_EQ(VELTCLI_Exit(h), 0);
}

TEST(CodecApi, ClassMethods) {
  CVELTCli cli;
  ASSERT_EQ(cli.BeginWrite(), 0);
  EXPECT_EQ(cli.SetValue("k", "v"), 0);
  EXPECT_EQ(cli.DFSetValue("k", "w"), 0);
  const unsigned char bytes[] = {0xAB};
  EXPECT_EQ(cli.SetVal("b", bytes, 1), 0);
  ASSERT_EQ(cli.RsCreate("t", 2, "a,b"), 0);
  cli.RsAddRow();
  EXPECT_EQ(cli.RsSetCol(1, "one"), 0);
  EXPECT_EQ(cli.RsSetCol("b", "two"), 0) << "the by-name overload";
  cli.RsSaveRow();
  char value[16];
  EXPECT_EQ(cli.GetValue("k", value, 15), 0);
  EXPECT_STREQ(value, "w");
  unsigned char* data = nullptr;
  long length = 0;
  EXPECT_EQ(cli.DFGetVal("b", &data, &length), 0);
  EXPECT_EQ(length, 1);
  ASSERT_EQ(cli.RsOpen(), 0);
  ASSERT_EQ(cli.SQLFetch(), 0);
  EXPECT_EQ(cli.RsGetCol("b", value), 0);
  EXPECT_STREQ(value, "two");
  EXPECT_EQ(cli.RsGetCol(1, value), 0);
  EXPECT_STREQ(value, "one");
  int n = 0;
  EXPECT_EQ(cli.RsGetColNum(&n), 0);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(cli.RsGetCursorName(value, sizeof value), 0);
  EXPECT_STREQ(value, "t");
  EXPECT_EQ(cli.RsFetchRow(), 1);
  EXPECT_EQ(cli.RsMore(), 1);
}

}  // namespace
