// Exported component and repeating-group functions: each forwards to the handle's store, except
// the write and open calls, which carry the object through the packet text as one named value.
// The store's operations throw nothing (allocation failure is their -5); only the two packet
// steps run under the guard, for the text they hold.
#include <string>

#include "api/api_guard.h"
#include "rgcomp/rpg_comp_codes.h"
#include "veltcli.h"

using velt::IRpgComp;
using velt::StoreOf;

namespace {

using WriteSlot = int (IRpgComp::*)(const char*, std::string&);
using OpenSlot = int (IRpgComp::*)(const char*, const char*, long);

// The slot's text becomes the packet value `name`; a storing failure is SetValue's own code.
int WriteToPacket(VELTCLI_HANDLE handle, const char* name, WriteSlot slot) {
  return velt::Guarded(velt::kRpgNoMemory, [&] {
    std::string text;
    const int rc = (StoreOf(handle).*slot)(name, text);
    return rc != velt::kRpgOk ? rc : VELTCLI_SetValue(handle, name, text.c_str());
  });
}

// The packet value `name` is read first; a missing one is GetVal's own code.
int OpenFromPacket(VELTCLI_HANDLE handle, const char* name, OpenSlot slot) {
  return velt::Guarded(velt::kRpgNoMemory, [&] {
    unsigned char* data = nullptr;
    long length = 0;
    const int rc = VELTCLI_GetVal(handle, name, &data, &length);
    return rc != 0 ? rc : (StoreOf(handle).*slot)(name, reinterpret_cast<const char*>(data), length);
  });
}

}  // namespace

