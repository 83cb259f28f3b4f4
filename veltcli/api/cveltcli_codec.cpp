// CVELTCli methods of the request, answer and result-set families: each is the exported
// function of the same name on the object's handle.
#include "CVELTCli.h"

int CVELTCli::BeginWrite() { return VELTCLI_BeginWrite(m_handle); }
int CVELTCli::SetValue(const char* name, const char* value) { return VELTCLI_SetValue(m_handle, name, value); }
int CVELTCli::DFSetValue(const char* name, const char* value) { return VELTCLI_SetValue(m_handle, name, value); }
int CVELTCli::SetVal(const char* name, const unsigned char* data, long length) {
  return VELTCLI_SetVal(m_handle, name, data, length);
}
int CVELTCli::DFSetVal(const char* name, const unsigned char* data, long length) {
  return VELTCLI_SetVal(m_handle, name, data, length);
}
int CVELTCli::GetValue(const char* name, char* value, int len) { return VELTCLI_GetValue(m_handle, name, value, len); }
int CVELTCli::DFGetValue(const char* name, char* value, int len) {
  return VELTCLI_GetValue(m_handle, name, value, len);
}
int CVELTCli::GetVal(const char* name, unsigned char** data, long* length) {
  return VELTCLI_GetVal(m_handle, name, data, length);
}
int CVELTCli::DFGetVal(const char* name, unsigned char** data, long* length) {
  return VELTCLI_GetVal(m_handle, name, data, length);
}

int CVELTCli::RsCreate(const char* cursorName, int columns, const char* names) {
  return VELTCLI_RsCreate(m_handle, cursorName, columns, names);
}
int CVELTCli::RsNewTable(const char* cursorName, int columns, const char* names) {
  return VELTCLI_RsNewTable(m_handle, cursorName, columns, names);
}
int CVELTCli::RsAddRow() { return VELTCLI_RsAddRow(m_handle); }
int CVELTCli::RsSaveRow() { return VELTCLI_RsSaveRow(m_handle); }
int CVELTCli::RsSetCol(int column, const char* value) { return VELTCLI_RsSetCol(m_handle, column, value); }
int CVELTCli::RsSetCol(const char* column, const char* value) { return VELTCLI_RsSetColByName(m_handle, column, value); }
int CVELTCli::RsSetColByName(const char* column, const char* value) {
  return VELTCLI_RsSetColByName(m_handle, column, value);
}

int CVELTCli::RsOpen() { return VELTCLI_RsOpen(m_handle); }
int CVELTCli::RsMore() { return VELTCLI_RsMore(m_handle); }
int CVELTCli::SQLMoreResults() { return VELTCLI_RsMore(m_handle); }
int CVELTCli::RsClose() { return VELTCLI_RsClose(m_handle); }
int CVELTCli::RsFetchRow() { return VELTCLI_RsFetchRow(m_handle); }
int CVELTCli::SQLFetch() { return VELTCLI_RsFetchRow(m_handle); }
int CVELTCli::RsGetCol(int column, char* value) { return VELTCLI_RsGetCol(m_handle, column, value); }
int CVELTCli::RsGetCol(const char* column, char* value) { return VELTCLI_RsGetColByName(m_handle, column, value); }
int CVELTCli::RsGetColByName(const char* column, char* value) {
  return VELTCLI_RsGetColByName(m_handle, column, value);
}
int CVELTCli::RsGetColName(int column, char* name, int len) { return VELTCLI_RsGetColName(m_handle, column, name, len); }
int CVELTCli::SQLGetColName(int column, char* name, int len) {
  return VELTCLI_SQLGetColName(m_handle, column, name, len);
}
int CVELTCli::RsGetColNames(char* names, int len) { return VELTCLI_RsGetColNames(m_handle, names, len); }
int CVELTCli::SQLGetColNames(char* names, int len) { return VELTCLI_RsGetColNames(m_handle, names, len); }
int CVELTCli::RsGetCursorName(char* name, int len) { return VELTCLI_RsGetCursorName(m_handle, name, len); }
int CVELTCli::SQLGetCursorName(char* name, int len) { return VELTCLI_RsGetCursorName(m_handle, name, len); }
int CVELTCli::RsGetRowNum(int* rows) { return VELTCLI_RsGetRowNum(m_handle, rows); }
int CVELTCli::RsGetColNum(int* columns) { return VELTCLI_RsGetColNum(m_handle, columns); }
int CVELTCli::RsGetTableRowNum(int table, int* rows) { return VELTCLI_RsGetTableRowNum(m_handle, table, rows); }
int CVELTCli::RsGetTableColNum(int table, int* columns) {
  return VELTCLI_RsGetTableColNum(m_handle, table, columns);
}
int CVELTCli::SQLNumResultCols(int* columns) { return VELTCLI_SQLNumResultCols(m_handle, columns); }
