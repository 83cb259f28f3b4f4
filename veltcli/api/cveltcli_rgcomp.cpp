// CVELTCli methods of the component and repeating-group families: each is the exported function of
// the same name on the object's handle.
#include "CVELTCli.h"

int CVELTCli::CBCreate(const char* name) { return VELTCLI_CBCreate(m_handle, name); }
int CVELTCli::CBDestroy(const char* name) { return VELTCLI_CBDestroy(m_handle, name); }
int CVELTCli::CBSetCurr(const char* name) { return VELTCLI_CBSetCurr(m_handle, name); }
int CVELTCli::CBWrite(const char* name) { return VELTCLI_CBWrite(m_handle, name); }
int CVELTCli::CBOpen(const char* name) { return VELTCLI_CBOpen(m_handle, name); }
int CVELTCli::CBClose(const char* name) { return VELTCLI_CBClose(m_handle, name); }
int CVELTCli::CBSetValue(const char* name, const char* value) { return VELTCLI_CBSetValue(m_handle, name, value); }
int CVELTCli::CBSetVal(const char* name, const unsigned char* data, long length) {
  return VELTCLI_CBSetVal(m_handle, name, data, length);
}
int CVELTCli::CBSetSubCBValue(const char* name) { return VELTCLI_CBSetSubCBValue(m_handle, name); }
int CVELTCli::CBGetValue(const char* name, char* buffer, int len) {
  return VELTCLI_CBGetValue(m_handle, name, buffer, len);
}
int CVELTCli::CBGetVal(const char* name, unsigned char** data, long* length) {
  return VELTCLI_CBGetVal(m_handle, name, data, length);
}
int CVELTCli::CBGetSubCBValue(const char* name) { return VELTCLI_CBGetSubCBValue(m_handle, name); }
int CVELTCli::RGCreate(const char* name, const char* columnNames) {
  return VELTCLI_RGCreate(m_handle, name, columnNames);
}
int CVELTCli::RGDestroy(const char* name) { return VELTCLI_RGDestroy(m_handle, name); }
int CVELTCli::RGSetCurr(const char* name) { return VELTCLI_RGSetCurr(m_handle, name); }
int CVELTCli::RGWrite(const char* name) { return VELTCLI_RGWrite(m_handle, name); }
int CVELTCli::RGOpen(const char* name) { return VELTCLI_RGOpen(m_handle, name); }
int CVELTCli::RGClose(const char* name) { return VELTCLI_RGClose(m_handle, name); }
int CVELTCli::RGAddRow() { return VELTCLI_RGAddRow(m_handle); }
int CVELTCli::RGSetCol(int column, const char* value) { return VELTCLI_RGSetCol(m_handle, column, value); }
int CVELTCli::RGSetColByName(const char* column, const char* value) {
  return VELTCLI_RGSetColByName(m_handle, column, value);
}
int CVELTCli::RGSetVal(int column, const unsigned char* data, long length) {
  return VELTCLI_RGSetVal(m_handle, column, data, length);
}
int CVELTCli::RGSetValByName(const char* column, const unsigned char* data, long length) {
  return VELTCLI_RGSetValByName(m_handle, column, data, length);
}
int CVELTCli::RGSetSubCBRGValue(int column, int kind) { return VELTCLI_RGSetSubCBRGValue(m_handle, column, kind); }
int CVELTCli::RGSetSubCBRGValueByName(const char* column, int kind) {
  return VELTCLI_RGSetSubCBRGValueByName(m_handle, column, kind);
}
int CVELTCli::RGGetValue(int row, const char* column, char* buffer, int len) {
  return VELTCLI_RGGetValue(m_handle, row, column, buffer, len);
}
int CVELTCli::RGGetVal(int row, const char* column, unsigned char** data, long* length) {
  return VELTCLI_RGGetVal(m_handle, row, column, data, length);
}
int CVELTCli::RGGetColNames(char* buffer, int len) { return VELTCLI_RGGetColNames(m_handle, buffer, len); }
int CVELTCli::RGGetColName(int column, char* buffer, int len) {
  return VELTCLI_RGGetColName(m_handle, column, buffer, len);
}
int CVELTCli::RGGetRowNum(int* count) { return VELTCLI_RGGetRowNum(m_handle, count); }
int CVELTCli::RGGetColNum(int* count) { return VELTCLI_RGGetColNum(m_handle, count); }
int CVELTCli::RGFetchRow() { return VELTCLI_RGFetchRow(m_handle); }
int CVELTCli::RGGetCol(int column, char* buffer, int len) { return VELTCLI_RGGetCol(m_handle, column, buffer, len); }
int CVELTCli::RGGetColByName(const char* column, char* buffer, int len) {
  return VELTCLI_RGGetColByName(m_handle, column, buffer, len);
}
int CVELTCli::RGGetColVal(int column, unsigned char** data, long* length) {
  return VELTCLI_RGGetColVal(m_handle, column, data, length);
}
int CVELTCli::RGGetValByName(const char* column, unsigned char** data, long* length) {
  return VELTCLI_RGGetValByName(m_handle, column, data, length);
}
int CVELTCli::RGGetSubCBRGValue(int column, int kind) { return VELTCLI_RGGetSubCBRGValue(m_handle, column, kind); }
int CVELTCli::RGGetSubCBRGValueByName(const char* column, int kind) {
  return VELTCLI_RGGetSubCBRGValueByName(m_handle, column, kind);
}
int CVELTCli::RGSetCurrRowIndex(int row) { return VELTCLI_RGSetCurrRowIndex(m_handle, row); }
