// The result-set cursor over the answer text: tables opened in order, rows found by text search
// with a position hint, cells decoded on demand. Further answer parts are pulled through the
// session's ContinueReading() when a table or row is not in the part in hand.
#pragma once

#include "codec/packet_session.h"

namespace velt {

// Codes as the exported functions of the same names (veltcli.h). Null output pointers: -1.
int RsMore(velt::PacketSession& session) noexcept;
int RsOpen(velt::PacketSession& session) noexcept;
int SQLNumResultCols(velt::PacketSession& session, int* columns) noexcept;
int RsFetchRow(velt::PacketSession& session) noexcept;
int RsFetchRowScroll(velt::PacketSession& session, int orientation, int offset) noexcept;
int RsClose(velt::PacketSession& session) noexcept;

int RsGetCol(velt::PacketSession& session, int column, char* out) noexcept;
int RsGetColByName(velt::PacketSession& session, const char* column, char* out) noexcept;
int RsGetVal(velt::PacketSession& session, int column, unsigned char** data, long* length) noexcept;
int RsGetValByName(velt::PacketSession& session, const char* column, unsigned char** data, long* length) noexcept;

// trim: RsGetColName (blanks removed at both ends); otherwise SQLGetColName.
int RsGetColName(velt::PacketSession& session, int column, char* out, int len, bool trim) noexcept;
int RsGetColNames(velt::PacketSession& session, char* out, int len) noexcept;
int RsGetColNum(velt::PacketSession& session, int* columns) noexcept;
int RsGetRowNum(velt::PacketSession& session, int* rows) noexcept;
// rows: RsGetTableRowNum, otherwise RsGetTableColNum.
int RsGetTableNum(velt::PacketSession& session, int table, int* out, bool rows) noexcept;
int RsGetCursorName(velt::PacketSession& session, char* out, int len) noexcept;

}  // namespace velt
