// Repeating groups of the store: header and rows, positions, binary cells, sub-objects, extraction.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#include "rgcomp/rpg_comp_pack.h"

namespace {

using namespace velt;

class GroupStore : public ::testing::Test {
 protected:
  std::string Write(const char* name) {
    std::string text;
    EXPECT_EQ(store.RGWrite(name, text), kRpgOk) << name;
    return text;
  }
  int Open(const char* name, const std::string& text) {
    return store.RGOpen(name, text.data(), static_cast<long>(text.size()));
  }
  // Cell text of the current row, or "<code>".
  std::string Col(int column) {
    char buffer[256];
    const int rc = store.RGGetCol(column, buffer, sizeof buffer);
    return rc == kRpgOk ? std::string(buffer) : "<" + std::to_string(rc) + ">";
  }
  std::string ColByName(const char* column) {
    char buffer[256];
    const int rc = store.RGGetColByName(column, buffer, sizeof buffer);
    return rc == kRpgOk ? std::string(buffer) : "<" + std::to_string(rc) + ">";
  }
  std::string Value(int row, const char* column) {
    char buffer[256];
    const int rc = store.RGGetValue(row, column, buffer, sizeof buffer);
    return rc == kRpgOk ? std::string(buffer) : "<" + std::to_string(rc) + ">";
  }
  std::string CurrentGroup() const {
    return store.CurrentGroup() != nullptr ? store.CurrentGroup()->Name() : "<none>";
  }

