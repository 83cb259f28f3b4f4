/* veltcli: the bus client library's flat C interface — client handles, options and errors.
 *
 * Conventions for every function:
 *  - The first argument is a VELTCLI_HANDLE from VELTCLI_Init. Handles are not validated: a handle
 *    that VELTCLI_Init did not return, or that was passed to VELTCLI_Exit, must not be used again;
 *    only VELTCLI_Exit accepts a null handle. One handle is used by one thread at a time; different
 *    handles may be used by different threads at once.
 *  - Results are int status codes, 0 is success; each family below lists its other codes. No
 *    exception escapes a function; memory exhaustion has its documented code.
 *  - Caller buffers stay the caller's and are never written past the length the caller states (or,
 *    where no length is passed, the size this header gives). Text is single-byte, zero-terminated.
 *  - Records are packed and of fixed size (checked below); all but tagInfoControl are pointer-free.
 * docs/veltcli.md describes every call, option and code.
 */
#ifndef VELT_VELTCLI_H
#define VELT_VELTCLI_H

#include <stddef.h>

#if defined(_WIN32)
#  if defined(VELTCLI_BUILD)
#    define VELTCLI_API __declspec(dllexport)
#  else
#    define VELTCLI_API __declspec(dllimport)
#  endif
#else
#  define VELTCLI_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The opaque client handle: owns one session (and, with it, its connection and buffers). */
struct ClientHandle;
typedef struct ClientHandle *VELTCLI_HANDLE;

#pragma pack(push, 1)

/* One server-list entry (173 bytes). Strings are zero-padded and compared ignoring case. */
typedef struct tagVELTConnectOption {
  char szServerName[33];   /* entry name, matched by the connect */
  int nProtocal;           /* protocol passed to the queue connect; 0 means 1 */
  char szAddress[33];      /* queue-manager address */
  int nPort;               /* queue-manager port */
  char szSendQName[33];    /* request queue */
  char szReceiveQName[33]; /* answer queue, also the reply-to queue of every request */
  char szReserved[33];     /* group: entries of one group stand in for one another */
} tagVELTConnectOption;

/* A full server-list entry (559 bytes): the fields of tagVELTConnectOption, then the two strings
 * passed unchanged to the queue connect. */
typedef struct tagVELTConnectOptionEx {
  char szServerName[33];
  int nProtocal;
  char szAddress[33];
  int nPort;
  char szSendQName[33];
  char szReceiveQName[33];
  char szReserved[33];
  char szProxy[129];
  char szSSL[257];
} tagVELTConnectOptionEx;

/* One transport plug-in entry (1374 bytes). */
typedef struct tagVELTPluginOption {
  char szServerName[33];   /* entry name, matched by the connect */
  int nKind;               /* compared by option ids 18 and 19, otherwise not read */
  char szLibraryPath[129]; /* plug-in library loaded at connect */
  char szEntryName[33];    /* exported function of the plug-in that returns its table */
  char szConnectText[513]; /* passed to the plug-in's connect */
  char szSpare1[129];      /* compared by option ids 18 and 19, otherwise not read */
  char szSpare2[21];       /* compared by option ids 18 and 19, otherwise not read */
  char szConfigText[512];  /* passed to the plug-in's configure when not empty */
} tagVELTPluginOption;

/* The caller's record of an asynchronous call (113 bytes). */
typedef struct tagAsyncCall {
  int nFlags;              /* bit 0: the answer has been read completely (set by VELTCLI_GetReply) */
  char szId[27];           /* server entry the request went to */
  char szMsgId[33];        /* message id of the request (24 characters) */
  char szCorrId[33];       /* decimal number of the next answer packet to read ("0" at first) */
  int nExpiry;             /* seconds: request 0 = session time-out, negative = unlimited;
                              VELTCLI_GetReply waits this long as it stands */
  int nPriority;           /* not read */
  long long tTimeStamp;    /* when the request was sent, seconds since 1970 */
} tagAsyncCall;

/* The control record of the information-centre calls and the publication receiver. The one
 * record with a pointer (pfnCallback): 4880 bytes on 32-bit builds, 4884 on 64-bit; nSize must
 * be sizeof(tagInfoControl). Filled partly by the caller, partly by the library (docs/infocenter.md
 * gives the table); one record serves one subscription from subscribe to unsubscribe. */
typedef struct tagInfoControl {
  int nSize;                  /* sizeof(tagInfoControl) */
  int nExpiry;                /* > 0: "expiry" of subscribe and publish; the receive's wait (seconds) */
  int nReserved;
  int nFlags;                 /* "flags" of subscribe */
  char szUserId[129];         /* set by subscribe; the publisher's user id for publish */
  char szPassword[257];       /* sent when not empty */
  char szFilter[513];
  char szCbQueueInfo[129];
  char szCbParm[129];
  char szSubContext[1025];
  char szId[27];              /* cleared by subscribe */
  char szMsgId[33];           /* library: message id publications of this subscription carry */
  char szCorrId[33];          /* library: server entry name of the subscription or first receive */
  int nSubMode;               /* "submode"; bit 0x10 keeps the session's message id */
  int nCbCallMode;            /* library: the call mode of subscribe */
  char szTopicName[513];      /* set by subscribe and by every receive */
  long long n64SubNo;         /* library: internal subscription number, 0 once unsubscribed */
  long long tTimeStamp;       /* library: time of the subscription, seconds since 1970 */
  void (*pfnCallback)(struct tagInfoControl *control);   /* the receiver's callback */
  char szExtFields[2048];     /* additional request values: "name|value|name|value..." */
} tagInfoControl;

