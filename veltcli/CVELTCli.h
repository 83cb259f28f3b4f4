/* CVELTCli: the bus client library's C++ class, one object per client handle.
 *
 * Each method behaves exactly as the VELTCLI_ function of the same name on the object's handle
 * (veltcli.h gives the codes). The constructor creates a new handle (never one from the pool) and
 * throws std::bad_alloc when it cannot; the destructor destroys it (never into the pool).
 * Copies share one handle: it is destroyed when the last object sharing it goes. An object is used
 * by one thread at a time, like its handle. Empty for a C compiler.
 */
#ifndef VELT_CVELTCLI_H
#define VELT_CVELTCLI_H

#include "veltcli.h"

#ifdef __cplusplus

class VELTCLI_API CVELTCli {
 public:
  CVELTCli();
  CVELTCli(const CVELTCli &other);
  ~CVELTCli();
  CVELTCli &operator=(const CVELTCli &other);

  int GetVersion(int *version);
  int GetErr(int *code, char *message);
  int GetErrorCode(int *code);
  int GetErrorMsg(char *message);

  int SetConnectOption(tagVELTConnectOption option);
  int GetConnectOption(tagVELTConnectOption *option);
  int SetOption(int id, const void *value);
  int GetOption(int id, void *value);
  int SetOptions(int id, const void *value, int length);
  /* Takes the length by value; the updated length is not returned. */
  int GetOptions(int id, void *value, int length);
  int SetSystemParam(int id, const char *text);
  int GetSystemParam(int id, char *text, int length);
  int SetCliTimeOut(int seconds);
  int GetCommLen(int *length);

  /* Connecting and service calls. SQLConnect connects and, unlike ConnectServer, leaves option 14
   * as it is (a fresh object signs on). SQLExecute calls `program` stand-alone without adding the
   * service header values. */
  int ConnectServer(const char *server, const char *user, const char *password);
  int SQLConnect(const char *server, const char *user, const char *password);
  int DisConnect();
  int SQLDisconnect();
  int CallProgram(const char *serviceId, const char *version);
  int CallProgramAndCommit(const char *serviceId, const char *version);
  int SQLExecute(const char *program);
  int Commit();
  int RollBack();
  int SQLEndTran(int callType);
  int SQLCloseCursor();

  /* Request building, answer values and result sets. RsSetCol(const char*, const char*) is
   * RsSetColByName and RsGetCol(const char*, char*) is RsGetColByName. */
  int BeginWrite();
  int SetValue(const char *name, const char *value);
  int DFSetValue(const char *name, const char *value);
  int SetVal(const char *name, const unsigned char *data, long length);
  int DFSetVal(const char *name, const unsigned char *data, long length);
  int GetValue(const char *name, char *value, int len);
  int DFGetValue(const char *name, char *value, int len);
  int GetVal(const char *name, unsigned char **data, long *length);
  int DFGetVal(const char *name, unsigned char **data, long *length);
  int RsCreate(const char *cursorName, int columns, const char *names);
  int RsNewTable(const char *cursorName, int columns, const char *names);
  int RsAddRow();
  int RsSaveRow();
  int RsSetCol(int column, const char *value);
  int RsSetCol(const char *column, const char *value);
  int RsSetColByName(const char *column, const char *value);
  int RsOpen();
  int RsMore();
  int SQLMoreResults();
  int RsClose();
  int RsFetchRow();
  int SQLFetch();
  int RsGetCol(int column, char *value);
  int RsGetCol(const char *column, char *value);
  int RsGetColByName(const char *column, char *value);
  int RsGetColName(int column, char *name, int len);
  int SQLGetColName(int column, char *name, int len);
  int RsGetColNames(char *names, int len);
  int SQLGetColNames(char *names, int len);
  int RsGetCursorName(char *name, int len);
  int SQLGetCursorName(char *name, int len);
  int RsGetRowNum(int *rows);
  int RsGetColNum(int *columns);
  int RsGetTableRowNum(int table, int *rows);
  int RsGetTableColNum(int table, int *columns);
  int SQLNumResultCols(int *columns);

  /* Components and repeating groups of the handle's store. */
  int CBCreate(const char *name);
  int CBDestroy(const char *name);
  int CBSetCurr(const char *name);
  int CBWrite(const char *name);
  int CBOpen(const char *name);
  int CBClose(const char *name);
  int CBSetValue(const char *name, const char *value);
  int CBSetVal(const char *name, const unsigned char *data, long length);
  int CBSetSubCBValue(const char *name);
  int CBGetValue(const char *name, char *buffer, int len);
  int CBGetVal(const char *name, unsigned char **data, long *length);
  int CBGetSubCBValue(const char *name);
  int RGCreate(const char *name, const char *columnNames);
  int RGDestroy(const char *name);
  int RGSetCurr(const char *name);
  int RGWrite(const char *name);
  int RGOpen(const char *name);
  int RGClose(const char *name);
  int RGAddRow();
  int RGSetCol(int column, const char *value);
  int RGSetColByName(const char *column, const char *value);
  int RGSetVal(int column, const unsigned char *data, long length);
  int RGSetValByName(const char *column, const unsigned char *data, long length);
  int RGSetSubCBRGValue(int column, int kind);
  int RGSetSubCBRGValueByName(const char *column, int kind);
  int RGGetValue(int row, const char *column, char *buffer, int len);
  int RGGetVal(int row, const char *column, unsigned char **data, long *length);
  int RGGetColNames(char *buffer, int len);
  int RGGetColName(int column, char *buffer, int len);
  int RGGetRowNum(int *count);
  int RGGetColNum(int *count);
  int RGFetchRow();
  int RGGetCol(int column, char *buffer, int len);
  int RGGetColByName(const char *column, char *buffer, int len);
  int RGGetColVal(int column, unsigned char **data, long *length);
  int RGGetValByName(const char *column, unsigned char **data, long *length);
  int RGGetSubCBRGValue(int column, int kind);
  int RGGetSubCBRGValueByName(const char *column, int kind);
  int RGSetCurrRowIndex(int row);

 private:
  ClientHandle *m_handle;
};

#endif /* __cplusplus */

#endif /* VELT_CVELTCLI_H */
