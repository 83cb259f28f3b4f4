// The result-set cursor over the answer text: tables opened in order, rows found by text search
// with a position hint, cells decoded on demand. Further answer parts are pulled through the
// session's ContinueReading() when a table or row is not in the part in hand.
#pragma once

#include "core/session.h"

namespace velt {

// Codes as the exported functions of the same names (veltcli.h). Null output pointers: -1.
int RsMore(CLUNQCliBase& session) noexcept;
int RsOpen(CLUNQCliBase& session) noexcept;
int SQLNumResultCols(CLUNQCliBase& session, int* columns) noexcept;
int RsFetchRow(CLUNQCliBase& session) noexcept;
int RsFetchRowScroll(CLUNQCliBase& session, int orientation, int offset) noexcept;
int RsClose(CLUNQCliBase& session) noexcept;

int RsGetCol(CLUNQCliBase& session, int column, char* out) noexcept;
int RsGetColByName(CLUNQCliBase& session, const char* column, char* out) noexcept;
int RsGetVal(CLUNQCliBase& session, int column, unsigned char** data, long* length) noexcept;
int RsGetValByName(CLUNQCliBase& session, const char* column, unsigned char** data, long* length) noexcept;

// trim: RsGetColName (blanks removed at both ends); otherwise SQLGetColName.
int RsGetColName(CLUNQCliBase& session, int column, char* out, int len, bool trim) noexcept;
int RsGetColNames(CLUNQCliBase& session, char* out, int len) noexcept;
int RsGetColNum(CLUNQCliBase& session, int* columns) noexcept;
int RsGetRowNum(CLUNQCliBase& session, int* rows) noexcept;
// rows: RsGetTableRowNum, otherwise RsGetTableColNum.
int RsGetTableNum(CLUNQCliBase& session, int table, int* out, bool rows) noexcept;
int RsGetCursorName(CLUNQCliBase& session, char* out, int len) noexcept;

}  // namespace velt