extern "C" {

VELTCLI_API int VELTCLI_CBCreate(VELTCLI_HANDLE handle, const char* name) { return StoreOf(handle).CBCreate(name); }

VELTCLI_API int VELTCLI_CBDestroy(VELTCLI_HANDLE handle, const char* name) { return StoreOf(handle).CBDestroy(name); }

VELTCLI_API int VELTCLI_CBSetCurr(VELTCLI_HANDLE handle, const char* name) { return StoreOf(handle).CBSetCurr(name); }

VELTCLI_API int VELTCLI_CBWrite(VELTCLI_HANDLE handle, const char* name) {
  return WriteToPacket(handle, name, &IRpgComp::CBWrite);
}

VELTCLI_API int VELTCLI_CBOpen(VELTCLI_HANDLE handle, const char* name) {
  return OpenFromPacket(handle, name, &IRpgComp::CBOpen);
}

VELTCLI_API int VELTCLI_CBClose(VELTCLI_HANDLE handle, const char* name) { return StoreOf(handle).CBClose(name); }

VELTCLI_API int VELTCLI_CBSetValue(VELTCLI_HANDLE handle, const char* name, const char* value) {
  return StoreOf(handle).CBSetValue(name, value);
}

VELTCLI_API int VELTCLI_CBSetVal(VELTCLI_HANDLE handle, const char* name, const unsigned char* data, long length) {
  return StoreOf(handle).CBSetVal(name, data, length);
}

VELTCLI_API int VELTCLI_CBSetSubCBValue(VELTCLI_HANDLE handle, const char* name) {
  return StoreOf(handle).CBSetSubCBValue(name);
}

VELTCLI_API int VELTCLI_CBGetValue(VELTCLI_HANDLE handle, const char* name, char* buffer, int len) {
  return StoreOf(handle).CBGetValue(name, buffer, len);
}

VELTCLI_API int VELTCLI_CBGetVal(VELTCLI_HANDLE handle, const char* name, unsigned char** data, long* length) {
  return StoreOf(handle).CBGetVal(name, data, length);
}

VELTCLI_API int VELTCLI_CBGetSubCBValue(VELTCLI_HANDLE handle, const char* name) {
  return StoreOf(handle).CBGetSubCBValue(name);
}

VELTCLI_API int VELTCLI_RGCreate(VELTCLI_HANDLE handle, const char* name, const char* columnNames) {
  return StoreOf(handle).RGCreate(name, columnNames);
}

VELTCLI_API int VELTCLI_RGDestroy(VELTCLI_HANDLE handle, const char* name) { return StoreOf(handle).RGDestroy(name); }

VELTCLI_API int VELTCLI_RGSetCurr(VELTCLI_HANDLE handle, const char* name) { return StoreOf(handle).RGSetCurr(name); }

VELTCLI_API int VELTCLI_RGWrite(VELTCLI_HANDLE handle, const char* name) {
  return WriteToPacket(handle, name, &IRpgComp::RGWrite);
}

VELTCLI_API int VELTCLI_RGOpen(VELTCLI_HANDLE handle, const char* name) {
  return OpenFromPacket(handle, name, &IRpgComp::RGOpen);
}

VELTCLI_API int VELTCLI_RGClose(VELTCLI_HANDLE handle, const char* name) { return StoreOf(handle).RGClose(name); }

VELTCLI_API int VELTCLI_RGAddRow(VELTCLI_HANDLE handle) { return StoreOf(handle).RGAddRow(); }

VELTCLI_API int VELTCLI_RGSetCol(VELTCLI_HANDLE handle, int column, const char* value) {
  return StoreOf(handle).RGSetCol(column, value);
}

VELTCLI_API int VELTCLI_RGSetColByName(VELTCLI_HANDLE handle, const char* column, const char* value) {
  return StoreOf(handle).RGSetColByName(column, value);
}

VELTCLI_API int VELTCLI_RGSetVal(VELTCLI_HANDLE handle, int column, const unsigned char* data, long length) {
  return StoreOf(handle).RGSetVal(column, data, length);
}

VELTCLI_API int VELTCLI_RGSetValByName(VELTCLI_HANDLE handle, const char* column, const unsigned char* data,
                                       long length) {
  return StoreOf(handle).RGSetValByName(column, data, length);
}

VELTCLI_API int VELTCLI_RGSetSubCBRGValue(VELTCLI_HANDLE handle, int column, int kind) {
  return StoreOf(handle).RGSetSubCBRGValue(column, kind);
}

VELTCLI_API int VELTCLI_RGSetSubCBRGValueByName(VELTCLI_HANDLE handle, const char* column, int kind) {
  return StoreOf(handle).RGSetSubCBRGValueByName(column, kind);
}

VELTCLI_API int VELTCLI_RGGetValue(VELTCLI_HANDLE handle, int row, const char* column, char* buffer, int len) {
  return StoreOf(handle).RGGetValue(row, column, buffer, len);
}

VELTCLI_API int VELTCLI_RGGetVal(VELTCLI_HANDLE handle, int row, const char* column, unsigned char** data,
                                 long* length) {
  return StoreOf(handle).RGGetVal(row, column, data, length);
}

VELTCLI_API int VELTCLI_RGGetColNames(VELTCLI_HANDLE handle, char* buffer, int len) {
  return StoreOf(handle).RGGetColNames(buffer, len);
}

VELTCLI_API int VELTCLI_RGGetColName(VELTCLI_HANDLE handle, int column, char* buffer, int len) {
  return StoreOf(handle).RGGetColName(column, buffer, len);
}

VELTCLI_API int VELTCLI_RGGetRowNum(VELTCLI_HANDLE handle, int* count) { return StoreOf(handle).RGGetRowNum(count); }

VELTCLI_API int VELTCLI_RGGetColNum(VELTCLI_HANDLE handle, int* count) { return StoreOf(handle).RGGetColNum(count); }

VELTCLI_API int VELTCLI_RGFetchRow(VELTCLI_HANDLE handle) { return StoreOf(handle).RGFetchRow(); }

VELTCLI_API int VELTCLI_RGGetCol(VELTCLI_HANDLE handle, int column, char* buffer, int len) {
  return StoreOf(handle).RGGetCol(column, buffer, len);
}

VELTCLI_API int VELTCLI_RGGetColByName(VELTCLI_HANDLE handle, const char* column, char* buffer, int len) {
  return StoreOf(handle).RGGetColByName(column, buffer, len);
}

VELTCLI_API int VELTCLI_RGGetColVal(VELTCLI_HANDLE handle, int column, unsigned char** data, long* length) {
  return StoreOf(handle).RGGetColVal(column, data, length);
}

VELTCLI_API int VELTCLI_RGGetValByName(VELTCLI_HANDLE handle, const char* column, unsigned char** data,
                                       long* length) {
  return StoreOf(handle).RGGetValByName(column, data, length);
}

VELTCLI_API int VELTCLI_RGGetSubCBRGValue(VELTCLI_HANDLE handle, int column, int kind) {
  return StoreOf(handle).RGGetSubCBRGValue(column, kind);
}

VELTCLI_API int VELTCLI_RGGetSubCBRGValueByName(VELTCLI_HANDLE handle, const char* column, int kind) {
  return StoreOf(handle).RGGetSubCBRGValueByName(column, kind);
}

VELTCLI_API int VELTCLI_RGSetCurrRowIndex(VELTCLI_HANDLE handle, int row) {
  return StoreOf(handle).RGSetCurrRowIndex(row);
}

}  // extern "C"
