/* lunqcli: the business-platform client interface — the bus client's operations under the prefix
 * LUNQCLI_, with handles a Java int can hold.
 *
 * Conventions for every function:
 *  - The first argument is a LUNQCLI_HANDLE from LUNQCLI_Init: a small positive integer (at most
 *    2147483647) naming an entry of the library's handle table, never an address. A value that
 *    LUNQCLI_Init did not return, or that LUNQCLI_Exit has released, is refused with
 *    LUNQCLI_E_HANDLE and nothing else happens; released values are not handed out again until
 *    32767 more handles have used their table entry. One handle is used by one thread at a time;
 *    different handles may be used by different threads at once.
 *  - Arguments and results are those of the bus client's function of the same name (VELTCLI_ for
 *    LUNQCLI_, docs/veltcli.md), except as noted below: the calls take no version, GetOptions
 *    counts records for ids 0 and 12. Results are int codes, 0 is success everywhere.
 *  - Caller buffers stay the caller's and are never written past the length stated. Pointers the
 *    library returns point into buffers it owns: valid until the next call of the same kind on
 *    that handle or its exit; never freed by the caller (except the SSL blocks, see below).
 *  - No exception escapes a function.
 *  - Records are packed, pointer-free and have the layouts (and sizes) of the bus client's.
 * docs/lunqcli.md lists the differences and the codes.
 */
#ifndef VELT_LUNQCLI_H
#define VELT_LUNQCLI_H

#include <stdint.h>

#if defined(_WIN32)
#  if defined(LUNQCLI_BUILD)
#    define LUNQCLI_API __declspec(dllexport)
#  else
#    define LUNQCLI_API __declspec(dllimport)
#  endif
#else
#  define LUNQCLI_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* A handle: pointer-sized, holding a small positive integer; 0 is never a handle. */
typedef intptr_t LUNQCLI_HANDLE;

/* The one code of this library's own, for a handle it did not issue or has released. Chosen
 * outside every code the bus client and its server statuses use in practice. */
#define LUNQCLI_E_HANDLE (-3001)

#pragma pack(push, 1)

/* One server-list entry (173 bytes), the bus client's tagVELTConnectOption. */
typedef struct tagLUNQConnectOption {
  char szServerName[33];
  int nProtocal;
  char szAddress[33];
  int nPort;
  char szSendQName[33];
  char szReceiveQName[33];
  char szReserved[33];
} tagLUNQConnectOption;

/* A full server-list entry (559 bytes), the bus client's tagVELTConnectOptionEx. */
typedef struct tagLUNQConnectOptionEx {
  char szServerName[33];
  int nProtocal;
  char szAddress[33];
  int nPort;
  char szSendQName[33];
  char szReceiveQName[33];
  char szReserved[33];
  char szProxy[129];
  char szSSL[257];
} tagLUNQConnectOptionEx;

/* The call-control record (113 bytes), the bus client's tagAsyncCall. */
typedef struct tagLUNQAsyncCall {
  int nFlags;
  char szId[27];
  char szMsgId[33];
  char szCorrId[33];
  int nExpiry;
  int nPriority;
  long long tTimeStamp;
} tagLUNQAsyncCall;

#pragma pack(pop)

typedef char lunqcli_check_size_113[(sizeof(tagLUNQAsyncCall) == 113) ? 1 : -1];
typedef char lunqcli_check_size_173[(sizeof(tagLUNQConnectOption) == 173) ? 1 : -1];
typedef char lunqcli_check_size_559[(sizeof(tagLUNQConnectOptionEx) == 559) ? 1 : -1];

/* ---- Handle and errors ------------------------------------------------------------------------
 * LUNQCLI_Init: 0 and *handle set; 1 and *handle 0 when no client could be made (memory, or
 *   65535 handles live at once) or handle is null. LUNQCLI_Exit: releases the handle (it is then
 *   refused) and returns what ending the client returns; 1 for handle 0. */
