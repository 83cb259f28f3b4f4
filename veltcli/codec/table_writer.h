// The table writer: descriptors, column slots, cells and rows of request tables.
#pragma once

#include "codec/packet_session.h"

namespace velt {

// Longest cursor name a table may have (the descriptor field and szCursorName hold 31).
constexpr int kMaxWrittenCursorName = 31;
// Raw cell bytes a saved row carries at most: cells from the one that reaches it on are left out.
constexpr int kMaxRowBytes = 4000;

// VELTCLI_RsCreate (create = true: the table state is reset first) and VELTCLI_RsNewTable.
// 0; 1 column count < 1 or above the column limit, a null argument, or a cursor name of 32
// characters or more; 2 no memory (slots, names, the closed table's end or the descriptor).
int StartTable(velt::PacketSession& session, const char* cursorName, int columns, const char* names, bool create) noexcept;

// Ends the current table: "_EORS_"n = the current row and its entry in the table list.
// 0, or 1 when memory fails. Nothing while no table was started.
int CloseTable(velt::PacketSession& session) noexcept;

int RsAddRow(velt::PacketSession& session) noexcept;
// 0; 1 null value; 2 column outside 1..column count; -3 the cell could not grow (left empty).
int RsSetCol(velt::PacketSession& session, int column, const char* value) noexcept;
// 1 no column of that name, else as RsSetCol.
int RsSetColByName(velt::PacketSession& session, const char* column, const char* value) noexcept;
// -1 null data; length <= 0: RsSetCol with the data as text; 20 the cell did not take the
// reference "_BLOB_<row>_<column>"; otherwise the result of storing that binary value.
int RsSetVal(velt::PacketSession& session, int column, const unsigned char* data, long length) noexcept;
int RsSetValByName(velt::PacketSession& session, const char* column, const unsigned char* data, long length) noexcept;
// Appends "&_<row>=" and the row's cells; 0, or 1 when the packet buffer cannot grow.
int RsSaveRow(velt::PacketSession& session) noexcept;

}  // namespace velt
