// Request tables: a descriptor per table, rows appended as they are saved, the table list kept
// growable so that no table is ever left out of it.
#include "codec/table_writer.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "codec/packet_text.h"
#include "codec/request_codes.h"
#include "codec/request_writer.h"
#include "codec/rs_columns.h"
#include "support/packet_value.h"
#include "wire/text_escape.h"

namespace velt {
namespace {

// Column names longer than this (less the cursor name) travel as the binary value _RS_FIELDS_n.
constexpr std::size_t kDescriptorNames = 1984;

int StoreDescriptor(velt::PacketSession& session, const char* cursorName, const char* names) {
  const RsState& rs = session.rs;
  char name[32];
  std::snprintf(name, sizeof name, "_RS_%d", rs.nRsCount);
  const std::size_t namesLength = std::strlen(names);
  char value[2100];
  int n;
  if (namesLength <= kDescriptorNames - std::strlen(cursorName)) {
    n = std::snprintf(value, sizeof value, "%s;%d;%s;%d", cursorName, rs.nColNum, names, rs.nFirstRow);
    return StorePair(session, name, std::string_view(value, static_cast<std::size_t>(n)));
  }
  n = std::snprintf(value, sizeof value, "%s;%d;$_RS_FIELDS_%d;%d", cursorName, rs.nColNum, rs.nRsCount,
                    rs.nFirstRow);
  const int rc = StorePair(session, name, std::string_view(value, static_cast<std::size_t>(n)));
  if (rc != 0) return rc;
  std::snprintf(name, sizeof name, "_RS_FIELDS_%d", rs.nRsCount);
  return StoreBinary(session, name, reinterpret_cast<const unsigned char*>(names), static_cast<long>(namesLength));
}

// pszColNames: the names without any space, tab, carriage return or line feed.
bool KeepNames(RsState& rs, const char* names) {
  const std::size_t length = std::strlen(names);
  if (!rs.colNames.Reserve(length + 1 > 2049 ? length + 1 : 2049)) return false;
  char* out = rs.colNames.Data();
  for (const char* p = names; *p != '\0'; ++p) {
    if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n') *out++ = *p;
  }
  *out = '\0';
  return true;
}

bool AppendTableEntry(RsState& rs) {
  char entry[48];
  // Wide arithmetic: after reading an answer the row numbers may be anything the text said.
  const long long rows = static_cast<long long>(rs.nCurRow) - rs.nFirstRow + 1;
  const int n = std::snprintf(entry, sizeof entry, "%d:%lld;", rs.nColNum, rows);
  if (!rs.tableList.ReserveGeometric(rs.tableListLength + static_cast<std::size_t>(n) + 1)) return false;
  std::memcpy(rs.tableList.Data() + rs.tableListLength, entry, static_cast<std::size_t>(n) + 1);
  rs.tableListLength += static_cast<std::size_t>(n);
  return true;
}

}  // namespace

int CloseTable(velt::PacketSession& session) noexcept {
  RsState& rs = session.rs;
  if (rs.nRsCount == 0) return 0;
  char name[32];
  std::snprintf(name, sizeof name, "_EORS_%d", rs.nRsCount);
  if (StoreIntPair(session, name, rs.nCurRow) != 0) return kCompleteNoMemory;
  return AppendTableEntry(rs) ? 0 : kCompleteNoMemory;
}

int StartTable(velt::PacketSession& session, const char* cursorName, int columns, const char* names, bool create) noexcept {
  RsState& rs = session.rs;
  if (create) ResetTableState(session);
  if (CloseTable(session) != 0) return kTableNoMemory;
  if (columns < 1 || names == nullptr || cursorName == nullptr) return kTableBadArgument;
  const std::size_t cursorLength = std::strlen(cursorName);
  if (columns > kMaxColumns || cursorLength > static_cast<std::size_t>(kMaxWrittenCursorName)) return kTableBadArgument;
  rs.nFirstRow = rs.nCurRow + 1;
  rs.nRsCount += 1;
  rs.nColNum = columns;
  std::memcpy(rs.szCursorName, cursorName, cursorLength + 1);
  session.answerFlags |= kAnswerComplete;
  if (StoreDescriptor(session, cursorName, names) != 0) return kTableNoMemory;
  if (!BuildColumns(rs, columns, names)) return kTableNoMemory;
  return KeepNames(rs, names) ? 0 : kTableNoMemory;
}

int RsAddRow(velt::PacketSession& session) noexcept {
  RsState& rs = session.rs;
  if (rs.nCurRow < INT_MAX - 1) rs.nCurRow += 1;
  rs.nLastRow = rs.nCurRow;
  rs.szRowText[0] = '\0';
  return 0;
}

int RsSetCol(velt::PacketSession& session, int column, const char* value) noexcept {
  RsState& rs = session.rs;
  if (value == nullptr) return kCellNullValue;
  if (column < 1 || column > rs.nColNum || column > rs.nColSlots) return kCellColumnOutOfRange;
  tagRsColumn& cell = rs.pColumns[column - 1];
  const std::size_t length = std::strlen(value);
  if (!ReserveCell(cell, length)) return kCellNoMemory;
  std::memcpy(cell.pszValue, value, length + 1);
  cell.nValueLen = static_cast<int>(length);
  return 0;
}

int RsSetColByName(velt::PacketSession& session, const char* column, const char* value) noexcept {
  const tagRsColumn* slot = FindColumn(session.rs, column);
  if (slot == nullptr) return kCellNoSuchColumn;
  return RsSetCol(session, slot->nIndex + 1, value);
}

int RsSetVal(velt::PacketSession& session, int column, const unsigned char* data, long length) noexcept {
  if (data == nullptr) return kCellNullData;
  if (length <= 0) return RsSetCol(session, column, reinterpret_cast<const char*>(data));
  char reference[40];
  std::snprintf(reference, sizeof reference, "_BLOB_%d_%d", session.rs.nCurRow, column);
  if (RsSetCol(session, column, reference) != 0) return kCellBlobRefFailed;
  return StoreBinary(session, reference, data, length);
}

int RsSetValByName(velt::PacketSession& session, const char* column, const unsigned char* data, long length) noexcept {
  const tagRsColumn* slot = FindColumn(session.rs, column);
  if (slot == nullptr) return kCellNoSuchColumn;
  return RsSetVal(session, slot->nIndex + 1, data, length);
}

int RsSaveRow(velt::PacketSession& session) noexcept {
  RsState& rs = session.rs;
  char* row = rs.szRowText;
  std::size_t n = 0;
  int cells = 0;
  const int slots = rs.nColNum < rs.nColSlots ? rs.nColNum : rs.nColSlots;
  for (int i = 0; i < slots; ++i) {
    const tagRsColumn& cell = rs.pColumns[i];
    if (n + static_cast<std::size_t>(cell.nValueLen) >= static_cast<std::size_t>(kMaxRowBytes)) break;
    n += wire::Escape(std::string_view(cell.pszValue, static_cast<std::size_t>(cell.nValueLen)), row + n, wire::kCellEscapes);
    row[n++] = ',';
    ++cells;
  }
  if (cells > 0) --n;
  row[n] = '\0';

  const std::size_t length = PacketText(session).size();
  if (!PacketRoom(session, length, 16 + 3 * n)) return kRowBufferFull;
  char* data = session.packet.Data();
  std::size_t at = length;
  at += static_cast<std::size_t>(std::snprintf(data + at, 16, "&_%d=", rs.nCurRow));
  at += wire::Escape(std::string_view(row, n), data + at, wire::kPairEscapes);
  data[at] = '\0';
  SetPacketTextLength(session, at);
  return 0;
}

}  // namespace velt