  RpgCompPack store;
};

TEST_F(GroupStore, CreateSplitsColumnNamesAtEveryComma) {
  const std::string longName(300, 'n');
  const struct {
    std::string names;
    std::string written;
    int distinct;
  } cases[] = {
      {"a,b", "[[\"a\",\"b\"]]", 2},
      {"", "[[\"\"]]", 1},
      {"a,,b", "[[\"a\",\"\",\"b\"]]", 3},
      {" a , b,", "[[\" a \",\" b\",\"\"]]", 3},
      {"a,b,a", "[[\"a\",\"b\",\"a\"]]", 2},
      {longName, "[[\"" + longName.substr(0, 255) + "\"]]", 1},
  };
  for (const auto& c : cases) {
    RpgCompPack fresh;
    ASSERT_EQ(fresh.RGCreate("g", c.names.c_str()), kRpgOk) << c.names;
    std::string text;
    ASSERT_EQ(fresh.RGWrite("g", text), kRpgOk);
    EXPECT_EQ(text, "J1.0" + c.written + "\n") << c.names;
    int count = -1;
    EXPECT_EQ(fresh.RGGetColNum(&count), kRpgOk);
    EXPECT_EQ(count, c.distinct) << c.names;
    EXPECT_EQ(fresh.RGGetRowNum(&count), kRpgOk);
    EXPECT_EQ(count, 0);
  }
  ASSERT_EQ(store.RGCreate("g", "a"), kRpgOk);
  EXPECT_EQ(store.RGCreate("g", "b"), kRGExists);
  EXPECT_STREQ(store.LastError(), RpgCompMessage(kRGExists));
  EXPECT_EQ(store.RGCreate(nullptr, "a"), kRpgInvalid);
  EXPECT_EQ(store.RGCreate("h", nullptr), kRpgInvalid);
}

TEST_F(GroupStore, CellsNeedADataRowAndRowsAreFilledWithNulls) {
  ASSERT_EQ(store.RGCreate("g", "a,b"), kRpgOk);
  EXPECT_EQ(store.RGSetCol(0, "x"), kRpgNotDataRow);
  EXPECT_EQ(store.RGSetColByName("a", "x"), kRpgNotDataRow);
  const unsigned char byte = 1;
  EXPECT_EQ(store.RGSetVal(0, &byte, 1), kRpgNotDataRow);
  EXPECT_EQ(store.RGSetValByName("a", &byte, 1), kRpgNotDataRow);
  ASSERT_EQ(store.RGAddRow(), kRpgOk);
  ASSERT_EQ(store.RGAddRow(), kRpgOk);
  ASSERT_EQ(store.RGSetColByName("b", "y"), kRpgOk);
  EXPECT_EQ(store.RGSetColByName("c", "z"), kRpgInvalid);
  EXPECT_EQ(store.RGSetCol(-1, "z"), kRpgInvalid);
  EXPECT_EQ(store.RGSetCol(0, nullptr), kRpgInvalid);
  EXPECT_EQ(Write("g"), "J1.0[[\"a\",\"b\"],null,[null,\"y\"]]\n");
  ASSERT_EQ(store.RGSetCol(3, "w"), kRpgOk);   // past the header: the row grows
  EXPECT_EQ(Write("g"), "J1.0[[\"a\",\"b\"],null,[null,\"y\",null,\"w\"]]\n");

  int rows = 0;
  EXPECT_EQ(store.RGGetRowNum(&rows), kRpgOk);
  EXPECT_EQ(rows, 2);
  // Cells never written read as empty text, inside the header's width or the row's.
  EXPECT_EQ(Col(0), "");
  EXPECT_EQ(Col(3), "w");
  EXPECT_EQ(Col(4), "<-1>");
  EXPECT_EQ(Value(1, "b"), "");
  EXPECT_EQ(Value(2, "b"), "y");
  EXPECT_EQ(Value(3, "b"), "<-1>");
  EXPECT_EQ(Value(0, "b"), "<-1>");
  EXPECT_EQ(Value(1, "c"), "<-1>");
  EXPECT_EQ(store.CurrentGroup()->currentRow, 2);   // RGGetValue leaves the current row
  EXPECT_EQ(store.RGSetCurrRowIndex(0), kRpgOk);
  EXPECT_EQ(Col(1), "b");                           // row 0 is the header
  EXPECT_EQ(store.RGSetCurrRowIndex(-4), kRpgOk);
  EXPECT_EQ(Col(0), "<-1>");
  EXPECT_EQ(store.RGSetCol(0, "x"), kRpgNotDataRow);
}

TEST_F(GroupStore, WritesBeyondTheExtensionBoundsAreRefused) {
  ASSERT_EQ(store.RGCreate("g", "a"), kRpgOk);
  ASSERT_EQ(store.RGAddRow(), kRpgOk);
  EXPECT_EQ(store.RGSetCol(RGObject::kMaxColumn + 1, "x"), kRpgInvalid);
  EXPECT_EQ(store.RGSetCol(INT_MAX, "x"), kRpgInvalid);
  ASSERT_EQ(store.RGSetCol(RGObject::kMaxColumn, "x"), kRpgOk);
  ASSERT_EQ(store.RGSetCol(RGObject::kMaxColumn, "y"), kRpgOk);   // within the row: no extension

  ASSERT_EQ(store.RGSetCurrRowIndex(1 + RGObject::kMaxRowsAdded + 1), kRpgOk);
  EXPECT_EQ(store.RGSetCol(0, "x"), kRpgInvalid);
  ASSERT_EQ(store.RGSetCurrRowIndex(1 + RGObject::kMaxRowsAdded), kRpgOk);
  ASSERT_EQ(store.RGSetCol(0, "x"), kRpgOk);
  int rows = 0;
  ASSERT_EQ(store.RGGetRowNum(&rows), kRpgOk);
  EXPECT_EQ(rows, 1 + RGObject::kMaxRowsAdded);

  ASSERT_EQ(store.RGSetCurrRowIndex(INT_MAX), kRpgOk);
  EXPECT_EQ(store.RGAddRow(), kRpgInvalid);
  EXPECT_EQ(store.RGSetCol(0, "x"), kRpgInvalid);
}

TEST_F(GroupStore, CurrentGroupAfterDestroyCloseSetCurrAndOpen) {
  ASSERT_EQ(store.RGCreate("a", "x"), kRpgOk);
  ASSERT_EQ(store.RGAddRow(), kRpgOk);
  ASSERT_EQ(store.RGCreate("b", "x"), kRpgOk);
  EXPECT_EQ(store.RGSetCurr("a"), kRpgOk);
  EXPECT_EQ(store.CurrentGroup()->currentRow, 1);   // kept by RGSetCurr
  ASSERT_EQ(store.RGSelect("b"), kRpgOk);
  ASSERT_EQ(store.RGSelect("a"), kRpgOk);
  EXPECT_EQ(store.CurrentGroup()->currentRow, 0);   // slot 28 rewinds
  EXPECT_EQ(store.RGSetCurr("zz"), kRGNotFound);
  EXPECT_STREQ(store.LastError(), RpgCompMessage(kRGNotFound));
  EXPECT_EQ(CurrentGroup(), "a");

  EXPECT_EQ(store.RGDestroy("b"), kRpgOk);
  EXPECT_EQ(CurrentGroup(), "a");
  EXPECT_EQ(store.RGClose("b"), kRGNotFound);
  EXPECT_EQ(store.RGClose(nullptr), kRpgOk);
  EXPECT_EQ(CurrentGroup(), "<none>");
  EXPECT_EQ(store.RGDestroy(nullptr), kRpgInvalid);
  EXPECT_EQ(store.RGClose(nullptr), kRpgInvalid);

  // Every row and cell operation refuses without a current group.
  char buffer[8];
  int n = 0;
  unsigned char* data = nullptr;
  long length = 0;
  const unsigned char byte = 1;
  for (int rc : {store.RGAddRow(), store.RGSetCol(0, "v"), store.RGSetColByName("x", "v"),
                 store.RGSetVal(0, &byte, 1), store.RGSetValByName("x", &byte, 1),
                 store.RGSetSubCBRGValue(0, 0), store.RGSetSubCBRGValueByName("x", 1),
                 store.RGGetValue(1, "x", buffer, 8), store.RGGetColVal(0, &data, &length),
                 store.RGGetVal(1, "x", &data, &length), store.RGGetColNames(buffer, 8),
                 store.RGGetColName(0, buffer, 8), store.RGGetRowNum(&n), store.RGGetColNum(&n),
                 store.RGFetchRow(), store.RGGetCol(0, buffer, 8), store.RGGetColByName("x", buffer, 8),
                 store.RGGetValByName("x", &data, &length), store.RGGetSubCBRGValueByName("x", 0),
                 store.RGGetSubCBRGValue(1, 0), store.RGSetCurrRowIndex(1)}) {
    EXPECT_EQ(rc, kRpgInvalid);
  }
  EXPECT_EQ(store.NoOperation30(), kRpgOk);

  // RGOpen of a name in the store refuses (an answer's group left over from earlier).
  ASSERT_EQ(store.RGCreate("c", "x"), kRpgOk);
  EXPECT_EQ(Open("c", "J1.0[[\"x\"]]\n"), kRGExists);
  ASSERT_EQ(Open("d", "J1.0[[\"x\"]]\n"), kRpgOk);
  EXPECT_EQ(CurrentGroup(), "d");
}

TEST_F(GroupStore, OpenReadsRowsAndFetchWalksThem) {
  ASSERT_EQ(Open("g", "J1.0[[\"a\",\"b\"],[\"1\",\"2\"],[\"3\",\"4\"]]\n"), kRpgOk);
  EXPECT_EQ(store.CurrentGroup()->currentRow, 0);
  EXPECT_EQ(store.RGFetchRow(), kRpgOk);
  EXPECT_EQ(ColByName("b"), "2");
  EXPECT_EQ(store.RGFetchRow(), kRpgOk);
  EXPECT_EQ(Col(0), "3");
  EXPECT_EQ(store.RGFetchRow(), kRpgInvalid);
  EXPECT_EQ(Col(0), "3");

  // Rows added to an opened group are not fetched: the row count is the one at open.
  ASSERT_EQ(store.RGAddRow(), kRpgOk);
  ASSERT_EQ(store.RGSetCol(0, "5"), kRpgOk);
  ASSERT_EQ(store.RGSetCurrRowIndex(2), kRpgOk);
  EXPECT_EQ(store.RGFetchRow(), kRpgInvalid);

  // A created group fetches the rows it has now.
  ASSERT_EQ(store.RGCreate("c", "a"), kRpgOk);
  EXPECT_EQ(store.RGFetchRow(), kRpgInvalid);
  ASSERT_EQ(store.RGAddRow(), kRpgOk);
  ASSERT_EQ(store.RGSetCol(0, "r1"), kRpgOk);
  ASSERT_EQ(store.RGAddRow(), kRpgOk);
  ASSERT_EQ(store.RGSetCol(0, "r2"), kRpgOk);
  ASSERT_EQ(store.RGSetCurrRowIndex(0), kRpgOk);
  EXPECT_EQ(store.RGFetchRow(), kRpgOk);
  EXPECT_EQ(Col(0), "r1");
  EXPECT_EQ(store.RGFetchRow(), kRpgOk);
  EXPECT_EQ(store.RGFetchRow(), kRpgInvalid);
}

TEST_F(GroupStore, OpenRefusesShortUnmarkedUnparsableAndWrongShapedTexts) {
  EXPECT_EQ(store.RGOpen(nullptr, "J1.0[]", 6), kRpgInvalid);
  EXPECT_EQ(store.RGOpen("g", nullptr, 6), kRpgInvalid);
  EXPECT_EQ(Open("g", "J1.0"), kRpgInvalid);
  EXPECT_EQ(Open("g", "[[\"a\"]]\n"), kRpgNotDataRow);
  for (const std::string bad : {"J1.0[[\"a\"]", "J1.0\n", "J1.0null\n", "J1.0{\"a\":1}\n", "J1.0[]\n",
                                "J1.0[\"a\"]\n", "J1.0[[1]]\n", "J1.0[[\"a\"],\"row\"]\n", "J1.0[[\"a\"],7]\n"}) {
    EXPECT_EQ(Open("g", bad), kRGParseFailed) << bad;
    EXPECT_STREQ(store.LastError(), RpgCompMessage(kRGParseFailed));
  }
  EXPECT_EQ(CurrentGroup(), "<none>");   // no group is left behind
  ASSERT_EQ(Open("g", "J1.0[[\"a\"],null,[\"x\"]]\n"), kRpgOk);
  int rows = 0;
  EXPECT_EQ(store.RGGetRowNum(&rows), kRpgOk);
  EXPECT_EQ(rows, 2);   // null rows count
}

TEST_F(GroupStore, RepeatedHeaderNamesSetAtTheFirstPositionAndIndexTheLast) {
  ASSERT_EQ(Open("g", "J1.0[[\"a\",\"b\",\"a\"],[\"1\",\"2\",\"3\"]]\n"), kRpgOk);
  int columns = 0;
  EXPECT_EQ(store.RGGetColNum(&columns), kRpgOk);
  EXPECT_EQ(columns, 2);
  ASSERT_EQ(store.RGFetchRow(), kRpgOk);
  EXPECT_EQ(ColByName("a"), "3");
  EXPECT_EQ(Value(1, "a"), "3");
  ASSERT_EQ(store.RGSetColByName("a", "first"), kRpgOk);
  EXPECT_EQ(Col(0), "first");
  EXPECT_EQ(ColByName("a"), "3");
  const unsigned char byte = 'B';
  ASSERT_EQ(store.RGSetValByName("a", &byte, 1), kRpgOk);
  EXPECT_EQ(Col(0), "Qg==");
  EXPECT_EQ(Write("g"), "J1.0[[\"a\",\"b\",\"a\"],[\"Qg==\",\"2\",\"3\"]]\n");
}

TEST_F(GroupStore, ColumnNamesAndNamesAreBoundedCopies) {
  ASSERT_EQ(store.RGCreate("g", "\xD6\xA4\xC8\xAF,b"), kRpgOk);
  char buffer[8];
  std::memset(buffer, '#', sizeof buffer);
  ASSERT_EQ(store.RGGetColNames(buffer, 8), kRpgOk);
  EXPECT_EQ(std::string(buffer, 8), std::string("\xD6\xA4\xC8\xAF,b\0#", 8));
  std::memset(buffer, '#', sizeof buffer);
  ASSERT_EQ(store.RGGetColNames(buffer, 6), kRpgOk);
  EXPECT_EQ(std::string(buffer, 8), "\xD6\xA4\xC8\xAF,b##");
  ASSERT_EQ(store.RGGetColName(1, buffer, 8), kRpgOk);
  EXPECT_STREQ(buffer, "b");
  EXPECT_EQ(store.RGGetColName(2, buffer, 8), kRpgInvalid);
  EXPECT_EQ(store.RGGetColName(-1, buffer, 8), kRpgInvalid);
  EXPECT_EQ(store.RGGetColNames(nullptr, 8), kRpgInvalid);
}

TEST_F(GroupStore, TextReadOfACellHoldingNoTextIsRefused) {
  ASSERT_EQ(Open("g", "J1.0[[\"c\",\"g\",\"n\",\"t\"],[{\"x\":\"1\"},[[\"a\"]],7,false]]\n"), kRpgOk);
  ASSERT_EQ(store.RGFetchRow(), kRpgOk);
  for (int column = 0; column < 4; ++column) EXPECT_EQ(Col(column), "<-3>") << column;
  EXPECT_EQ(ColByName("n"), "<-3>");
  EXPECT_EQ(Value(1, "c"), "<-3>");
  unsigned char* data = nullptr;
  long length = 0;
  EXPECT_EQ(store.RGGetColVal(0, &data, &length), kRpgWrongKind);
  EXPECT_EQ(store.RGGetVal(1, "g", &data, &length), kRpgWrongKind);
  EXPECT_EQ(store.RGGetValByName("t", &data, &length), kRpgWrongKind);
  EXPECT_EQ(data, nullptr);
}

TEST_F(GroupStore, BinaryCellsAndTheOwnershipOfTheThreeGetters) {
  ASSERT_EQ(store.RGCreate("g", "p,q"), kRpgOk);
  ASSERT_EQ(store.RGAddRow(), kRpgOk);
  const unsigned char p[] = {0xD6, 0x00, 0xFF};
  const unsigned char q[] = {'h', 'i'};
  ASSERT_EQ(store.RGSetVal(0, p, sizeof p), kRpgOk);
  ASSERT_EQ(store.RGSetValByName("q", q, sizeof q), kRpgOk);
  EXPECT_EQ(store.RGSetVal(0, nullptr, 1), kRpgInvalid);
  EXPECT_EQ(store.RGSetVal(0, p, -1), kRpgInvalid);
  EXPECT_EQ(Write("g"), "J1.0[[\"p\",\"q\"],[\"1gD/\",\"aGk=\"]]\n");

  unsigned char* block = nullptr;
  long blockLength = 0;
  ASSERT_EQ(store.RGGetValByName("p", &block, &blockLength), kRpgOk);
  ASSERT_EQ(blockLength, 3);

  unsigned char* data = nullptr;
  long length = 0;
  ASSERT_EQ(store.RGGetColVal(1, &data, &length), kRpgOk);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), length), "hi");
  EXPECT_EQ(data[length], 0);
  unsigned char* second = nullptr;
  ASSERT_EQ(store.RGGetVal(1, "p", &second, &length), kRpgOk);
  EXPECT_EQ(second, data);   // the group's buffer is reused
  ASSERT_EQ(length, 3);
  EXPECT_EQ(std::memcmp(second, p, 3), 0);
  EXPECT_EQ(second[3], 0);

  // The caller's block outlives further calls and the group itself.
  unsigned char* other = nullptr;
  ASSERT_EQ(store.RGGetValByName("q", &other, &length), kRpgOk);
  EXPECT_NE(other, block);
  ASSERT_EQ(store.RGDestroy("g"), kRpgOk);
  EXPECT_EQ(std::memcmp(block, p, 3), 0);
  std::free(block);
  std::free(other);

  // Empty values: a block the caller can free, and a length of 0.
  ASSERT_EQ(Open("h", "J1.0[[\"e\",\"bad\"],[\"\",\"a b\"]]\n"), kRpgOk);
  ASSERT_EQ(store.RGFetchRow(), kRpgOk);
  ASSERT_EQ(store.RGGetValByName("e", &block, &length), kRpgOk);
  EXPECT_NE(block, nullptr);
  EXPECT_EQ(length, 0);
  std::free(block);
  EXPECT_EQ(store.RGGetValByName("bad", &block, &length), kRpgBadBase64);
  EXPECT_EQ(block, nullptr);
  EXPECT_EQ(store.RGGetColVal(1, &data, &length), kRpgBadBase64);
  EXPECT_EQ(store.RGGetVal(1, "bad", &data, &length), kRpgBadBase64);
  EXPECT_EQ(store.RGGetValByName("zz", &block, &length), kRpgInvalid);
  EXPECT_EQ(store.RGGetVal(0, "e", &data, &length), kRpgInvalid);
}

