// The exported functions: each looks its handle up in the table and forwards to the bus client's
// function of the same name; the few with other arguments convert them here.
#include "lunqcli.h"

#include <cstddef>
#include <cstring>
#include <new>

#include "handle_table.h"
#include "veltcli.h"

namespace {

using velt::lunqcli::Handles;

// The records are the bus client's under other names: same size, same field offsets.
#define SAME_FIELD(a, b, f) static_assert(offsetof(a, f) == offsetof(b, f), #f)
static_assert(sizeof(tagLUNQConnectOption) == sizeof(tagVELTConnectOption));
SAME_FIELD(tagLUNQConnectOption, tagVELTConnectOption, nProtocal);
SAME_FIELD(tagLUNQConnectOption, tagVELTConnectOption, szAddress);
SAME_FIELD(tagLUNQConnectOption, tagVELTConnectOption, nPort);
SAME_FIELD(tagLUNQConnectOption, tagVELTConnectOption, szSendQName);
SAME_FIELD(tagLUNQConnectOption, tagVELTConnectOption, szReceiveQName);
SAME_FIELD(tagLUNQConnectOption, tagVELTConnectOption, szReserved);
static_assert(sizeof(tagLUNQConnectOptionEx) == sizeof(tagVELTConnectOptionEx));
SAME_FIELD(tagLUNQConnectOptionEx, tagVELTConnectOptionEx, szReserved);
SAME_FIELD(tagLUNQConnectOptionEx, tagVELTConnectOptionEx, szProxy);
SAME_FIELD(tagLUNQConnectOptionEx, tagVELTConnectOptionEx, szSSL);
static_assert(sizeof(tagLUNQAsyncCall) == sizeof(tagAsyncCall));
SAME_FIELD(tagLUNQAsyncCall, tagAsyncCall, szId);
SAME_FIELD(tagLUNQAsyncCall, tagAsyncCall, szMsgId);
SAME_FIELD(tagLUNQAsyncCall, tagAsyncCall, szCorrId);
SAME_FIELD(tagLUNQAsyncCall, tagAsyncCall, nExpiry);
SAME_FIELD(tagLUNQAsyncCall, tagAsyncCall, nPriority);
SAME_FIELD(tagLUNQAsyncCall, tagAsyncCall, tTimeStamp);
#undef SAME_FIELD

// Runs `call` with the client a live handle names; LUNQCLI_E_HANDLE for any other value.
template <typename Call>
int WithClient(LUNQCLI_HANDLE handle, Call call) {
  VELTCLI_HANDLE client = nullptr;
  try {
    client = Handles().Find(handle);
  } catch (...) {   // the table's lock failed: the handle cannot be vouched for
    return LUNQCLI_E_HANDLE;
  }
  return client ? call(client) : LUNQCLI_E_HANDLE;
}

// Runs an asynchronous-record call on a copy of the caller's record in the bus client's type.
template <typename Call>
int WithRecord(LUNQCLI_HANDLE handle, tagLUNQAsyncCall* record, Call call) {
  return WithClient(handle, [&](VELTCLI_HANDLE c) {
    if (record == nullptr) return call(c, nullptr);
    tagAsyncCall copy;
    std::memcpy(&copy, record, sizeof copy);
    const int rc = call(c, &copy);
    std::memcpy(record, &copy, sizeof copy);
    return rc;
  });
}

// Is a server-list record in use: a server name or address set.
bool InUse(const unsigned char* record) {
  const auto* entry = reinterpret_cast<const char*>(record);
  return entry[0] != '\0' || entry[offsetof(tagVELTConnectOption, szAddress)] != '\0';
}

// GetOptions for the two server lists: room and result in records.
int GetServerList(VELTCLI_HANDLE c, int id, void* value, int* count) {
  if (value == nullptr || count == nullptr || *count < 1) return 1;
  const int size = id == VELTCLI_OPTION_SERVER_LIST ? static_cast<int>(sizeof(tagVELTConnectOption))
                                                    : static_cast<int>(sizeof(tagVELTConnectOptionEx));
  const int room = *count < 16 ? *count : 16;   // the bus client keeps 16 entries
  int length = room * size;
  const int rc = VELTCLI_GetOptions(c, id, value, &length);
  if (rc != 0) return rc;
  const int written = length / size < room ? length / size : room;
  int used = 0;
  for (int i = 0; i < written; ++i)
    if (InUse(static_cast<const unsigned char*>(value) + static_cast<std::ptrdiff_t>(i) * size)) used = i + 1;
  *count = used;
  return 0;
}

}  // namespace