#pragma pack(pop)

typedef char velt_check_size_113[(sizeof(tagAsyncCall) == 113) ? 1 : -1];
typedef char velt_check_size_173[(sizeof(tagVELTConnectOption) == 173) ? 1 : -1];
typedef char velt_check_size_559[(sizeof(tagVELTConnectOptionEx) == 559) ? 1 : -1];
typedef char velt_check_size_1374[(sizeof(tagVELTPluginOption) == 1374) ? 1 : -1];
typedef char velt_check_size_info[(sizeof(tagInfoControl) == 4880 + sizeof(void *) - 4) ? 1 : -1];

/* ---- Handle and errors ----------------------------------------------------------------------
 * VELTCLI_Init: 0 and *handle set (a pooled handle, still connected, when the pool holds one);
 *   1 and *handle null when no handle could be created (memory) or handle is null.
 * VELTCLI_Exit: 1 for a null handle; otherwise 0 — the handle is parked in the pool while the
 *   pool has room (capacity: option id 20), else destroyed with its session.
 * VELTCLI_GetVersion: stores 1, returns 0.
 * The error calls read the values "_ERRNO" and "_ERRMSG" of the answer in the packet buffer.
 *   `message` must hold 32000 bytes; messages are cut to 31999 characters and always terminated.
 *   VELTCLI_GetErr: always 0; *code changes only when the answer has "_ERRNO"; message gets
 *   "_ERRMSG" or "". VELTCLI_GetErrorCode / VELTCLI_GetErrorMsg: 0, or 1 when the value is absent
 *   (the code is left unchanged, the message emptied). Null output pointers are left alone. */