TEST_F(GroupStore, SubObjectSettersNeedTheNamedObjectAndADataRow) {
  ASSERT_EQ(store.CBCreate("c"), kRpgOk);
  ASSERT_EQ(store.CBSetValue("id", "1"), kRpgOk);
  ASSERT_EQ(store.RGCreate("inner", "v"), kRpgOk);
  ASSERT_EQ(store.RGAddRow(), kRpgOk);
  ASSERT_EQ(store.RGSetCol(0, "w"), kRpgOk);
  ASSERT_EQ(store.RGCreate("g", "c,inner,none"), kRpgOk);

  EXPECT_EQ(store.RGSetSubCBRGValue(0, 0), kRpgNotDataRow);   // found, but no data row
  EXPECT_EQ(store.RGSetSubCBRGValue(2, 0), kRGSubCBNotFound);
  EXPECT_STREQ(store.LastError(), RpgCompMessage(kRGSubCBNotFound));
  EXPECT_EQ(store.RGSetSubCBRGValue(2, 1), kRGSubRGNotFound);
  EXPECT_STREQ(store.LastError(), RpgCompMessage(kRGSubRGNotFound));
  EXPECT_EQ(store.RGSetSubCBRGValue(3, 0), kRpgInvalid);
  EXPECT_EQ(store.RGSetSubCBRGValue(-1, 0), kRpgInvalid);
  EXPECT_EQ(store.RGSetSubCBRGValueByName("zz", 0), kRpgInvalid);
  EXPECT_EQ(store.RGSetSubCBRGValueByName(nullptr, 0), kRpgInvalid);

  ASSERT_EQ(store.RGAddRow(), kRpgOk);
  ASSERT_EQ(store.RGSetSubCBRGValue(0, 0), kRpgOk);            // column 0 is accepted here
  ASSERT_EQ(store.RGSetSubCBRGValueByName("inner", 7), kRpgOk);
  EXPECT_EQ(Write("g"), "J1.0[[\"c\",\"inner\",\"none\"],[{\"id\":\"1\"},[[\"v\"],[\"w\"]]]]\n");

  // A group copied into its own cell keeps the rows it had before.
  ASSERT_EQ(store.RGSetCol(2, "x"), kRpgOk);
  ASSERT_EQ(store.RGCreate("self", "self"), kRpgOk);
  ASSERT_EQ(store.RGAddRow(), kRpgOk);
  ASSERT_EQ(store.RGSetSubCBRGValue(0, 1), kRpgOk);
  EXPECT_EQ(Write("self"), "J1.0[[\"self\"],[[[\"self\"]]]]\n");
}

