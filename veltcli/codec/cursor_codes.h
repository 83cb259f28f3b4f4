// Return codes of the answer reader and the result-set cursor (VELTCLI_GetVal, VELTCLI_Rs* read
// side) and of reading further answer parts. VELT_CURSOR_CODES(X) lists each code once as
// X(name, number, doc rows, meaning); the doc rows, separated by ", ", are the functions of
// docs/veltcli.md whose code table lists it ("" for codes that stay inside the library), and a
// test holds both in step. One number means different things in different functions, so it has
// one name per meaning.
#pragma once

#define VELT_CURSOR_CODES(X)                                                                       \
  X(kGetValNullArgument, 11, "VELTCLI_GetVal", "null name or output")                              \
  X(kGetValNameTooLong, 12, "VELTCLI_GetVal", "name longer than 100 characters")                   \
  X(kGetValNoPair, 13, "VELTCLI_GetVal", "no such pair")                                           \
  X(kGetValNoMemory, 14, "VELTCLI_GetVal", "the value buffer cannot take the value")               \
  X(kGetValNoBase64Pair, 15, "VELTCLI_GetVal", "a marker without its Base64 pair")                 \
  X(kGetValNoMemoryForBase64, 16, "VELTCLI_GetVal", "the value buffer cannot take the Base64 text") \
  X(kRsOpenFailed, 1, "VELTCLI_RsOpen", "no table, or it could not be opened")                     \
  X(kRsNoMoreTables, 1, "VELTCLI_RsMore", "no further table")                                      \
  X(kRsMorePartFailed, 3, "VELTCLI_RsMore", "reading the next answer part failed")                 \
  X(kRsBadColumns, 7, "VELTCLI_RsMore", "no memory for the columns, or more than the limit")       \
  X(kRsNamesUnreadableFirst, 21, "VELTCLI_RsMore", "separate column names unreadable: 10 + GetVal code") \
  X(kRsNamesUnreadableLast, 27, "VELTCLI_RsMore", "the last of those codes")                       \
  X(kRsNamesNoMemory, 101, "VELTCLI_RsMore", "no memory for the column names")                     \
  X(kRsNumColsFailed, 1, "VELTCLI_SQLNumResultCols", "opening the next table failed")              \
  X(kRsNoMoreRows, 1, "VELTCLI_RsFetchRow", "no further row")                                      \
  X(kRsFetchPartFailed, 2, "VELTCLI_RsFetchRow", "reading the next answer part failed")            \
  X(kRsCellNoMemory, 4, "VELTCLI_RsFetchRow, VELTCLI_RsFetchRowScroll", "no memory for a cell")     \
  X(kRsScrollOutside, 1, "VELTCLI_RsFetchRowScroll", "target outside the table")                   \
  X(kRsScrollBadOrientation, 2, "VELTCLI_RsFetchRowScroll", "orientation not 1-6")                 \
  X(kRsScrollRowNotInPart, 5, "VELTCLI_RsFetchRowScroll", "row not in the answer part in hand")    \
  X(kRsScrollIncomplete, 101, "VELTCLI_RsFetchRowScroll", "answer parts still outstanding")        \
  X(kRsNullOutput, -1, "VELTCLI_RsGetVal, VELTCLI_RsGetColNames", "null output pointer")            \
  X(kRsColNotFound, 1, "VELTCLI_RsGetCol, VELTCLI_RsGetVal", "buffer null, or no column of that exact name") \
  X(kRsColOutOfRange, 2, "VELTCLI_RsGetCol, VELTCLI_RsGetVal", "column outside 1..columns")         \
  X(kRsGetValNoMemory, 13, "VELTCLI_RsGetVal", "no memory for the cell")                           \
  X(kRsColNameNotFound, 1, "VELTCLI_RsGetColName", "no such column, column < 1, null buffer, len <= 0") \
  X(kRsColNameTruncated, 100, "VELTCLI_RsGetColName", "the name has len characters or more")       \
  X(kRsColNamesDoNotFit, -1, "VELTCLI_RsGetColNames", "the names do not fit (buffer emptied)")     \
  X(kRsRowCountUnknown, 1, "VELTCLI_RsGetRowNum", "the table's end is not known (rows -1)")        \
  X(kRsNoSuchTable, 1, "VELTCLI_RsGetTableColNum", "no such table in _TL")                         \
  X(kRsTableEntryNoCount, 3, "VELTCLI_RsGetTableColNum", "the _TL entry lacks the count")          \
  X(kRsNoTableList, 4, "VELTCLI_RsGetTableColNum", "no _TL pair")                                  \
  X(kRsCursorNameTruncated, 100, "VELTCLI_RsGetCursorName", "the name has len characters or more") \
  X(kRsClosePartFailed, 1, "VELTCLI_RsClose", "reading a further answer part failed")              \
  X(kContinueAnswerComplete, 1, "", "continue reading: the answer is already complete")            \
  X(kContinueNothingToRead, 2, "", "continue reading: no answer to continue")                      \
  X(kStoreAnswerNoMemory, 1, "", "the packet buffer cannot hold the answer text")

namespace velt {

#define VELT_CODE_ENUMERATOR(name, number, rows, meaning) name = (number),
enum CursorCode : int { VELT_CURSOR_CODES(VELT_CODE_ENUMERATOR) };
#undef VELT_CODE_ENUMERATOR

}  // namespace velt