LUNQCLI_API int LUNQCLI_Init(LUNQCLI_HANDLE *handle);
LUNQCLI_API int LUNQCLI_Exit(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_GetVersion(LUNQCLI_HANDLE handle, int *version);
LUNQCLI_API int LUNQCLI_GetErr(LUNQCLI_HANDLE handle, int *code, char *message);
LUNQCLI_API int LUNQCLI_GetErrorCode(LUNQCLI_HANDLE handle, int *code);
LUNQCLI_API int LUNQCLI_GetErrorMsg(LUNQCLI_HANDLE handle, char *message);

/* ---- Options, connecting, unsolicited messages -----------------------------------------------
 * LUNQCLI_GetOptions for ids 0 and 12 counts records (173 and 559 bytes): in, *count is the room
 *   in records (16 at most are written; more room is left alone); out, the number of records up
 *   to and including the last one in use (a server name or address set). Records after it within
 *   the room are zero-filled for id 0. 1 when *count < 1 or a pointer is null. Other ids take
 *   *count as a length in bytes, as the bus client does. */
LUNQCLI_API int LUNQCLI_SetConnectOption(LUNQCLI_HANDLE handle, tagLUNQConnectOption option);
LUNQCLI_API int LUNQCLI_GetConnectOption(LUNQCLI_HANDLE handle, tagLUNQConnectOption *option);
LUNQCLI_API int LUNQCLI_SetOption(LUNQCLI_HANDLE handle, int id, const void *value);
LUNQCLI_API int LUNQCLI_GetOption(LUNQCLI_HANDLE handle, int id, void *value);
LUNQCLI_API int LUNQCLI_SetOptions(LUNQCLI_HANDLE handle, int id, const void *value, int length);
LUNQCLI_API int LUNQCLI_GetOptions(LUNQCLI_HANDLE handle, int id, void *value, int *count);
LUNQCLI_API int LUNQCLI_SetSystemParam(LUNQCLI_HANDLE handle, int id, const char *text);
LUNQCLI_API int LUNQCLI_GetSystemParam(LUNQCLI_HANDLE handle, int id, char *text, int length);
LUNQCLI_API int LUNQCLI_SetCliTimeOut(LUNQCLI_HANDLE handle, int seconds);
LUNQCLI_API int LUNQCLI_GetCommLen(LUNQCLI_HANDLE handle, int *length);
LUNQCLI_API int LUNQCLI_ConnectServer(LUNQCLI_HANDLE handle, const char *server, const char *user,
                                      const char *password);
LUNQCLI_API int LUNQCLI_SQLConnect(LUNQCLI_HANDLE handle, const char *server, const char *user, const char *password);
LUNQCLI_API int LUNQCLI_DisConnect(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_DisConnectForce(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_SQLDisconnect(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_Notify(LUNQCLI_HANDLE handle, void *a2, void *a3, void *a4, void *a5);
LUNQCLI_API int LUNQCLI_Broadcast(LUNQCLI_HANDLE handle, void *a2, void *a3, void *a4, void *a5, void *a6, void *a7);
LUNQCLI_API int LUNQCLI_CheckUnsoliciety(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_SetUnsoliciety(LUNQCLI_HANDLE handle);

/* ---- Certificates and envelopes: blocks from SSLEncrypt/SSLDecrypt are released with
 * LUNQCLI_FreeMemory on any live handle. */
LUNQCLI_API int LUNQCLI_SSLVerifyCertPasswd(LUNQCLI_HANDLE handle, const char *keyFile, const char *password);
LUNQCLI_API int LUNQCLI_SSLModifyCertPasswd(LUNQCLI_HANDLE handle, const char *keyFile, const char *oldPassword,
                                            const char *newPassword);
LUNQCLI_API int LUNQCLI_SSLEncrypt(LUNQCLI_HANDLE handle, const char *keyFile, const char *password,
                                   const char *data, int length, char **out, int *outLength);
LUNQCLI_API int LUNQCLI_SSLDecrypt(LUNQCLI_HANDLE handle, const char *keyFile, const char *password,
                                   const char *data, int length, char **out, int *outLength);
LUNQCLI_API int LUNQCLI_SSLGetCertInfo(LUNQCLI_HANDLE handle, const char *certFile, int infoType, int nid,
                                       char *text, int size);
LUNQCLI_API int LUNQCLI_FreeMemory(LUNQCLI_HANDLE handle, void *block);

/* ---- Service calls and transactions (no version argument: the bus client's default applies) ---
 * The asynchronous forms fill *call as the bus client fills its record; a null call makes them
 * synchronous. LUNQCLI_Cancel ignores its record (callers pass null). */
LUNQCLI_API int LUNQCLI_BeginWrite(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_CallProgram(LUNQCLI_HANDLE handle, const char *serviceId);
LUNQCLI_API int LUNQCLI_CallProgramAndCommit(LUNQCLI_HANDLE handle, const char *serviceId);
LUNQCLI_API int LUNQCLI_ACallProgram(LUNQCLI_HANDLE handle, const char *serviceId, tagLUNQAsyncCall *call);
LUNQCLI_API int LUNQCLI_ACallProgramAndCommit(LUNQCLI_HANDLE handle, const char *serviceId, tagLUNQAsyncCall *call);
LUNQCLI_API int LUNQCLI_GetReply(LUNQCLI_HANDLE handle, tagLUNQAsyncCall *call);
LUNQCLI_API int LUNQCLI_Cancel(LUNQCLI_HANDLE handle, tagLUNQAsyncCall *call);
LUNQCLI_API int LUNQCLI_Commit(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_RollBack(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_SQLExecute(LUNQCLI_HANDLE handle, const char *serviceId);
LUNQCLI_API int LUNQCLI_SQLEndTran(LUNQCLI_HANDLE handle, int callType);
LUNQCLI_API int LUNQCLI_SQLCloseCursor(LUNQCLI_HANDLE handle);

/* ---- Request building ------------------------------------------------------------------------ */
LUNQCLI_API int LUNQCLI_SetValue(LUNQCLI_HANDLE handle, const char *name, const char *value);
LUNQCLI_API int LUNQCLI_DFSetValue(LUNQCLI_HANDLE handle, const char *name, const char *value);
LUNQCLI_API int LUNQCLI_SetVal(LUNQCLI_HANDLE handle, const char *name, const unsigned char *data, long length);
LUNQCLI_API int LUNQCLI_DFSetVal(LUNQCLI_HANDLE handle, const char *name, const unsigned char *data, long length);
LUNQCLI_API int LUNQCLI_RsCreate(LUNQCLI_HANDLE handle, const char *cursorName, int columns, const char *names);
LUNQCLI_API int LUNQCLI_RsNewTable(LUNQCLI_HANDLE handle, const char *cursorName, int columns, const char *names);
LUNQCLI_API int LUNQCLI_RsAddRow(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_RsSetCol(LUNQCLI_HANDLE handle, int column, const char *value);
LUNQCLI_API int LUNQCLI_RsSetColByName(LUNQCLI_HANDLE handle, const char *column, const char *value);
LUNQCLI_API int LUNQCLI_RsSetVal(LUNQCLI_HANDLE handle, int column, const unsigned char *data, long length);
LUNQCLI_API int LUNQCLI_RsSetValByName(LUNQCLI_HANDLE handle, const char *column, const unsigned char *data,
                                       long length);
LUNQCLI_API int LUNQCLI_RsSaveRow(LUNQCLI_HANDLE handle);

/* ---- Answer values and result sets -------------------------------------------------------------
 * LUNQCLI_GetVal, LUNQCLI_RsGetVal, LUNQCLI_RsGetValByName (and the DF form): *data points into a
 * buffer the library owns, valid until the next of these calls on the handle or its exit; copy the
 * bytes at once and free nothing. */
LUNQCLI_API int LUNQCLI_GetValue(LUNQCLI_HANDLE handle, const char *name, char *value, int len);
LUNQCLI_API int LUNQCLI_DFGetValue(LUNQCLI_HANDLE handle, const char *name, char *value, int len);
LUNQCLI_API int LUNQCLI_GetVal(LUNQCLI_HANDLE handle, const char *name, unsigned char **data, long *length);
LUNQCLI_API int LUNQCLI_DFGetVal(LUNQCLI_HANDLE handle, const char *name, unsigned char **data, long *length);
LUNQCLI_API int LUNQCLI_RsOpen(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_RsMore(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_SQLMoreResults(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_SQLNumResultCols(LUNQCLI_HANDLE handle, int *columns);
LUNQCLI_API int LUNQCLI_RsFetchRow(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_SQLFetch(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_RsFetchRowScroll(LUNQCLI_HANDLE handle, int orientation, int offset);
LUNQCLI_API int LUNQCLI_SQLFetchScroll(LUNQCLI_HANDLE handle, int orientation, int offset);
LUNQCLI_API int LUNQCLI_RsGetCol(LUNQCLI_HANDLE handle, int column, char *value);
LUNQCLI_API int LUNQCLI_RsGetColByName(LUNQCLI_HANDLE handle, const char *column, char *value);
LUNQCLI_API int LUNQCLI_RsGetVal(LUNQCLI_HANDLE handle, int column, unsigned char **data, long *length);
LUNQCLI_API int LUNQCLI_RsGetValByName(LUNQCLI_HANDLE handle, const char *column, unsigned char **data, long *length);
LUNQCLI_API int LUNQCLI_RsGetColName(LUNQCLI_HANDLE handle, int column, char *name, int len);
LUNQCLI_API int LUNQCLI_SQLGetColName(LUNQCLI_HANDLE handle, int column, char *name, int len);
LUNQCLI_API int LUNQCLI_RsGetColNames(LUNQCLI_HANDLE handle, char *names, int len);
LUNQCLI_API int LUNQCLI_SQLGetColNames(LUNQCLI_HANDLE handle, char *names, int len);
LUNQCLI_API int LUNQCLI_RsGetColNum(LUNQCLI_HANDLE handle, int *columns);
LUNQCLI_API int LUNQCLI_RsGetRowNum(LUNQCLI_HANDLE handle, int *rows);
LUNQCLI_API int LUNQCLI_RsGetTableColNum(LUNQCLI_HANDLE handle, int table, int *columns);
LUNQCLI_API int LUNQCLI_RsGetTableRowNum(LUNQCLI_HANDLE handle, int table, int *rows);
LUNQCLI_API int LUNQCLI_RsGetCursorName(LUNQCLI_HANDLE handle, char *name, int len);
LUNQCLI_API int LUNQCLI_SQLGetCursorName(LUNQCLI_HANDLE handle, char *name, int len);
LUNQCLI_API int LUNQCLI_RsClose(LUNQCLI_HANDLE handle);

/* ---- Structure conversion ---------------------------------------------------------------------- */
LUNQCLI_API int LUNQCLI_Convert(LUNQCLI_HANDLE handle, const char *definition, int sourceOrder, const void *source,
                                int sourceLength, int destinationOrder, void *destination, int destinationLength,
                                int reserved);

/* ---- Components and repeating groups (pointers they return belong to the library) ------------ */
LUNQCLI_API int LUNQCLI_CBCreate(LUNQCLI_HANDLE handle, const char *name);
LUNQCLI_API int LUNQCLI_CBDestroy(LUNQCLI_HANDLE handle, const char *name);
LUNQCLI_API int LUNQCLI_CBSetCurr(LUNQCLI_HANDLE handle, const char *name);
LUNQCLI_API int LUNQCLI_CBWrite(LUNQCLI_HANDLE handle, const char *name);
LUNQCLI_API int LUNQCLI_CBOpen(LUNQCLI_HANDLE handle, const char *name);
LUNQCLI_API int LUNQCLI_CBClose(LUNQCLI_HANDLE handle, const char *name);
LUNQCLI_API int LUNQCLI_CBSetValue(LUNQCLI_HANDLE handle, const char *name, const char *value);
LUNQCLI_API int LUNQCLI_CBSetVal(LUNQCLI_HANDLE handle, const char *name, const unsigned char *data, long length);
LUNQCLI_API int LUNQCLI_CBSetSubCBValue(LUNQCLI_HANDLE handle, const char *name);
LUNQCLI_API int LUNQCLI_CBGetValue(LUNQCLI_HANDLE handle, const char *name, char *buffer, int len);
LUNQCLI_API int LUNQCLI_CBGetVal(LUNQCLI_HANDLE handle, const char *name, unsigned char **data, long *length);
LUNQCLI_API int LUNQCLI_CBGetSubCBValue(LUNQCLI_HANDLE handle, const char *name);
LUNQCLI_API int LUNQCLI_RGCreate(LUNQCLI_HANDLE handle, const char *name, const char *columnNames);
LUNQCLI_API int LUNQCLI_RGDestroy(LUNQCLI_HANDLE handle, const char *name);
LUNQCLI_API int LUNQCLI_RGSetCurr(LUNQCLI_HANDLE handle, const char *name);
LUNQCLI_API int LUNQCLI_RGWrite(LUNQCLI_HANDLE handle, const char *name);
LUNQCLI_API int LUNQCLI_RGOpen(LUNQCLI_HANDLE handle, const char *name);
LUNQCLI_API int LUNQCLI_RGClose(LUNQCLI_HANDLE handle, const char *name);
LUNQCLI_API int LUNQCLI_RGAddRow(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_RGSetCol(LUNQCLI_HANDLE handle, int column, const char *value);
LUNQCLI_API int LUNQCLI_RGSetColByName(LUNQCLI_HANDLE handle, const char *column, const char *value);
LUNQCLI_API int LUNQCLI_RGSetVal(LUNQCLI_HANDLE handle, int column, const unsigned char *data, long length);
LUNQCLI_API int LUNQCLI_RGSetValByName(LUNQCLI_HANDLE handle, const char *column, const unsigned char *data,
                                       long length);
LUNQCLI_API int LUNQCLI_RGSetSubCBRGValue(LUNQCLI_HANDLE handle, int column, int kind);
LUNQCLI_API int LUNQCLI_RGSetSubCBRGValueByName(LUNQCLI_HANDLE handle, const char *column, int kind);
LUNQCLI_API int LUNQCLI_RGGetValue(LUNQCLI_HANDLE handle, int row, const char *column, char *buffer, int len);
LUNQCLI_API int LUNQCLI_RGGetVal(LUNQCLI_HANDLE handle, int row, const char *column, unsigned char **data,
                                 long *length);
LUNQCLI_API int LUNQCLI_RGGetColNames(LUNQCLI_HANDLE handle, char *buffer, int len);
LUNQCLI_API int LUNQCLI_RGGetColName(LUNQCLI_HANDLE handle, int column, char *buffer, int len);
LUNQCLI_API int LUNQCLI_RGGetRowNum(LUNQCLI_HANDLE handle, int *count);
LUNQCLI_API int LUNQCLI_RGGetColNum(LUNQCLI_HANDLE handle, int *count);
LUNQCLI_API int LUNQCLI_RGFetchRow(LUNQCLI_HANDLE handle);
LUNQCLI_API int LUNQCLI_RGGetCol(LUNQCLI_HANDLE handle, int column, char *buffer, int len);
LUNQCLI_API int LUNQCLI_RGGetColByName(LUNQCLI_HANDLE handle, const char *column, char *buffer, int len);
LUNQCLI_API int LUNQCLI_RGGetColVal(LUNQCLI_HANDLE handle, int column, unsigned char **data, long *length);
LUNQCLI_API int LUNQCLI_RGGetValByName(LUNQCLI_HANDLE handle, const char *column, unsigned char **data, long *length);
LUNQCLI_API int LUNQCLI_RGGetSubCBRGValue(LUNQCLI_HANDLE handle, int column, int kind);
LUNQCLI_API int LUNQCLI_RGGetSubCBRGValueByName(LUNQCLI_HANDLE handle, const char *column, int kind);
LUNQCLI_API int LUNQCLI_RGSetCurrRowIndex(LUNQCLI_HANDLE handle, int row);
/* ---- Publish and subscribe ----------------------------------------------------------------------
 * LUNQCLI_Subscribe, LUNQCLI_RegisterPublisher, LUNQCLI_Unsubscribe, LUNQCLI_DeregisterPublisher,
 * LUNQCLI_Publish and LUNQCLI_ReceivePublication belong here, on the bus client's
 * information-centre calls with a tagInfoControl kept per call-control record. They come with
 * those calls; until then this library does not export them. */

#ifdef __cplusplus
}
#endif

#endif /* VELT_LUNQCLI_H */