TEST_F(GroupStore, ExtractionReplacesByColumnAndRefusesOrSelectsByName) {
  ASSERT_EQ(Open("g", "J1.0[[\"k\",\"c\",\"sub\",\"txt\"],[{\"x\":\"0\"},{\"id\":\"7\"},[[\"v\"],[\"w\"]],\"t\"]]\n"),
            kRpgOk);
  ASSERT_EQ(store.CBCreate("c"), kRpgOk);
  ASSERT_EQ(store.CBSetValue("old", "1"), kRpgOk);
  ASSERT_EQ(store.RGCreate("sub", "old"), kRpgOk);
  ASSERT_EQ(store.RGSetCurr("g"), kRpgOk);
  ASSERT_EQ(store.RGFetchRow(), kRpgOk);

  EXPECT_EQ(store.RGGetSubCBRGValue(0, 0), kRpgInvalid);   // column 0 is refused by number
  EXPECT_EQ(store.RGGetSubCBRGValue(4, 0), kRpgInvalid);
  EXPECT_EQ(store.RGGetSubCBRGValueByName("zz", 0), kRpgNotDataRow);

  // By name: an existing group refuses, an existing component is selected and keeps its value.
  EXPECT_EQ(store.RGGetSubCBRGValueByName("sub", 1), kRGExists);
  ASSERT_EQ(store.RGGetSubCBRGValueByName("c", 0), kRpgOk);
  EXPECT_EQ(store.CurrentComponent()->Name(), "c");
  std::string text;
  ASSERT_EQ(store.CBWrite("c", text), kRpgOk);
  EXPECT_EQ(text, "J1.0{\"old\":\"1\"}\n");
  ASSERT_EQ(store.RGGetSubCBRGValueByName("k", 0), kRpgOk);   // new: made from the cell
  ASSERT_EQ(store.CBWrite("k", text), kRpgOk);
  EXPECT_EQ(text, "J1.0{\"x\":\"0\"}\n");

  // By column: existing objects give way to the cell's value.
  ASSERT_EQ(store.RGGetSubCBRGValue(1, 0), kRpgOk);
  ASSERT_EQ(store.CBWrite("c", text), kRpgOk);
  EXPECT_EQ(text, "J1.0{\"id\":\"7\"}\n");
  EXPECT_EQ(store.CurrentComponent()->Name(), "c");

  // Wrong kinds are refused and change nothing.
  EXPECT_EQ(store.RGGetSubCBRGValue(3, 0), kRpgWrongKind);
  EXPECT_EQ(store.RGGetSubCBRGValue(1, 1), kRpgWrongKind);
  EXPECT_EQ(CurrentGroup(), "g");

  ASSERT_EQ(store.RGGetSubCBRGValue(2, 1), kRpgOk);
  EXPECT_EQ(CurrentGroup(), "sub");
  EXPECT_EQ(store.CurrentGroup()->currentRow, 0);
  EXPECT_EQ(Write("sub"), "J1.0[[\"v\"],[\"w\"]]\n");
  ASSERT_EQ(store.RGFetchRow(), kRpgOk);
  EXPECT_EQ(Col(0), "w");
  EXPECT_EQ(store.RGFetchRow(), kRpgInvalid);
}

TEST_F(GroupStore, ExtractingAGroupFromItsOwnCellReplacesIt) {
  ASSERT_EQ(Open("g", "J1.0[[\"x\",\"g\"],[\"a\",[[\"y\"],[\"inner\"]]]]\n"), kRpgOk);
  ASSERT_EQ(store.RGFetchRow(), kRpgOk);
  ASSERT_EQ(store.RGGetSubCBRGValue(1, 1), kRpgOk);
  EXPECT_EQ(Write("g"), "J1.0[[\"y\"],[\"inner\"]]\n");
  ASSERT_EQ(store.RGFetchRow(), kRpgOk);
  EXPECT_EQ(ColByName("y"), "inner");
}

}  // namespace