VELTCLI_API int VELTCLI_Init(VELTCLI_HANDLE *handle);
VELTCLI_API int VELTCLI_Exit(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_GetVersion(VELTCLI_HANDLE handle, int *version);
VELTCLI_API int VELTCLI_GetErr(VELTCLI_HANDLE handle, int *code, char *message);
VELTCLI_API int VELTCLI_GetErrorCode(VELTCLI_HANDLE handle, int *code);
VELTCLI_API int VELTCLI_GetErrorMsg(VELTCLI_HANDLE handle, char *message);

/* ---- Options and system parameters ----------------------------------------------------------
 * Option ids (VELTCLI_OPTION_*): the value is an int unless noted; ids 10 and 20 are process-wide.
 * VELTCLI_SetOption / VELTCLI_GetOption use the standard length of the id (173 for ids 0 and 7,
 *   559 for 12 and 13, 25 for 15, 1374 for 18 and 19, else 4); the *Options forms take it
 *   explicitly (in/out for the getter). Results: 0; 1 when the length is below 4, below the
 *   record size for a single-record id, or a pointer is null (nothing changed). Unknown ids: 0,
 *   nothing changed or written. Records are copied; the caller keeps its memory.
 * VELTCLI_SetConnectOption / VELTCLI_GetConnectOption: option id 7 (the current entry).
 * VELTCLI_SetCliTimeOut: option id 1. VELTCLI_GetCommLen: length of the packet text, returns 0.
 * System parameters (VELTCLI_PARAM_*): -1 null text or output; 2 unknown id; 1 text of 33
 *   characters or more (set) or output shorter than the text (get). A get clears `length` bytes
 *   and copies the text, so it is terminated only when length exceeds the text length. */
enum {
  VELTCLI_OPTION_SERVER_LIST = 0,      /* array of tagVELTConnectOption, length / 173 (max 16) */
  VELTCLI_OPTION_TIMEOUT = 1,          /* seconds per exchange; default 120 */
  VELTCLI_OPTION_TRACE = 2,            /* nonzero: packet trace file; default 0 */
  VELTCLI_OPTION_DESCRIPTOR_272 = 3,   /* low byte into request descriptors; default 3 */
  VELTCLI_OPTION_DESCRIPTOR_271 = 4,   /* low byte into request descriptors; default 0 */
  VELTCLI_OPTION_CHECKSUM = 5,         /* nonzero: verify answer checksums; default 0 */
  VELTCLI_OPTION_SEQUENCE = 6,         /* nonzero: verify answer sequence numbers; default 0 */
  VELTCLI_OPTION_CURRENT_ENTRY = 7,    /* tagVELTConnectOption */
  VELTCLI_OPTION_SHARED_CONNECTION = 8,/* 1: one queue-manager connection for both queues */
  VELTCLI_OPTION_LIBRARY_IDS = 9,      /* nonzero: message ids assigned by the queue library */
  VELTCLI_OPTION_EMPTY_VALUES = 10,    /* process-wide; nonzero: empty request values are written */
  VELTCLI_OPTION_COMM_TIME = 11,       /* milliseconds spent in exchanges since the last request */
  VELTCLI_OPTION_SERVER_LIST_EX = 12,  /* array of tagVELTConnectOptionEx, length / 559 (max 16) */
  VELTCLI_OPTION_CURRENT_ENTRY_EX = 13,/* tagVELTConnectOptionEx */
  VELTCLI_OPTION_SERVER_SESSION = 14,  /* 1: connect signs on, disconnect signs off; default 1 */
  VELTCLI_OPTION_REPLY_TAG = 15,       /* char[25]: the reply tag (24 characters) */
  VELTCLI_OPTION_REPLY_TAG_USE = 16,   /* bit 0: asynchronous calls, bit 1: synchronous; default 1 */
  VELTCLI_OPTION_WINDOW_ENDS = 17,     /* nonzero: an answer part also ends at a window end */
  VELTCLI_OPTION_PLUGIN_LIST = 18,     /* array of tagVELTPluginOption, length / 1374 (max 16) */
  VELTCLI_OPTION_CURRENT_PLUGIN = 19,  /* tagVELTPluginOption */
  VELTCLI_OPTION_POOL_CAPACITY = 20    /* process-wide: handle pool capacity; below 1 = no pool */
};

enum {
  VELTCLI_PARAM_SESSION_NUMBER = 2,    /* decimal; read back as "%10d" */
  VELTCLI_PARAM_TRANSACTION_ID = 3,    /* at most 32 characters */
  VELTCLI_PARAM_SERVICE_PREFIX = 7,    /* at most 32 characters */
  VELTCLI_PARAM_SERVER_NUMBER = 8      /* decimal; read back as "%5d" */
};

VELTCLI_API int VELTCLI_SetConnectOption(VELTCLI_HANDLE handle, tagVELTConnectOption option);
VELTCLI_API int VELTCLI_GetConnectOption(VELTCLI_HANDLE handle, tagVELTConnectOption *option);
VELTCLI_API int VELTCLI_SetOption(VELTCLI_HANDLE handle, int id, const void *value);
VELTCLI_API int VELTCLI_GetOption(VELTCLI_HANDLE handle, int id, void *value);
VELTCLI_API int VELTCLI_SetOptions(VELTCLI_HANDLE handle, int id, const void *value, int length);
VELTCLI_API int VELTCLI_GetOptions(VELTCLI_HANDLE handle, int id, void *value, int *length);
VELTCLI_API int VELTCLI_SetSystemParam(VELTCLI_HANDLE handle, int id, const char *text);
VELTCLI_API int VELTCLI_GetSystemParam(VELTCLI_HANDLE handle, int id, char *text, int length);
VELTCLI_API int VELTCLI_SetCliTimeOut(VELTCLI_HANDLE handle, int seconds);
VELTCLI_API int VELTCLI_GetCommLen(VELTCLI_HANDLE handle, int *length);

/* ---- Connecting ----------------------------------------------------------------------------
 * VELTCLI_ConnectServer (also VELTCLI_SQLConnect): sets option 14 to 0 (no sign-on), then picks an
 *   entry of the server list whose group, else whose name, is `server` (ignoring case) at random
 *   and connects to its queue manager, trying each candidate once. When no entry matches, the list
 *   is loaded from "LUNQCli.ini" and "rimqapi.ini" in the current folder. Nothing is sent when the
 *   current entry was re-set unchanged (option 7/13/19) and server, user and password equal those
 *   of the open connection. 0; -1 no matching entry; -2 no entry could be picked; a queue reason
 *   (2004 not reachable, 2035 not authorised, ...) or 9999 (no reason); 1700-1706 plug-in codes;
 *   the sign-on answer status (class method SQLConnect with option 14 set).
 * VELTCLI_DisConnect: signs off (option 14 set) and disconnects; 100 while pooling is on (nothing
 *   done). VELTCLI_DisConnectForce: the same without the sign-off. VELTCLI_SQLDisconnect: signs off
 *   and disconnects also while pooling is on. 0 or the sign-off's result; 1712 plug-in disconnect. */
VELTCLI_API int VELTCLI_ConnectServer(VELTCLI_HANDLE handle, const char *server, const char *user,
                                      const char *password);
VELTCLI_API int VELTCLI_SQLConnect(VELTCLI_HANDLE handle, const char *server, const char *user,
                                   const char *password);
VELTCLI_API int VELTCLI_DisConnect(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_DisConnectForce(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_SQLDisconnect(VELTCLI_HANDLE handle);

/* ---- Service calls and transactions ----------------------------------------------------------
 * A call sends the text in the packet buffer (begin each request with VELTCLI_BeginWrite) and
 * leaves the answer text there (empty after a failure without an answer). The service id is
 * "prefix.program": the program is the text after the last dot; a prefix of two or more
 * characters becomes the service prefix. Each call adds "_VeltServiceID_", "_VeltProgramName_",
 * "_VeltServiceIDVersion_" (version, or "V1.0" when null) and "_VeltClientCallTime_".
 * Results of every call: 0; the nonzero answer status of the server (read "_ERRNO"/"_ERRMSG" with
 *   VELTCLI_GetErr); -999 null service id (nothing sent); 1 the answer does not fit in memory;
 *   -1 no memory for the request packet; 100 the receive buffer cannot grow; 101 checksum
 *   mismatch (option 5); 102 sequence mismatch (option 6); 103 an answer packet shorter than its
 *   length field; 2054 a packet of another message arrived (the connection is rebuilt); a queue
 *   reason (2033 no answer within the time-out, 2003/2004 connection lost: rebuilt at once or
 *   before the next call) or 9999; 1721-1741 plug-in codes.
 * VELTCLI_CallProgram / VELTCLI_ACallProgram: inside the transaction — the first call opens one on
 *   the server, the next ones continue it until VELTCLI_Commit, VELTCLI_RollBack or VELTCLI_Cancel.
 * VELTCLI_CallProgramAndCommit (also VELTCLI_SQLExecute) / VELTCLI_ACallProgramAndCommit:
 *   stand-alone; the server ends the work itself (the client forgets an open transaction).
 * The A forms only send the request and fill *call (a null call makes them synchronous); collect
 *   the answer, part by part, with VELTCLI_GetReply until call->nFlags bit 0 is set. GetReply:
 *   0; 1 already read completely; 50 the record belongs to another server entry; -1 null call.
 * VELTCLI_Commit, VELTCLI_RollBack, VELTCLI_SQLEndTran(type): end the open transaction (0 and
 *   nothing sent when there is none). VELTCLI_Cancel and VELTCLI_SQLCloseCursor send only while
 *   an answer is incomplete and option 14 is set. */
VELTCLI_API int VELTCLI_CallProgram(VELTCLI_HANDLE handle, const char *serviceId, const char *version);
VELTCLI_API int VELTCLI_CallProgramAndCommit(VELTCLI_HANDLE handle, const char *serviceId, const char *version);
VELTCLI_API int VELTCLI_ACallProgram(VELTCLI_HANDLE handle, const char *serviceId, tagAsyncCall *call,
                                     const char *version);
VELTCLI_API int VELTCLI_ACallProgramAndCommit(VELTCLI_HANDLE handle, const char *serviceId, tagAsyncCall *call,
                                              const char *version);
VELTCLI_API int VELTCLI_GetReply(VELTCLI_HANDLE handle, tagAsyncCall *call);
VELTCLI_API int VELTCLI_Cancel(VELTCLI_HANDLE handle, tagAsyncCall *call);
VELTCLI_API int VELTCLI_Commit(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_RollBack(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_SQLExecute(VELTCLI_HANDLE handle, const char *serviceId, const char *version);
VELTCLI_API int VELTCLI_SQLEndTran(VELTCLI_HANDLE handle, int callType);
VELTCLI_API int VELTCLI_SQLCloseCursor(VELTCLI_HANDLE handle);

/* ---- Request building ------------------------------------------------------------------------
 * A request is text in the packet buffer: name=value pairs joined by "&", with "%", "&", "=" and
 * "@" written as "@25", "@26", "@3D", "@40"; tables travel as pairs too. Names and values are
 * copied; the caller keeps its memory. docs/veltcli.md gives the text format.
 * VELTCLI_BeginWrite: starts a new request ("_CA" and "_ENDIAN" first). 0; 1 no memory.
 * VELTCLI_SetValue (also VELTCLI_DFSetValue): stores name=value, replacing (and moving to the
 *   end) an earlier pair of that name; a null or empty name replaces the whole text with value,
 *   unescaped. 0; 1 the packet buffer cannot grow; 2 value null, or empty while option 10 is 0
 *   (an earlier pair of that name is removed all the same).
 * VELTCLI_SetVal (also VELTCLI_DFSetVal): a binary value of `length` bytes, as Base64. 0 or the
 *   SetValue code of the Base64 pair; 11 null name or data; 12 name of 100 characters or more;
 *   13 the marker pair could not be stored; 14 no memory to encode. length <= 0: data is
 *   zero-terminated text, stored as by VELTCLI_SetValue.
 * VELTCLI_RsCreate (first table of a request) / VELTCLI_RsNewTable (each further one): a table
 *   of `columns` columns named by the comma-separated `names`. 0; 1 columns < 1 or above 12192,
 *   a null argument, or a cursor name of 32 characters or more; 2 no memory.
 * Per row: VELTCLI_RsAddRow (0), cells, VELTCLI_RsSaveRow (0; 1 the packet buffer cannot grow).
 *   A cell not set again keeps the previous row's value. A saved row carries its cells up to
 *   (not including) the one that would bring it to 4000 raw bytes.
 * VELTCLI_RsSetCol: 0; 1 value null; 2 column outside 1..columns; -3 no memory (cell left empty).
 * VELTCLI_RsSetColByName: 1 no column of that exact name, else as VELTCLI_RsSetCol.
 * VELTCLI_RsSetVal / VELTCLI_RsSetValByName: a binary cell: -1 data null; length <= 0: as
 *   VELTCLI_RsSetCol with the data as text; 20 the cell could not be set (column); else the
 *   VELTCLI_SetVal codes. ByName: 1 no column of that name. */
VELTCLI_API int VELTCLI_BeginWrite(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_SetValue(VELTCLI_HANDLE handle, const char *name, const char *value);
VELTCLI_API int VELTCLI_DFSetValue(VELTCLI_HANDLE handle, const char *name, const char *value);
VELTCLI_API int VELTCLI_SetVal(VELTCLI_HANDLE handle, const char *name, const unsigned char *data, long length);
VELTCLI_API int VELTCLI_DFSetVal(VELTCLI_HANDLE handle, const char *name, const unsigned char *data, long length);
VELTCLI_API int VELTCLI_RsCreate(VELTCLI_HANDLE handle, const char *cursorName, int columns, const char *names);
VELTCLI_API int VELTCLI_RsNewTable(VELTCLI_HANDLE handle, const char *cursorName, int columns, const char *names);
VELTCLI_API int VELTCLI_RsAddRow(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_RsSetCol(VELTCLI_HANDLE handle, int column, const char *value);
VELTCLI_API int VELTCLI_RsSetColByName(VELTCLI_HANDLE handle, const char *column, const char *value);
VELTCLI_API int VELTCLI_RsSetVal(VELTCLI_HANDLE handle, int column, const unsigned char *data, long length);
VELTCLI_API int VELTCLI_RsSetValByName(VELTCLI_HANDLE handle, const char *column, const unsigned char *data,
                                       long length);
VELTCLI_API int VELTCLI_RsSaveRow(VELTCLI_HANDLE handle);

/* ---- Answer values and result sets -----------------------------------------------------------
 * These read whatever the packet buffer holds: the answer after a call, the request before.
 * Pointers returned (VELTCLI_GetVal, VELTCLI_RsGetVal) point into the handle's value buffer: valid
 *   until the next of these two calls on the handle or its end; never freed by the caller. The
 *   bytes are followed by a zero byte.
 * VELTCLI_GetValue (also VELTCLI_DFGetValue): `value` holds len + 1 bytes. 0 (terminated); 1
 *   value null or no such pair (value emptied); 2 no packet text; 3 len <= 0; 4 name longer than
 *   100; 100 longer than len: len characters stored, no terminator. An empty name gives the raw text.
 * VELTCLI_GetVal (also VELTCLI_DFGetVal): text or the bytes of a binary value. 0; 11 null
 *   argument; 12 name longer than 100; 13 no such pair; 14, 16 no memory; 15 marker without its
 *   Base64 pair. Outputs are null and 0 on failure (untouched for 11).
 * Tables are read in order; an answer arriving in parts is read on as needed.
 * VELTCLI_RsOpen: the first table. 0; 1 none, or it could not be opened.
 * VELTCLI_RsMore (also VELTCLI_SQLMoreResults): the next table. 0; 1 no further table; 3 reading
 *   on failed; 7 no memory for the columns (or more than 12192); 21-27 its separate column names
 *   could not be read (10 + the VELTCLI_GetVal code); 101 no memory for the column names.
 * VELTCLI_SQLNumResultCols: *columns = column count, opening the next table first when none is
 *   open. 0; 1 opening failed.
 * VELTCLI_RsFetchRow (also VELTCLI_SQLFetch): 0 the next row is current; 1 no further row; 2
 *   reading on failed; 4 no memory for a cell.
 * VELTCLI_RsFetchRowScroll (also VELTCLI_SQLFetchScroll): orientation 1 next, 2 first, 3 last,
 *   4 prior, 5 absolute (offset from 1), 6 relative. 0; 1 target outside the table; 2 bad
 *   orientation; 4 no memory; 5 the row is not in the answer part in hand; 101 answer incomplete.
 * VELTCLI_RsGetCol / VELTCLI_RsGetColByName: copy the current row's cell, whole, into `value`,
 *   which must hold the cell and its terminator: 12192 bytes suffice for any cell fetched (a
 *   cell set by VELTCLI_RsSetCol and not yet saved is as long as it was set). 0; 1 value null, or
 *   (ByName) no column of that exact name (value emptied); 2 column outside 1..columns.
 * VELTCLI_RsGetVal / VELTCLI_RsGetValByName: the cell as text, or the bytes of the binary value a
 *   "_BLOB_<row>_<column>" cell refers to. 0; -1 null output; 1, 2 as VELTCLI_RsGetCol; 13 no
 *   memory; for a binary cell the VELTCLI_GetVal codes.
 * VELTCLI_RsGetColName (blanks trimmed) / VELTCLI_SQLGetColName (as written): column name of the
 *   open table. 0; 1 no such column, column < 1, name null or len <= 0; 100 the name has len
 *   characters or more: len bytes written without terminator.
 * VELTCLI_RsGetColNames (also VELTCLI_SQLGetColNames): all names. 0; -1 they do not fit in len
 *   - 1 characters (names emptied) or names null.
 * VELTCLI_RsGetColNum: 0. VELTCLI_RsGetRowNum: 0 and the row count; 1 and -1 while the table's
 *   end is not known. VELTCLI_RsGetTableColNum / VELTCLI_RsGetTableRowNum (table from 1): 0; 1 no
 *   such table; 3 the entry lacks the count; 4 the text has no "_TL" (*out is 0 on failure).
 * VELTCLI_RsGetCursorName (also VELTCLI_SQLGetCursorName): 0; 100 the name has len characters
 *   or more (len bytes written, no terminator).
 * VELTCLI_RsClose: drops the rest of the answer. 0; 1 reading on failed.
 * Null output pointers of the count and name calls return -1. */
VELTCLI_API int VELTCLI_GetValue(VELTCLI_HANDLE handle, const char *name, char *value, int len);
VELTCLI_API int VELTCLI_DFGetValue(VELTCLI_HANDLE handle, const char *name, char *value, int len);
VELTCLI_API int VELTCLI_GetVal(VELTCLI_HANDLE handle, const char *name, unsigned char **data, long *length);
VELTCLI_API int VELTCLI_DFGetVal(VELTCLI_HANDLE handle, const char *name, unsigned char **data, long *length);
VELTCLI_API int VELTCLI_RsOpen(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_RsMore(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_SQLMoreResults(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_SQLNumResultCols(VELTCLI_HANDLE handle, int *columns);
VELTCLI_API int VELTCLI_RsFetchRow(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_SQLFetch(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_RsFetchRowScroll(VELTCLI_HANDLE handle, int orientation, int offset);
VELTCLI_API int VELTCLI_SQLFetchScroll(VELTCLI_HANDLE handle, int orientation, int offset);
VELTCLI_API int VELTCLI_RsGetCol(VELTCLI_HANDLE handle, int column, char *value);
VELTCLI_API int VELTCLI_RsGetColByName(VELTCLI_HANDLE handle, const char *column, char *value);
VELTCLI_API int VELTCLI_RsGetVal(VELTCLI_HANDLE handle, int column, unsigned char **data, long *length);
VELTCLI_API int VELTCLI_RsGetValByName(VELTCLI_HANDLE handle, const char *column, unsigned char **data,
                                       long *length);
VELTCLI_API int VELTCLI_RsGetColName(VELTCLI_HANDLE handle, int column, char *name, int len);
VELTCLI_API int VELTCLI_SQLGetColName(VELTCLI_HANDLE handle, int column, char *name, int len);
VELTCLI_API int VELTCLI_RsGetColNames(VELTCLI_HANDLE handle, char *names, int len);
VELTCLI_API int VELTCLI_SQLGetColNames(VELTCLI_HANDLE handle, char *names, int len);
VELTCLI_API int VELTCLI_RsGetColNum(VELTCLI_HANDLE handle, int *columns);
VELTCLI_API int VELTCLI_RsGetRowNum(VELTCLI_HANDLE handle, int *rows);
VELTCLI_API int VELTCLI_RsGetTableColNum(VELTCLI_HANDLE handle, int table, int *columns);
VELTCLI_API int VELTCLI_RsGetTableRowNum(VELTCLI_HANDLE handle, int table, int *rows);
VELTCLI_API int VELTCLI_RsGetCursorName(VELTCLI_HANDLE handle, char *name, int len);
VELTCLI_API int VELTCLI_SQLGetCursorName(VELTCLI_HANDLE handle, char *name, int len);
VELTCLI_API int VELTCLI_RsClose(VELTCLI_HANDLE handle);

/* ---- Structure conversion --------------------------------------------------------------------
 * VELTCLI_Convert: copies records described by a C structure definition ("#pragma pack(n)"
 * optional, then "struct [name] { fields }") from source to destination, reversing the bytes of
 * every numeric element when the two byte-order codes differ; equal codes copy min(source,
 * destination length) bytes and read no definition. The handle is not used. 0; -1 invalid
 * definition (also more than 200 fields or a record size of 0), a source length that is not a
 * whole number of records, a destination shorter than the source, or a null buffer. Nothing is
 * written on failure; bytes of no field (alignment gaps) are not written. */
VELTCLI_API int VELTCLI_Convert(VELTCLI_HANDLE handle, const char *definition, int sourceOrder, const void *source,
                                int sourceLength, int destinationOrder, void *destination, int destinationLength,
                                int reserved);

/* ---- Components and repeating groups ----------------------------------------------------------
 * Each handle owns a store of components (named records) and repeating groups (named tables), kept
 * by name across requests, answers and the pool; most calls act on its current component or group.
 * Columns of groups are 0-based, rows 1-based (row 0 is the header). kind 0 = component, other =
 * group. Names, values and data are copied; the caller keeps its memory.
 * VELTCLI_CBWrite / VELTCLI_RGWrite store the object as the packet value `name` ("J1.0", compact
 *   JSON, line feed) by VELTCLI_SetValue and return its code when storing fails.
 * VELTCLI_CBOpen / VELTCLI_RGOpen read the packet value `name` by VELTCLI_GetVal first and return
 *   its code (11-16) when that fails.
 * Text outputs copy at most len bytes into buffer; a text of len bytes or more leaves it without a
 *   terminator. Pointers from CBGetVal, RGGetColVal and RGGetVal belong to the component or group
 *   (valid until its next such call or its end); the block from RGGetValByName is the caller's,
 *   released with VELTCLI_FreeMemory. Binary getters give null and 0 on failure.
 * Codes: 0; -1 no current object, a null argument, a position or name outside the object; -2 not
 *   a data row, "J1.0" missing, or (RGGetSubCBRGValueByName) name not in the header; -3 the value
 *   holds no text or is not the kind asked for; -4 a character outside Base64; -5 no memory;
 *   -800/-801 component exists/not found; -804 sub-component not found; -811 component text does
 *   not parse; -900/-901 group exists/not found; -908/-909 the component/group named by the column
 *   not found; -911 group text does not parse. docs/components.md describes every call. */
VELTCLI_API int VELTCLI_CBCreate(VELTCLI_HANDLE handle, const char *name);
VELTCLI_API int VELTCLI_CBDestroy(VELTCLI_HANDLE handle, const char *name);
VELTCLI_API int VELTCLI_CBSetCurr(VELTCLI_HANDLE handle, const char *name);
VELTCLI_API int VELTCLI_CBWrite(VELTCLI_HANDLE handle, const char *name);
VELTCLI_API int VELTCLI_CBOpen(VELTCLI_HANDLE handle, const char *name);
VELTCLI_API int VELTCLI_CBClose(VELTCLI_HANDLE handle, const char *name);
VELTCLI_API int VELTCLI_CBSetValue(VELTCLI_HANDLE handle, const char *name, const char *value);
VELTCLI_API int VELTCLI_CBSetVal(VELTCLI_HANDLE handle, const char *name, const unsigned char *data,
                                 long length);
VELTCLI_API int VELTCLI_CBSetSubCBValue(VELTCLI_HANDLE handle, const char *name);
VELTCLI_API int VELTCLI_CBGetValue(VELTCLI_HANDLE handle, const char *name, char *buffer, int len);
VELTCLI_API int VELTCLI_CBGetVal(VELTCLI_HANDLE handle, const char *name, unsigned char **data, long *length);
VELTCLI_API int VELTCLI_CBGetSubCBValue(VELTCLI_HANDLE handle, const char *name);
VELTCLI_API int VELTCLI_RGCreate(VELTCLI_HANDLE handle, const char *name, const char *columnNames);
VELTCLI_API int VELTCLI_RGDestroy(VELTCLI_HANDLE handle, const char *name);
VELTCLI_API int VELTCLI_RGSetCurr(VELTCLI_HANDLE handle, const char *name);
VELTCLI_API int VELTCLI_RGWrite(VELTCLI_HANDLE handle, const char *name);
VELTCLI_API int VELTCLI_RGOpen(VELTCLI_HANDLE handle, const char *name);
VELTCLI_API int VELTCLI_RGClose(VELTCLI_HANDLE handle, const char *name);
VELTCLI_API int VELTCLI_RGAddRow(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_RGSetCol(VELTCLI_HANDLE handle, int column, const char *value);
VELTCLI_API int VELTCLI_RGSetColByName(VELTCLI_HANDLE handle, const char *column, const char *value);
VELTCLI_API int VELTCLI_RGSetVal(VELTCLI_HANDLE handle, int column, const unsigned char *data, long length);
VELTCLI_API int VELTCLI_RGSetValByName(VELTCLI_HANDLE handle, const char *column, const unsigned char *data,
                                       long length);
VELTCLI_API int VELTCLI_RGSetSubCBRGValue(VELTCLI_HANDLE handle, int column, int kind);
VELTCLI_API int VELTCLI_RGSetSubCBRGValueByName(VELTCLI_HANDLE handle, const char *column, int kind);
VELTCLI_API int VELTCLI_RGGetValue(VELTCLI_HANDLE handle, int row, const char *column, char *buffer, int len);
VELTCLI_API int VELTCLI_RGGetVal(VELTCLI_HANDLE handle, int row, const char *column, unsigned char **data,
                                 long *length);
VELTCLI_API int VELTCLI_RGGetColNames(VELTCLI_HANDLE handle, char *buffer, int len);
VELTCLI_API int VELTCLI_RGGetColName(VELTCLI_HANDLE handle, int column, char *buffer, int len);
VELTCLI_API int VELTCLI_RGGetRowNum(VELTCLI_HANDLE handle, int *count);
VELTCLI_API int VELTCLI_RGGetColNum(VELTCLI_HANDLE handle, int *count);
VELTCLI_API int VELTCLI_RGFetchRow(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_RGGetCol(VELTCLI_HANDLE handle, int column, char *buffer, int len);
VELTCLI_API int VELTCLI_RGGetColByName(VELTCLI_HANDLE handle, const char *column, char *buffer, int len);
VELTCLI_API int VELTCLI_RGGetColVal(VELTCLI_HANDLE handle, int column, unsigned char **data, long *length);
VELTCLI_API int VELTCLI_RGGetValByName(VELTCLI_HANDLE handle, const char *column, unsigned char **data,
                                       long *length);
VELTCLI_API int VELTCLI_RGGetSubCBRGValue(VELTCLI_HANDLE handle, int column, int kind);
VELTCLI_API int VELTCLI_RGGetSubCBRGValueByName(VELTCLI_HANDLE handle, const char *column, int kind);
VELTCLI_API int VELTCLI_RGSetCurrRowIndex(VELTCLI_HANDLE handle, int row);

/* ---- Certificates and envelopes --------------------------------------------------------------
 * The handle must not be null (code 1) and is otherwise unused: these touch no session.
 * Key files hold an RSA private key in the traditional PEM form, encrypted under a password;
 * a password change keeps the text after the key block and never leaves a damaged file.
 * VELTCLI_SSLEncrypt/Decrypt return a block of *outLength bytes plus a zero byte, owned by the
 * caller and released with VELTCLI_FreeMemory (which also releases VELTCLI_RGGetValByName blocks);
 * on failure *out is NULL and *outLength 0. VELTCLI_SSLGetCertInfo writes at most size bytes,
 * terminator included. docs/certificates.md lists every code of each function. */
VELTCLI_API int VELTCLI_SSLVerifyCertPasswd(VELTCLI_HANDLE handle, const char *keyFile, const char *password);
VELTCLI_API int VELTCLI_SSLModifyCertPasswd(VELTCLI_HANDLE handle, const char *keyFile, const char *oldPassword,
                                            const char *newPassword);
VELTCLI_API int VELTCLI_SSLEncrypt(VELTCLI_HANDLE handle, const char *keyFile, const char *password,
                                   const char *data, int length, char **out, int *outLength);
VELTCLI_API int VELTCLI_SSLDecrypt(VELTCLI_HANDLE handle, const char *keyFile, const char *password,
                                   const char *data, int length, char **out, int *outLength);
VELTCLI_API int VELTCLI_SSLGetCertInfo(VELTCLI_HANDLE handle, const char *certFile, int infoType, int nid,
                                       char *text, int size);
VELTCLI_API int VELTCLI_FreeMemory(VELTCLI_HANDLE handle, void *block);

/* ---- Information centre --------------------------------------------------------------------
 * Every call takes a tagInfoControl with nSize = sizeof(tagInfoControl) and records its own
 * failures as "_ERRNO"/"_ERRMSG" (read with VELTCLI_GetErr). Codes: 0; -100 control null or nSize
 * wrong; -101 no further pending publication; -104 nExpiry <= 0; -106 no user id; -108 no
 * variable for the publication number; -109 no topic; -114 publication or subscription number
 * <= 0; -120 n64SubNo not subscribed; 101 the session is connected through another server entry
 * than szCorrId; the platform's "CODE"; the exchange's status. After a successful receive or
 * VELTCLI_InfoGetNoRecvData the publication is the answer in the packet buffer.
 * docs/infocenter.md describes every call, value and code. */
VELTCLI_API int VELTCLI_InfoSubscribe(VELTCLI_HANDLE handle, tagInfoControl *control, char *userId, char *topic,
                                      int callMode);
VELTCLI_API int VELTCLI_InfoUnsubscribe(VELTCLI_HANDLE handle, tagInfoControl *control);
VELTCLI_API int VELTCLI_InfoPublish(VELTCLI_HANDLE handle, tagInfoControl *control, char *topic,
                                    long long *publicationNumber, int flagA, int flagB);
VELTCLI_API int VELTCLI_InfoReceivePublication(VELTCLI_HANDLE handle, tagInfoControl *control);
VELTCLI_API int VELTCLI_InfoGetNoRecvPublish(VELTCLI_HANDLE handle, tagInfoControl *control);
VELTCLI_API int VELTCLI_InfoGetNoRecvData(VELTCLI_HANDLE handle, tagInfoControl *control);

/* ---- Publication receiver --------------------------------------------------------------------
 * One background thread per session receives publications for a subscribed control and calls its
 * pfnCallback with the receiver's own copy (the publication is then the handle's answer).
 * VELTRecvPub_Init: VELTCLI_Init, VELTCLI_SetConnectOption and VELTCLI_ConnectServer(option's
 *   name); the first failing result (a handle created before it stays in *handle).
 * VELTRecvPub_Start: 0 started; -1 control or callback null, a receiver already running, or no
 *   thread. A receiver that has ended after VELTRecvPub_Stop may be started again.
 * VELTRecvPub_Stop: 0 when a receiver had been started, else -1. Interrupts a blocked receive and
 *   returns once the thread has ended (at once when called from the callback).
 * VELTRecvPub_Exit: stops a running receiver, VELTCLI_DisConnect (VELTCLI_DisConnectForce when
 *   that fails), VELTCLI_Exit; the disconnect's result (100 while pooling is on).
 * VELTCLI_Exit also stops a running receiver before the handle is pooled or destroyed. */
VELTCLI_API int VELTRecvPub_Init(VELTCLI_HANDLE *handle, tagVELTConnectOption option, char *user, char *password);
VELTCLI_API int VELTRecvPub_Start(VELTCLI_HANDLE handle, tagInfoControl *control);
VELTCLI_API int VELTRecvPub_Stop(VELTCLI_HANDLE handle);
VELTCLI_API int VELTRecvPub_Exit(VELTCLI_HANDLE handle);

/* Unsolicited messages are not supported: these accept their arguments and return -1.
 * VELTCLI_SetUnsoliciety is the same function as VELTCLI_CheckUnsoliciety. */
VELTCLI_API int VELTCLI_Notify(VELTCLI_HANDLE handle, void *a2, void *a3, void *a4, void *a5);
VELTCLI_API int VELTCLI_Broadcast(VELTCLI_HANDLE handle, void *a2, void *a3, void *a4, void *a5,
                                  void *a6, void *a7);
VELTCLI_API int VELTCLI_CheckUnsoliciety(VELTCLI_HANDLE handle);
VELTCLI_API int VELTCLI_SetUnsoliciety(VELTCLI_HANDLE handle);

#ifdef __cplusplus
}
#endif

#endif /* VELT_VELTCLI_H */
