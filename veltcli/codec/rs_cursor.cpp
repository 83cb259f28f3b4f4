// Result sets of an answer. Nothing is parsed when an answer part arrives: descriptors are read
// when a table is opened, rows when they are fetched, and a forward walk is one pass over the text.
#include "codec/rs_cursor.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "codec/answer_reader.h"
#include "codec/cursor_codes.h"
#include "codec/packet_text.h"
#include "codec/request_writer.h"
#include "codec/rs_columns.h"
#include "support/alloc_hook.h"
#include "support/decimal.h"
#include "support/packet_value.h"
#include "wire/text_escape.h"

namespace velt {
namespace {

constexpr std::size_t kRowChars = RsState::kRowTextSize - 1;


int PullAnswerPart(velt::PacketSession& session) {
  const int rc = session.ContinueReading();
  if (rc == 0) session.answerScanPosition = 0;
  return rc;
}

// Decimal value of a field that is not terminated in place.
int FieldToInt(std::string_view field) {
  char digits[32];
  const std::size_t n = field.size() < sizeof digits - 1 ? field.size() : sizeof digits - 1;
  if (n > 0) std::memcpy(digits, field.data(), n);   // an empty field may be a null view
  digits[n] = '\0';
  return DecimalToInt(digits);
}

int ClampRow(long long row) {
  if (row < INT_MIN + 1) return INT_MIN + 1;
  return row > INT_MAX ? INT_MAX : static_cast<int>(row);
}

// Looks up _EORS_<table>: its row number, or -1 when the table's end is not in this part.
bool FindTableEnd(velt::PacketSession& session, int table, int& lastRow) {
  char name[32];
  char value[11];
  std::snprintf(name, sizeof name, "_EORS_%d", table);
  if (LookupPacketValue(PacketText(session), name, value, 10) != 0) return false;
  lastRow = DecimalToInt(value);
  return true;
}

// The four ";"-separated descriptor fields. Names never hold ";" in our writer; should a peer's
// do, the first row is still the last field, so the names keep every ";" they had.
struct Descriptor {
  std::string_view cursor, columns, names, firstRow;
};

Descriptor SplitDescriptor(std::string_view text) {
  Descriptor d;
  const std::size_t a = text.find(';');
  d.cursor = text.substr(0, a);
  if (a == std::string_view::npos) return d;
  const std::size_t b = text.find(';', a + 1);
  d.columns = text.substr(a + 1, b == std::string_view::npos ? std::string_view::npos : b - a - 1);
  if (b == std::string_view::npos) return d;
  const std::size_t c = text.rfind(';');
  if (c == b) {
    d.names = text.substr(b + 1);
  } else {
    d.names = text.substr(b + 1, c - b - 1);
    d.firstRow = text.substr(c + 1);
  }
  return d;
}

// Column names from _RS_FIELDS_<table> when the descriptor refers to it: 0, the lookup's code
// shifted into kRsNamesUnreadableFirst.., or kRsNamesNoMemory when the name buffer cannot grow.
int ReadSeparateNames(velt::PacketSession& session) {
  RsState& rs = session.rs;
  char reference[32];
  std::snprintf(reference, sizeof reference, "$_RS_FIELDS_%d", rs.nRsCount);
  if (std::strcmp(rs.colNames.Data(), reference) != 0) return 0;
  unsigned char* data = nullptr;
  long length = 0;
  const int rc = LookupBinary(session, reference + 1, &data, &length);
  if (rc != 0) return kRsNamesUnreadableFirst - kGetValNullArgument + rc;
  if (!rs.colNames.Reserve(static_cast<std::size_t>(length) + 1)) return kRsNamesNoMemory;
  std::memcpy(rs.colNames.Data(), data, static_cast<std::size_t>(length));
  rs.colNames.Data()[length] = '\0';
  return 0;
}

// Takes the descriptor (decoded into the name buffer, which then keeps only the names).
int OpenDescriptor(velt::PacketSession& session, std::string_view raw) {
  RsState& rs = session.rs;
  if (!rs.colNames.Reserve(raw.size() + 1 > 2049 ? raw.size() + 1 : 2049)) return kRsNamesNoMemory;
  char* buffer = rs.colNames.Data();
  const std::size_t n = wire::Unescape(raw, buffer, raw.size(), wire::kPairEscapes);
  const Descriptor d = SplitDescriptor(std::string_view(buffer, n));
  rs.nRsCount += 1;
  const std::size_t cursorChars =
      d.cursor.size() < static_cast<std::size_t>(RsState::kCursorNameChars) ? d.cursor.size() : RsState::kCursorNameChars;
  if (cursorChars > 0) std::memcpy(rs.szCursorName, d.cursor.data(), cursorChars);
  rs.szCursorName[cursorChars] = '\0';
  rs.nColNum = FieldToInt(d.columns);
  const int firstRow = ClampRow(FieldToInt(d.firstRow));
  if (!d.names.empty()) std::memmove(buffer, d.names.data(), d.names.size());
  buffer[d.names.size()] = '\0';
  if (const int rc = ReadSeparateNames(session)) return rc;
  rs.nFirstRow = firstRow;
  rs.nCurRow = firstRow - 1;
  if (!FindTableEnd(session, rs.nRsCount, rs.nLastRow)) rs.nLastRow = -1;
  return BuildColumns(rs, rs.nColNum, rs.colNames.Data()) ? 0 : kRsBadColumns;
}

// "&_<row>=" without the formatting machinery: this runs once per fetched row.
std::size_t RowKey(long long row, char* out) {
  char digits[24];
  std::size_t n = 0;
  unsigned long long magnitude = row < 0 ? 0ULL - static_cast<unsigned long long>(row) : static_cast<unsigned long long>(row);
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  std::size_t at = 0;
  out[at++] = '&';
  out[at++] = '_';
  if (row < 0) out[at++] = '-';
  while (n > 0) out[at++] = digits[--n];
  out[at++] = '=';
  return at;
}

// Packet-decodes the row value starting at `start` into `out` (at most 12191 characters, then
// terminated) in one pass that also finds the "&" ending it: `next` becomes that offset, or 0
// when the value runs to the end of the text. Returns the decoded length.
std::size_t DecodeRowValue(std::string_view text, std::size_t start, char* out, int& next) {
  const char* p = text.data() + start;
  const char* const end = text.data() + text.size();
  const char* const limit = end - p > static_cast<std::ptrdiff_t>(kRowChars) ? p + kRowChars : end;
  std::size_t n = 0;
  while (p < limit && *p != '&') {
    char c = *p;
    p += c == '@' && wire::UnescapeAt(p, limit, wire::kPairEscapes, c) ? 3 : 1;
    out[n++] = c;
  }
  out[n] = '\0';
  if (p < end && *p != '&') {   // cut at 12191 characters: the hint still goes past the value
    const void* amp = std::memchr(p, '&', static_cast<std::size_t>(end - p));
    p = amp != nullptr ? static_cast<const char*>(amp) : end;
  }
  next = p < end ? static_cast<int>(p - text.data()) : 0;
  return n;
}

// Finds row `row` and decodes its value into szRowText (returning its length); moves the search
// hint past it. A forward walk finds each row right at the hint.
bool FindRow(velt::PacketSession& session, long long row, std::size_t& rowLength) {
  RsState& rs = session.rs;
  const std::string_view text = PacketText(session);
  char pattern[32];
  const std::string_view key(pattern, RowKey(row, pattern));
  std::size_t hint = static_cast<std::size_t>(session.answerScanPosition);
  if (session.answerScanPosition < 0 || hint >= text.size()) hint = 0;
  const bool atHint = text.size() - hint >= key.size() && std::equal(key.begin(), key.end(), text.begin() + hint);
  std::size_t at = atHint ? hint : text.find(key, hint);
  if (at == std::string_view::npos && hint > 0) at = text.find(key);
  if (at == std::string_view::npos) return false;
  rowLength = DecodeRowValue(text, at + key.size(), rs.szRowText, session.answerScanPosition);
  return true;
}

// Doubles a cell's buffer, keeping its content.
bool GrowCell(tagRsColumn& cell) {
  if (cell.nValueSize > INT_MAX / 2) return false;
  const int size = cell.nValueSize * 2;
  void* grown = Reallocate(cell.pszValue, static_cast<std::size_t>(size));
  if (grown == nullptr) return false;
  cell.pszValue = static_cast<char*>(grown);
  cell.nValueSize = size;
  return true;
}

// Splits szRowText at "," into the cells, cell-decoding each in the same pass; false when a
// cell cannot grow. Cells are short, so one byte loop beats a search and a copy per cell; it
// consumes at least one byte per byte written, so bounding the input bounds the output.
bool SplitCells(RsState& rs, std::size_t rowLength) {
  for (int i = 0; i < rs.nColSlots; ++i) {
    rs.pColumns[i].pszValue[0] = '\0';
    rs.pColumns[i].nValueLen = 0;
  }
  const char* p = rs.szRowText;
  const char* const end = p + rowLength;
  for (int i = 0; i < rs.nColSlots; ++i) {
    tagRsColumn& cell = rs.pColumns[i];
    std::size_t n = 0;
    for (;;) {
      char* out = cell.pszValue;
      const std::size_t room = static_cast<std::size_t>(cell.nValueSize) - 1 - n;
      const char* const stopAt = static_cast<std::size_t>(end - p) < room ? end : p + room;
      while (p < stopAt && *p != ',') {
        char c = *p;
        p += c == '@' && wire::UnescapeAt(p, end, wire::kCellEscapes, c) ? 3 : 1;
        out[n++] = c;
      }
      if (p >= end || *p == ',') break;
      if (!GrowCell(cell)) {
        cell.pszValue[0] = '\0';
        return false;
      }
    }
    cell.pszValue[n] = '\0';
    cell.nValueLen = static_cast<int>(n);
    if (p >= end) break;
    ++p;
  }
  return true;
}

bool IsDecimalAboveZero(std::string_view field) {
  if (field.empty()) return false;
  bool nonzero = false;
  for (const char c : field) {
    if (c < '0' || c > '9') return false;
    nonzero = nonzero || c != '0';
  }
  return nonzero;
}

// "_BLOB_<row>_<column>" as RsSetVal writes it: at most 27 characters, both numbers above zero.
bool IsBlobReference(std::string_view cell) {
  constexpr std::string_view kPrefix = "_BLOB_";
  if (cell.size() > 27 || cell.substr(0, kPrefix.size()) != kPrefix) return false;
  const std::string_view rest = cell.substr(kPrefix.size());
  const std::size_t split = rest.find('_');
  if (split == std::string_view::npos) return false;
  const std::string_view row = rest.substr(0, split);
  std::string_view column = rest.substr(split + 1);
  column = column.substr(0, column.find('_'));
  return IsDecimalAboveZero(row) && IsDecimalAboveZero(column);
}

// The `index`-th (1-based) "sep"-separated field of `text`; false when it has fewer.
bool NthField(std::string_view text, char sep, long long index, std::string_view& field) {
  if (index < 1 || text.empty()) return false;
  std::size_t at = 0;
  for (long long i = 1; i < index; ++i) {
    const std::size_t next = text.find(sep, at);
    if (next == std::string_view::npos) return false;
    at = next + 1;
  }
  const std::size_t end = text.find(sep, at);
  field = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
  return true;
}

std::string_view ColumnNames(RsState& rs) {
  return rs.colNames.Data() != nullptr ? std::string_view(rs.colNames.Data()) : std::string_view();
}

}  // namespace

int RsMore(velt::PacketSession& session) noexcept {
  char name[32];
  std::snprintf(name, sizeof name, "_RS_%d", session.rs.nRsCount + 1);
  std::string_view raw;
  while (!FindRawValue(PacketText(session), name, raw)) {
    if (session.AnswerComplete()) return kRsNoMoreTables;
    if (PullAnswerPart(session) != 0) return kRsMorePartFailed;
  }
  return OpenDescriptor(session, raw);
}

int RsOpen(velt::PacketSession& session) noexcept {
  ResetTableState(session);
  return RsMore(session) == 0 ? 0 : kRsOpenFailed;
}

int SQLNumResultCols(velt::PacketSession& session, int* columns) noexcept {
  if (columns == nullptr) return kRsNullOutput;
  const int rc = session.rs.nColNum == 0 && RsMore(session) != 0 ? kRsNumColsFailed : 0;
  *columns = session.rs.nColNum;
  return rc;
}

int RsFetchRow(velt::PacketSession& session) noexcept {
  RsState& rs = session.rs;
  std::size_t rowLength = 0;
  for (;;) {
    rs.szRowText[0] = '\0';
    if (rs.nCurRow == rs.nLastRow || rs.nCurRow == INT_MAX) return kRsNoMoreRows;
    if (FindRow(session, static_cast<long long>(rs.nCurRow) + 1, rowLength)) break;
    if (session.AnswerComplete()) return kRsNoMoreRows;
    if (PullAnswerPart(session) != 0) return kRsFetchPartFailed;
    FindTableEnd(session, rs.nRsCount, rs.nLastRow);
  }
  rs.nCurRow += 1;
  return SplitCells(rs, rowLength) ? 0 : kRsCellNoMemory;
}

int RsFetchRowScroll(velt::PacketSession& session, int orientation, int offset) noexcept {
  RsState& rs = session.rs;
  if (!session.AnswerComplete()) return kRsScrollIncomplete;
  // The bounds of each orientation as the fetch orientations define them; "first" and "last"
  // have none, so on a table whose end is unknown they still reach rows of the part in hand.
  long long target;
  const long long first = rs.nFirstRow;
  const long long last = rs.nLastRow;
  switch (orientation) {
    case 1:
      if (rs.nCurRow == rs.nLastRow) return kRsScrollOutside;
      target = static_cast<long long>(rs.nCurRow) + 1;
      break;
    case 2: target = first; break;
    case 3: target = last; break;
    case 4:
      if (rs.nCurRow == rs.nFirstRow) return kRsScrollOutside;
      target = static_cast<long long>(rs.nCurRow) - 1;
      break;
    case 5:
      target = first + offset - 1;
      if (offset < 1 || target > last) return kRsScrollOutside;
      break;
    case 6:
      target = static_cast<long long>(rs.nCurRow) + offset;
      if (target < first || target > last) return kRsScrollOutside;
      break;
    default: return kRsScrollBadOrientation;
  }
  if (target < INT_MIN || target > INT_MAX) return kRsScrollOutside;
  rs.nCurRow = static_cast<int>(target);
  rs.szRowText[0] = '\0';
  std::size_t rowLength = 0;
  if (!FindRow(session, target, rowLength)) return kRsScrollRowNotInPart;
  return SplitCells(rs, rowLength) ? 0 : kRsCellNoMemory;
}

int RsClose(velt::PacketSession& session) noexcept {
  if (session.rs.nCurRow == session.rs.nLastRow) return 0;
  while (!session.AnswerComplete()) {
    if (PullAnswerPart(session) != 0) return kRsClosePartFailed;
  }
  return 0;
}

int RsGetCol(velt::PacketSession& session, int column, char* out) noexcept {
  RsState& rs = session.rs;
  if (out == nullptr) return kRsColNotFound;
  if (column < 1 || column > rs.nColSlots) return kRsColOutOfRange;
  const tagRsColumn& cell = rs.pColumns[column - 1];
  std::memcpy(out, cell.pszValue, static_cast<std::size_t>(cell.nValueLen) + 1);
  return 0;
}

int RsGetColByName(velt::PacketSession& session, const char* column, char* out) noexcept {
  const tagRsColumn* slot = FindColumn(session.rs, column);
  if (slot == nullptr) {
    if (out != nullptr) out[0] = '\0';
    return kRsColNotFound;
  }
  return RsGetCol(session, slot->nIndex + 1, out);
}

int RsGetVal(velt::PacketSession& session, int column, unsigned char** data, long* length) noexcept {
  RsState& rs = session.rs;
  if (data == nullptr || length == nullptr) return kRsNullOutput;
  *data = nullptr;
  *length = 0;
  if (column < 1 || column > rs.nColSlots) return kRsColOutOfRange;
  const tagRsColumn& cell = rs.pColumns[column - 1];
  const std::size_t cellLength = static_cast<std::size_t>(cell.nValueLen);
  // At least the 4001 bytes a cell of this call used to be limited to; longer cells whole.
  if (!rs.valueBuf.Reserve(cellLength + 1 > 4001 ? cellLength + 1 : 4001)) return kRsGetValNoMemory;
  std::memcpy(rs.valueBuf.Data(), cell.pszValue, cellLength + 1);
  const std::string_view text(rs.valueBuf.Data(), cellLength);
  if (IsBlobReference(text)) {
    char name[28];
    std::memcpy(name, text.data(), text.size());
    return LookupBinary(session, std::string_view(name, text.size()), data, length);
  }
  *data = reinterpret_cast<unsigned char*>(rs.valueBuf.Data());
  *length = static_cast<long>(cellLength);
  return 0;
}

int RsGetValByName(velt::PacketSession& session, const char* column, unsigned char** data, long* length) noexcept {
  const tagRsColumn* slot = FindColumn(session.rs, column);
  if (slot == nullptr) {
    if (data != nullptr) *data = nullptr;
    if (length != nullptr) *length = 0;
    return kRsColNotFound;
  }
  return RsGetVal(session, slot->nIndex + 1, data, length);
}

int RsGetColName(velt::PacketSession& session, int column, char* out, int len, bool trim) noexcept {
  if (out == nullptr || len <= 0) return kRsColNameNotFound;
  std::string_view field;
  if (!NthField(ColumnNames(session.rs), ',', column, field)) return kRsColNameNotFound;
  if (trim) field = TrimBlanks(field);
  const std::size_t room = static_cast<std::size_t>(len);
  if (field.size() >= room) {
    std::memcpy(out, field.data(), room);
    return kRsColNameTruncated;
  }
  std::memcpy(out, field.data(), field.size());
  out[field.size()] = '\0';
  return 0;
}

int RsGetColNames(velt::PacketSession& session, char* out, int len) noexcept {
  if (out == nullptr) return kRsNullOutput;
  const std::string_view names = ColumnNames(session.rs);
  if (len > 0 && names.size() < static_cast<std::size_t>(len)) {
    std::memcpy(out, names.data(), names.size());
    out[names.size()] = '\0';
    return 0;
  }
  if (len > 0) out[0] = '\0';
  return kRsColNamesDoNotFit;
}

int RsGetColNum(velt::PacketSession& session, int* columns) noexcept {
  if (columns == nullptr) return kRsNullOutput;
  *columns = session.rs.nColNum;
  return 0;
}

int RsGetRowNum(velt::PacketSession& session, int* rows) noexcept {
  const RsState& rs = session.rs;
  if (rows == nullptr) return kRsNullOutput;
  if (rs.nLastRow <= 0) {
    *rows = -1;
    return kRsRowCountUnknown;
  }
  *rows = ClampRow(static_cast<long long>(rs.nLastRow) - rs.nFirstRow + 1);
  return 0;
}

int RsGetTableNum(velt::PacketSession& session, int table, int* out, bool rows) noexcept {
  if (out == nullptr) return kRsNullOutput;
  *out = 0;
  std::string_view list;
  if (!FindRawValue(PacketText(session), "_TL", list)) return kRsNoTableList;
  std::string_view entry;
  if (!NthField(list, ';', table, entry) || entry.empty()) return kRsNoSuchTable;
  entry = entry.substr(0, 30);
  std::string_view field;
  if (!NthField(entry, ':', rows ? 2 : 1, field) || field.empty()) return kRsTableEntryNoCount;
  *out = FieldToInt(field.substr(0, 30));
  return 0;
}

int RsGetCursorName(velt::PacketSession& session, char* out, int len) noexcept {
  if (out == nullptr) return kRsNullOutput;
  const std::size_t n = std::strlen(session.rs.szCursorName);
  if (len <= 0 || n >= static_cast<std::size_t>(len)) {
    if (len > 0) std::memcpy(out, session.rs.szCursorName, static_cast<std::size_t>(len));
    return kRsCursorNameTruncated;
  }
  std::memcpy(out, session.rs.szCursorName, n + 1);
  return 0;
}

}  // namespace velt
