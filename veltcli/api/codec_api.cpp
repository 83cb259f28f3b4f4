// Exported request, answer, result-set and conversion functions: each casts the handle to its
// session and forwards. The codec functions behind them throw nothing and allocate through the
// gate, so every failure is already a status code here.
#include "codec/answer_reader.h"
#include "codec/request_writer.h"
#include "codec/rs_cursor.h"
#include "codec/struct_converter.h"
#include "codec/table_writer.h"
#include "api/api_guard.h"
#include "veltcli.h"

using velt::SessionOf;

extern "C" {

VELTCLI_API int VELTCLI_BeginWrite(VELTCLI_HANDLE handle) { return velt::BeginWrite(SessionOf(handle)); }

// VELTCLI_DFSetValue is bound to this function by the linker (one address); likewise the other
// DF and SQL names below.
VELTCLI_API int VELTCLI_SetValue(VELTCLI_HANDLE handle, const char* name, const char* value) {
  return velt::SetValue(SessionOf(handle), name, value);
}

VELTCLI_API int VELTCLI_SetVal(VELTCLI_HANDLE handle, const char* name, const unsigned char* data, long length) {
  return velt::StoreBinary(SessionOf(handle), name, data, length);
}

VELTCLI_API int VELTCLI_RsCreate(VELTCLI_HANDLE handle, const char* cursorName, int columns, const char* names) {
  return velt::StartTable(SessionOf(handle), cursorName, columns, names, true);
}

VELTCLI_API int VELTCLI_RsNewTable(VELTCLI_HANDLE handle, const char* cursorName, int columns, const char* names) {
  return velt::StartTable(SessionOf(handle), cursorName, columns, names, false);
}

VELTCLI_API int VELTCLI_RsAddRow(VELTCLI_HANDLE handle) { return velt::RsAddRow(SessionOf(handle)); }

VELTCLI_API int VELTCLI_RsSetCol(VELTCLI_HANDLE handle, int column, const char* value) {
  return velt::RsSetCol(SessionOf(handle), column, value);
}

VELTCLI_API int VELTCLI_RsSetColByName(VELTCLI_HANDLE handle, const char* column, const char* value) {
  return velt::RsSetColByName(SessionOf(handle), column, value);
}

VELTCLI_API int VELTCLI_RsSetVal(VELTCLI_HANDLE handle, int column, const unsigned char* data, long length) {
  return velt::RsSetVal(SessionOf(handle), column, data, length);
}

VELTCLI_API int VELTCLI_RsSetValByName(VELTCLI_HANDLE handle, const char* column, const unsigned char* data,
                                       long length) {
  return velt::RsSetValByName(SessionOf(handle), column, data, length);
}

VELTCLI_API int VELTCLI_RsSaveRow(VELTCLI_HANDLE handle) { return velt::RsSaveRow(SessionOf(handle)); }

VELTCLI_API int VELTCLI_GetValue(VELTCLI_HANDLE handle, const char* name, char* value, int len) {
  return velt::GetValue(SessionOf(handle), name, value, len);
}

VELTCLI_API int VELTCLI_GetVal(VELTCLI_HANDLE handle, const char* name, unsigned char** data, long* length) {
  return velt::GetVal(SessionOf(handle), name, data, length);
}

VELTCLI_API int VELTCLI_RsOpen(VELTCLI_HANDLE handle) { return velt::RsOpen(SessionOf(handle)); }

VELTCLI_API int VELTCLI_RsMore(VELTCLI_HANDLE handle) { return velt::RsMore(SessionOf(handle)); }

VELTCLI_API int VELTCLI_SQLNumResultCols(VELTCLI_HANDLE handle, int* columns) {
  return velt::SQLNumResultCols(SessionOf(handle), columns);
}

VELTCLI_API int VELTCLI_RsFetchRow(VELTCLI_HANDLE handle) { return velt::RsFetchRow(SessionOf(handle)); }

VELTCLI_API int VELTCLI_RsFetchRowScroll(VELTCLI_HANDLE handle, int orientation, int offset) {
  return velt::RsFetchRowScroll(SessionOf(handle), orientation, offset);
}

VELTCLI_API int VELTCLI_RsGetCol(VELTCLI_HANDLE handle, int column, char* value) {
  return velt::RsGetCol(SessionOf(handle), column, value);
}

VELTCLI_API int VELTCLI_RsGetColByName(VELTCLI_HANDLE handle, const char* column, char* value) {
  return velt::RsGetColByName(SessionOf(handle), column, value);
}

VELTCLI_API int VELTCLI_RsGetVal(VELTCLI_HANDLE handle, int column, unsigned char** data, long* length) {
  return velt::RsGetVal(SessionOf(handle), column, data, length);
}

VELTCLI_API int VELTCLI_RsGetValByName(VELTCLI_HANDLE handle, const char* column, unsigned char** data,
                                       long* length) {
  return velt::RsGetValByName(SessionOf(handle), column, data, length);
}

VELTCLI_API int VELTCLI_RsGetColName(VELTCLI_HANDLE handle, int column, char* name, int len) {
  return velt::RsGetColName(SessionOf(handle), column, name, len, true);
}

VELTCLI_API int VELTCLI_SQLGetColName(VELTCLI_HANDLE handle, int column, char* name, int len) {
  return velt::RsGetColName(SessionOf(handle), column, name, len, false);
}

VELTCLI_API int VELTCLI_RsGetColNames(VELTCLI_HANDLE handle, char* names, int len) {
  return velt::RsGetColNames(SessionOf(handle), names, len);
}

VELTCLI_API int VELTCLI_RsGetColNum(VELTCLI_HANDLE handle, int* columns) {
  return velt::RsGetColNum(SessionOf(handle), columns);
}

VELTCLI_API int VELTCLI_RsGetRowNum(VELTCLI_HANDLE handle, int* rows) {
  return velt::RsGetRowNum(SessionOf(handle), rows);
}

VELTCLI_API int VELTCLI_RsGetTableColNum(VELTCLI_HANDLE handle, int table, int* columns) {
  return velt::RsGetTableNum(SessionOf(handle), table, columns, false);
}

VELTCLI_API int VELTCLI_RsGetTableRowNum(VELTCLI_HANDLE handle, int table, int* rows) {
  return velt::RsGetTableNum(SessionOf(handle), table, rows, true);
}

VELTCLI_API int VELTCLI_RsGetCursorName(VELTCLI_HANDLE handle, char* name, int len) {
  return velt::RsGetCursorName(SessionOf(handle), name, len);
}

VELTCLI_API int VELTCLI_RsClose(VELTCLI_HANDLE handle) { return velt::RsClose(SessionOf(handle)); }

VELTCLI_API int VELTCLI_Convert(VELTCLI_HANDLE /*handle*/, const char* definition, int sourceOrder,
                                const void* source, int sourceLength, int destinationOrder, void* destination,
                                int destinationLength, int /*reserved*/) {
  return velt::ConvertStructs(definition, sourceOrder, source, sourceLength, destinationOrder, destination,
                              destinationLength);
}

}  // extern "C"