extern "C" {

LUNQCLI_API int LUNQCLI_Init(LUNQCLI_HANDLE* handle) {
  if (handle == nullptr) return 1;
  *handle = 0;
  VELTCLI_HANDLE client = nullptr;
  const int rc = VELTCLI_Init(&client);
  if (rc != 0 || client == nullptr) return rc != 0 ? rc : 1;
  try {
    *handle = Handles().Add(client);
  } catch (...) {   // memory for the table, or its lock
    *handle = 0;
  }
  if (*handle == 0) {
    VELTCLI_Exit(client);
    return 1;
  }
  return 0;
}

LUNQCLI_API int LUNQCLI_Exit(LUNQCLI_HANDLE handle) {
  if (handle == 0) return 1;
  VELTCLI_HANDLE client = nullptr;
  try {
    client = Handles().Remove(handle);
  } catch (...) {
    return LUNQCLI_E_HANDLE;
  }
  return client ? VELTCLI_Exit(client) : LUNQCLI_E_HANDLE;
}

LUNQCLI_API int LUNQCLI_SetConnectOption(LUNQCLI_HANDLE handle, tagLUNQConnectOption option) {
  return WithClient(handle, [&](VELTCLI_HANDLE c) {
    tagVELTConnectOption copy;
    std::memcpy(&copy, &option, sizeof copy);
    return VELTCLI_SetConnectOption(c, copy);
  });
}

LUNQCLI_API int LUNQCLI_GetConnectOption(LUNQCLI_HANDLE handle, tagLUNQConnectOption* option) {
  return WithClient(handle, [&](VELTCLI_HANDLE c) {
    if (option == nullptr) return VELTCLI_GetConnectOption(c, nullptr);
    tagVELTConnectOption copy;
    std::memcpy(&copy, option, sizeof copy);
    const int rc = VELTCLI_GetConnectOption(c, &copy);
    std::memcpy(option, &copy, sizeof copy);
    return rc;
  });
}

LUNQCLI_API int LUNQCLI_GetOptions(LUNQCLI_HANDLE handle, int id, void* value, int* count) {
  return WithClient(handle, [&](VELTCLI_HANDLE c) {
    if (id == VELTCLI_OPTION_SERVER_LIST || id == VELTCLI_OPTION_SERVER_LIST_EX) return GetServerList(c, id, value, count);
    return VELTCLI_GetOptions(c, id, value, count);
  });
}

LUNQCLI_API int LUNQCLI_CallProgram(LUNQCLI_HANDLE handle, const char* serviceId) {
  return WithClient(handle, [&](VELTCLI_HANDLE c) { return VELTCLI_CallProgram(c, serviceId, nullptr); });
}

LUNQCLI_API int LUNQCLI_CallProgramAndCommit(LUNQCLI_HANDLE handle, const char* serviceId) {
  return WithClient(handle, [&](VELTCLI_HANDLE c) { return VELTCLI_CallProgramAndCommit(c, serviceId, nullptr); });
}

LUNQCLI_API int LUNQCLI_SQLExecute(LUNQCLI_HANDLE handle, const char* serviceId) {
  return WithClient(handle, [&](VELTCLI_HANDLE c) { return VELTCLI_SQLExecute(c, serviceId, nullptr); });
}

LUNQCLI_API int LUNQCLI_ACallProgram(LUNQCLI_HANDLE handle, const char* serviceId, tagLUNQAsyncCall* call) {
  return WithRecord(handle, call,
                    [&](VELTCLI_HANDLE c, tagAsyncCall* r) { return VELTCLI_ACallProgram(c, serviceId, r, nullptr); });
}

LUNQCLI_API int LUNQCLI_ACallProgramAndCommit(LUNQCLI_HANDLE handle, const char* serviceId, tagLUNQAsyncCall* call) {
  return WithRecord(handle, call, [&](VELTCLI_HANDLE c, tagAsyncCall* r) {
    return VELTCLI_ACallProgramAndCommit(c, serviceId, r, nullptr);
  });
}

LUNQCLI_API int LUNQCLI_GetReply(LUNQCLI_HANDLE handle, tagLUNQAsyncCall* call) {
  return WithRecord(handle, call, [](VELTCLI_HANDLE c, tagAsyncCall* r) { return VELTCLI_GetReply(c, r); });
}

LUNQCLI_API int LUNQCLI_Cancel(LUNQCLI_HANDLE handle, tagLUNQAsyncCall* /*call: not read*/) {
  return WithClient(handle, [](VELTCLI_HANDLE c) { return VELTCLI_Cancel(c, nullptr); });
}

// Everything else has the bus client's arguments unchanged.
#define FORWARD(name, params, args) \
  LUNQCLI_API int LUNQCLI_##name params { \
    return WithClient(handle, [&](VELTCLI_HANDLE c) { return VELTCLI_##name args; }); \
  }

FORWARD(GetVersion, (LUNQCLI_HANDLE handle, int *version), (c, version))
FORWARD(GetErr, (LUNQCLI_HANDLE handle, int *code, char *message), (c, code, message))
FORWARD(GetErrorCode, (LUNQCLI_HANDLE handle, int *code), (c, code))
FORWARD(GetErrorMsg, (LUNQCLI_HANDLE handle, char *message), (c, message))
FORWARD(SetOption, (LUNQCLI_HANDLE handle, int id, const void *value), (c, id, value))
FORWARD(GetOption, (LUNQCLI_HANDLE handle, int id, void *value), (c, id, value))
FORWARD(SetOptions, (LUNQCLI_HANDLE handle, int id, const void *value, int length), (c, id, value, length))
FORWARD(SetSystemParam, (LUNQCLI_HANDLE handle, int id, const char *text), (c, id, text))
FORWARD(GetSystemParam, (LUNQCLI_HANDLE handle, int id, char *text, int length), (c, id, text, length))
FORWARD(SetCliTimeOut, (LUNQCLI_HANDLE handle, int seconds), (c, seconds))
FORWARD(GetCommLen, (LUNQCLI_HANDLE handle, int *length), (c, length))
FORWARD(ConnectServer, (LUNQCLI_HANDLE handle, const char *server, const char *user, const char *password), (c, server, user, password))
FORWARD(SQLConnect, (LUNQCLI_HANDLE handle, const char *server, const char *user, const char *password), (c, server, user, password))
FORWARD(DisConnect, (LUNQCLI_HANDLE handle), (c))
FORWARD(DisConnectForce, (LUNQCLI_HANDLE handle), (c))
FORWARD(SQLDisconnect, (LUNQCLI_HANDLE handle), (c))
FORWARD(Notify, (LUNQCLI_HANDLE handle, void *a2, void *a3, void *a4, void *a5), (c, a2, a3, a4, a5))
FORWARD(Broadcast, (LUNQCLI_HANDLE handle, void *a2, void *a3, void *a4, void *a5, void *a6, void *a7), (c, a2, a3, a4, a5, a6, a7))
FORWARD(CheckUnsoliciety, (LUNQCLI_HANDLE handle), (c))
FORWARD(SetUnsoliciety, (LUNQCLI_HANDLE handle), (c))
FORWARD(SSLVerifyCertPasswd, (LUNQCLI_HANDLE handle, const char *keyFile, const char *password), (c, keyFile, password))
FORWARD(SSLModifyCertPasswd, (LUNQCLI_HANDLE handle, const char *keyFile, const char *oldPassword, const char *newPassword), (c, keyFile, oldPassword, newPassword))
FORWARD(SSLEncrypt, (LUNQCLI_HANDLE handle, const char *keyFile, const char *password, const char *data, int length, char **out, int *outLength), (c, keyFile, password, data, length, out, outLength))
FORWARD(SSLDecrypt, (LUNQCLI_HANDLE handle, const char *keyFile, const char *password, const char *data, int length, char **out, int *outLength), (c, keyFile, password, data, length, out, outLength))
FORWARD(SSLGetCertInfo, (LUNQCLI_HANDLE handle, const char *certFile, int infoType, int nid, char *text, int size), (c, certFile, infoType, nid, text, size))
FORWARD(FreeMemory, (LUNQCLI_HANDLE handle, void *block), (c, block))
FORWARD(BeginWrite, (LUNQCLI_HANDLE handle), (c))
FORWARD(Commit, (LUNQCLI_HANDLE handle), (c))
FORWARD(RollBack, (LUNQCLI_HANDLE handle), (c))
FORWARD(SQLEndTran, (LUNQCLI_HANDLE handle, int callType), (c, callType))
FORWARD(SQLCloseCursor, (LUNQCLI_HANDLE handle), (c))
FORWARD(SetValue, (LUNQCLI_HANDLE handle, const char *name, const char *value), (c, name, value))
FORWARD(DFSetValue, (LUNQCLI_HANDLE handle, const char *name, const char *value), (c, name, value))
FORWARD(SetVal, (LUNQCLI_HANDLE handle, const char *name, const unsigned char *data, long length), (c, name, data, length))
FORWARD(DFSetVal, (LUNQCLI_HANDLE handle, const char *name, const unsigned char *data, long length), (c, name, data, length))
FORWARD(RsCreate, (LUNQCLI_HANDLE handle, const char *cursorName, int columns, const char *names), (c, cursorName, columns, names))
FORWARD(RsNewTable, (LUNQCLI_HANDLE handle, const char *cursorName, int columns, const char *names), (c, cursorName, columns, names))
FORWARD(RsAddRow, (LUNQCLI_HANDLE handle), (c))
FORWARD(RsSetCol, (LUNQCLI_HANDLE handle, int column, const char *value), (c, column, value))
FORWARD(RsSetColByName, (LUNQCLI_HANDLE handle, const char *column, const char *value), (c, column, value))
FORWARD(RsSetVal, (LUNQCLI_HANDLE handle, int column, const unsigned char *data, long length), (c, column, data, length))
FORWARD(RsSetValByName, (LUNQCLI_HANDLE handle, const char *column, const unsigned char *data, long length), (c, column, data, length))
FORWARD(RsSaveRow, (LUNQCLI_HANDLE handle), (c))
FORWARD(GetValue, (LUNQCLI_HANDLE handle, const char *name, char *value, int len), (c, name, value, len))
FORWARD(DFGetValue, (LUNQCLI_HANDLE handle, const char *name, char *value, int len), (c, name, value, len))
FORWARD(GetVal, (LUNQCLI_HANDLE handle, const char *name, unsigned char **data, long *length), (c, name, data, length))
FORWARD(DFGetVal, (LUNQCLI_HANDLE handle, const char *name, unsigned char **data, long *length), (c, name, data, length))
FORWARD(RsOpen, (LUNQCLI_HANDLE handle), (c))
FORWARD(RsMore, (LUNQCLI_HANDLE handle), (c))
FORWARD(SQLMoreResults, (LUNQCLI_HANDLE handle), (c))
FORWARD(SQLNumResultCols, (LUNQCLI_HANDLE handle, int *columns), (c, columns))
FORWARD(RsFetchRow, (LUNQCLI_HANDLE handle), (c))
FORWARD(SQLFetch, (LUNQCLI_HANDLE handle), (c))
FORWARD(RsFetchRowScroll, (LUNQCLI_HANDLE handle, int orientation, int offset), (c, orientation, offset))
FORWARD(SQLFetchScroll, (LUNQCLI_HANDLE handle, int orientation, int offset), (c, orientation, offset))
FORWARD(RsGetCol, (LUNQCLI_HANDLE handle, int column, char *value), (c, column, value))
FORWARD(RsGetColByName, (LUNQCLI_HANDLE handle, const char *column, char *value), (c, column, value))
FORWARD(RsGetVal, (LUNQCLI_HANDLE handle, int column, unsigned char **data, long *length), (c, column, data, length))
FORWARD(RsGetValByName, (LUNQCLI_HANDLE handle, const char *column, unsigned char **data, long *length), (c, column, data, length))
FORWARD(RsGetColName, (LUNQCLI_HANDLE handle, int column, char *name, int len), (c, column, name, len))
FORWARD(SQLGetColName, (LUNQCLI_HANDLE handle, int column, char *name, int len), (c, column, name, len))
FORWARD(RsGetColNames, (LUNQCLI_HANDLE handle, char *names, int len), (c, names, len))
FORWARD(SQLGetColNames, (LUNQCLI_HANDLE handle, char *names, int len), (c, names, len))
FORWARD(RsGetColNum, (LUNQCLI_HANDLE handle, int *columns), (c, columns))
FORWARD(RsGetRowNum, (LUNQCLI_HANDLE handle, int *rows), (c, rows))
FORWARD(RsGetTableColNum, (LUNQCLI_HANDLE handle, int table, int *columns), (c, table, columns))
FORWARD(RsGetTableRowNum, (LUNQCLI_HANDLE handle, int table, int *rows), (c, table, rows))
FORWARD(RsGetCursorName, (LUNQCLI_HANDLE handle, char *name, int len), (c, name, len))
FORWARD(SQLGetCursorName, (LUNQCLI_HANDLE handle, char *name, int len), (c, name, len))
FORWARD(RsClose, (LUNQCLI_HANDLE handle), (c))
FORWARD(Convert, (LUNQCLI_HANDLE handle, const char *definition, int sourceOrder, const void *source, int sourceLength, int destinationOrder, void *destination, int destinationLength, int reserved), (c, definition, sourceOrder, source, sourceLength, destinationOrder, destination, destinationLength, reserved))
FORWARD(CBCreate, (LUNQCLI_HANDLE handle, const char *name), (c, name))
FORWARD(CBDestroy, (LUNQCLI_HANDLE handle, const char *name), (c, name))
FORWARD(CBSetCurr, (LUNQCLI_HANDLE handle, const char *name), (c, name))
FORWARD(CBWrite, (LUNQCLI_HANDLE handle, const char *name), (c, name))
FORWARD(CBOpen, (LUNQCLI_HANDLE handle, const char *name), (c, name))
FORWARD(CBClose, (LUNQCLI_HANDLE handle, const char *name), (c, name))
FORWARD(CBSetValue, (LUNQCLI_HANDLE handle, const char *name, const char *value), (c, name, value))
FORWARD(CBSetVal, (LUNQCLI_HANDLE handle, const char *name, const unsigned char *data, long length), (c, name, data, length))
FORWARD(CBSetSubCBValue, (LUNQCLI_HANDLE handle, const char *name), (c, name))
FORWARD(CBGetValue, (LUNQCLI_HANDLE handle, const char *name, char *buffer, int len), (c, name, buffer, len))
FORWARD(CBGetVal, (LUNQCLI_HANDLE handle, const char *name, unsigned char **data, long *length), (c, name, data, length))
FORWARD(CBGetSubCBValue, (LUNQCLI_HANDLE handle, const char *name), (c, name))
FORWARD(RGCreate, (LUNQCLI_HANDLE handle, const char *name, const char *columnNames), (c, name, columnNames))
FORWARD(RGDestroy, (LUNQCLI_HANDLE handle, const char *name), (c, name))
FORWARD(RGSetCurr, (LUNQCLI_HANDLE handle, const char *name), (c, name))
FORWARD(RGWrite, (LUNQCLI_HANDLE handle, const char *name), (c, name))
FORWARD(RGOpen, (LUNQCLI_HANDLE handle, const char *name), (c, name))
FORWARD(RGClose, (LUNQCLI_HANDLE handle, const char *name), (c, name))
FORWARD(RGAddRow, (LUNQCLI_HANDLE handle), (c))
FORWARD(RGSetCol, (LUNQCLI_HANDLE handle, int column, const char *value), (c, column, value))
FORWARD(RGSetColByName, (LUNQCLI_HANDLE handle, const char *column, const char *value), (c, column, value))
FORWARD(RGSetVal, (LUNQCLI_HANDLE handle, int column, const unsigned char *data, long length), (c, column, data, length))
FORWARD(RGSetValByName, (LUNQCLI_HANDLE handle, const char *column, const unsigned char *data, long length), (c, column, data, length))
FORWARD(RGSetSubCBRGValue, (LUNQCLI_HANDLE handle, int column, int kind), (c, column, kind))
FORWARD(RGSetSubCBRGValueByName, (LUNQCLI_HANDLE handle, const char *column, int kind), (c, column, kind))
FORWARD(RGGetValue, (LUNQCLI_HANDLE handle, int row, const char *column, char *buffer, int len), (c, row, column, buffer, len))
FORWARD(RGGetVal, (LUNQCLI_HANDLE handle, int row, const char *column, unsigned char **data, long *length), (c, row, column, data, length))
FORWARD(RGGetColNames, (LUNQCLI_HANDLE handle, char *buffer, int len), (c, buffer, len))
FORWARD(RGGetColName, (LUNQCLI_HANDLE handle, int column, char *buffer, int len), (c, column, buffer, len))
FORWARD(RGGetRowNum, (LUNQCLI_HANDLE handle, int *count), (c, count))
FORWARD(RGGetColNum, (LUNQCLI_HANDLE handle, int *count), (c, count))
FORWARD(RGFetchRow, (LUNQCLI_HANDLE handle), (c))
FORWARD(RGGetCol, (LUNQCLI_HANDLE handle, int column, char *buffer, int len), (c, column, buffer, len))
FORWARD(RGGetColByName, (LUNQCLI_HANDLE handle, const char *column, char *buffer, int len), (c, column, buffer, len))
FORWARD(RGGetColVal, (LUNQCLI_HANDLE handle, int column, unsigned char **data, long *length), (c, column, data, length))
FORWARD(RGGetValByName, (LUNQCLI_HANDLE handle, const char *column, unsigned char **data, long *length), (c, column, data, length))
FORWARD(RGGetSubCBRGValue, (LUNQCLI_HANDLE handle, int column, int kind), (c, column, kind))
FORWARD(RGGetSubCBRGValueByName, (LUNQCLI_HANDLE handle, const char *column, int kind), (c, column, kind))
FORWARD(RGSetCurrRowIndex, (LUNQCLI_HANDLE handle, int row), (c, row))

#undef FORWARD

}  // extern "C"
