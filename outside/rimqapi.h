/* rimqapi: the queue manager client the bus client sends its packets through.
 * Two engines behind one interface: an embedded queue manager inside the process and a Redis server.
 *
 * Conventions:
 *  - Every operation but RIMQ_SetOption and RIMQ_Interrupt reports through its last two arguments:
 *    a completion code (RIMQCC_OK or RIMQCC_FAILED) and a reason code (RIMQRC_*, 0 on success).
 *    When either of those pointers is null the call does nothing.
 *  - Handles are ints. Connection handles come from RIMQ_Connect, queue handles from RIMQ_Open and
 *    belong to the connection that opened them. An unknown, closed or foreign handle is a reason
 *    code (2018, 2019), never a crash. Handles are not reused within a process.
 *  - Records are packed, little-endian, and begin with an 8-byte record id and "1.0.0.0"; a record
 *    with another id is refused (2026, 2044, 2046). Values marked "carried" are stored and
 *    returned, never interpreted.
 *  - Threads: connections are independent and may be used from any number of threads at once.
 *    One connection serves one thread at a time (concurrent calls on one connection are serialised);
 *    only RIMQ_Interrupt may be called from another thread at any time.
 *  - Buffers stay the caller's; the library copies what it keeps and never writes past a length
 *    the caller gives.
 *
 * Address (RIMQ_Connect):
 *  - "inproc" or "inproc:NAME": the embedded queue manager NAME of this process (protocol, port,
 *    user, password, proxy and SSL are not used). Its queues live as long as the process.
 *  - anything else: a Redis server; protocol 0 or 1 = TCP to address:port, 2 = Unix socket at the
 *    path given as address. A non-empty user logs in with AUTH user password, an empty user with a
 *    non-empty password with AUTH password. A non-empty SSL or proxy string is refused.
 *
 * Delivery is at most once: a message is never delivered twice, and none is lost except one
 * being handed to a getter whose process or connection dies at that moment. Over Redis a getter
 * that was waiting when its connection broke may still be handed a message within a few seconds
 * of the break; that message is lost too. Expired messages are never delivered.
 * docs/rimq.md describes the engines, the Redis key design and how to diagnose problems.
 */
#ifndef VELT_RIMQAPI_H
#define VELT_RIMQAPI_H

#include <string.h>   /* memset, memcpy for RIMQ_INIT_RECORD */

#if defined(_WIN32)
#  if defined(RIMQAPI_BUILD)
#    define RIMQAPI_API __declspec(dllexport)
#  else
#    define RIMQAPI_API __declspec(dllimport)
#  endif
#else
#  define RIMQAPI_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Completion codes. */
#define RIMQCC_OK 0
#define RIMQCC_FAILED 2

/* Reason codes. Stable: a number is never reused for another meaning. */
#define RIMQRC_NONE 0
#define RIMQRC_CONNECTION_LOST 2003       /* the connection broke during the operation (or before) */
#define RIMQRC_QMGR_NOT_REACHABLE 2004    /* connect failed: server down, refused or timed out */
#define RIMQRC_BUFFER_ERROR 2005          /* negative length, null buffer with a length, null out length */
#define RIMQRC_ADDRESS_ERROR 2012         /* null or empty address, unknown protocol, TCP port
                                             outside 1..65535 */
#define RIMQRC_HCONN_ERROR 2018           /* unknown or closed connection handle */
#define RIMQRC_HOBJ_ERROR 2019            /* queue handle unknown on this connection; RIMQ_Get2
                                             before any RIMQ_Open */
#define RIMQRC_MD_ERROR 2026              /* message descriptor null or not a "RIMQ" record */
#define RIMQRC_MSG_TOO_BIG 2030           /* put longer than RIMQ_MAX_MSG_LENGTH */
#define RIMQRC_NO_MSG_AVAILABLE 2033      /* no matching message within the wait */
#define RIMQRC_NOT_AUTHORIZED 2035        /* login refused (wrong user or password) or command denied */
#define RIMQRC_OD_ERROR 2044              /* object descriptor null or not an "OD" record */
#define RIMQRC_OPTIONS_ERROR 2046         /* options record null or of the wrong kind, unsupported
                                             match mode, unknown RIMQ_SetOption option or length */
#define RIMQRC_STORAGE_NOT_AVAILABLE 2071 /* the library ran out of memory */
#define RIMQRC_TRUNCATED_MSG_FAILED 2080  /* message longer than the get buffer: the first bytes are
                                             in the buffer, the full length in the out length, and
                                             the message is removed from the queue */
#define RIMQRC_UNKNOWN_OBJECT_NAME 2085   /* queue name empty or holding "{" or "}" */
#define RIMQRC_UNEXPECTED_ERROR 2195      /* the engine answered something the library cannot use
                                             (for a Redis server: an error reply other than the
                                             ones above, e.g. a Cluster redirection) */
#define RIMQRC_SSL_NOT_SUPPORTED 2393     /* an SSL string was given: this build has no TLS */
#define RIMQRC_PROXY_NOT_SUPPORTED 2394   /* a proxy string was given: this build connects directly */
#define RIMQRC_INTERRUPTED 2549           /* the get was ended by RIMQ_Interrupt */

#define RIMQ_MAX_MSG_LENGTH 4194304       /* longest message a put accepts, in bytes */

/* Record ids and version, 8 bytes each with the terminating zero. */
#define RIMQ_MD_STRUC_ID "RIMQ   "
#define RIMQ_PMO_STRUC_ID "PMO    "
#define RIMQ_GMO_STRUC_ID "GMO    "
#define RIMQ_PGO_STRUC_ID "PGO    "
#define RIMQ_OD_STRUC_ID "OD     "
#define RIMQ_RECORD_VERSION "1.0.0.0"

/* Prepares a record for a call: zero-filled, with its structure id (one of the above) and the
 * record version set. Every caller fills its records this way before setting its own fields. */
#define RIMQ_INIT_RECORD(record, strucId)                                   \
  (memset(&(record), 0, sizeof(record)), memcpy((record).szStrucId, (strucId), 8), \
   memcpy((record).szVersion, RIMQ_RECORD_VERSION, 8))

/* Options the bus client passes where this library ignores them: RIMQ_Open's open options,
 * RIMQGMO.nOptions and RIMQPGO.nGetOptions, RIMQPGO.nOptions. */
#define RIMQOO_CLIENT 135
#define RIMQGMO_CLIENT 8449
#define RIMQPGO_CLIENT 512

/* Put options (RIMQPMO.nOptions). */
#define RIMQPMO_NEW_MSG_ID 64   /* the library assigns a unique 24-character printable message id */

/* Get match modes (RIMQGMO.nMatchOptions). Modes 4 and 7 are not supported (2046). */
#define RIMQMO_NONE 0                 /* the oldest message of the queue */
#define RIMQMO_MATCH_CORREL_ID 2      /* the oldest message with this correlation id */
#define RIMQMO_MATCH_MSG_ID 1         /* only together with RIMQMO_MATCH_CORREL_ID */
#define RIMQMO_MATCH_MSG_AND_CORREL_ID 3
#define RIMQMO_MATCH_REPLY_TAG 4      /* only together with RIMQMO_MATCH_CORREL_ID: mode 6 */

/* Wait of a get, in seconds (RIMQGMO.nWaitInterval). */
#define RIMQWI_NO_WAIT 0
#define RIMQWI_UNLIMITED (-1)         /* any negative value waits without limit */

/* RIMQ_SetOption options. */
#define RIMQOPT_NETWORK_TIMEOUT 0     /* int seconds a connect or a non-waiting reply may take;
                                         0 or negative = the default of 10 seconds; process-wide */

#pragma pack(push, 1)

/* Message descriptor, 414 bytes, for every put and every get.
 * Put: reads nExpiry, abMsgId (unless RIMQPMO_NEW_MSG_ID), abCorrelId, szReplyToQ, abReplyTag and
 * the carried bytes; writes abMsgId (the id of the message put).
 * Get: reads abMsgId, abCorrelId and abReplyTag as the match mode asks; on success writes abMsgId,
 * abCorrelId, szReplyToQ, abReplyTag, cMsgType, cClientOption4, cClientOption3, nFormat and
 * nMsgLength from the message taken. Ids compare as 24 raw bytes. */
typedef struct tagRIMQMD {
  char szStrucId[8];         /*   0 RIMQ_MD_STRUC_ID */
  char szVersion[8];         /*   8 RIMQ_RECORD_VERSION */
  char cReserved1;           /*  16 */
  char cMsgType;             /*  17 carried: 1 request packet, 2 in get records */
  int nExpiry;               /*  18 put: lifetime in milliseconds, 0 or negative = no expiry */
  char abReserved2[16];      /*  22 */
  int nFormat;               /*  38 carried (the bus client writes 5) */
  char abReserved3[2];       /*  42 */
  char abMsgId[24];          /*  44 */
  char abCorrelId[24];       /*  68 */
  char szReplyToQ[32];       /*  92 zero-padded, not terminated at 32 characters */
  char abReserved4[147];     /* 124 */
  char cClientOption4;       /* 271 carried */
  char cClientOption3;       /* 272 carried */
  char abReserved5[68];      /* 273 */
  char abReplyTag[24];       /* 341 */
  char abReserved6[13];      /* 365 */
  int nMsgLength;            /* 378 carried by puts; a get sets it to the message's length */
  char abReserved7[32];      /* 382 */
} RIMQMD;

/* Put options, 28 bytes. */
typedef struct tagRIMQPMO {
  char szStrucId[8];         /*  0 RIMQ_PMO_STRUC_ID */
  char szVersion[8];         /*  8 */
  int nOptions;              /* 16 RIMQPMO_NEW_MSG_ID or 0; other bits ignored */
  int nTimeout;              /* 20 seconds; carried (the reply wait is RIMQOPT_NETWORK_TIMEOUT) */
  int nReserved;             /* 24 */
} RIMQPMO;

/* Get options, 40 bytes. */
typedef struct tagRIMQGMO {
  char szStrucId[8];         /*  0 RIMQ_GMO_STRUC_ID */
  char szVersion[8];         /*  8 */
  int nOptions;              /* 16 ignored (the bus client writes RIMQGMO_CLIENT) */
  int nWaitInterval;         /* 20 seconds: RIMQWI_NO_WAIT, positive, or RIMQWI_UNLIMITED */
  int nMatchOptions;         /* 24 RIMQMO_* : 0, 2, 3 or 6 */
  char abReserved1[4];       /* 28 */
  int nReserved2;            /* 32 */
  int nReserved3;            /* 36 */
} RIMQGMO;

/* Put-and-get options of RIMQ_PutEx, 40 bytes. */
typedef struct tagRIMQPGO {
  char szStrucId[8];         /*  0 RIMQ_PGO_STRUC_ID */
  char szVersion[8];         /*  8 */
  int nOptions;              /* 16 ignored (RIMQPGO_CLIENT) */
  int hRequestQ;             /* 20 queue the message is put on (opened on this connection) */
  int nGetOptions;           /* 24 ignored (RIMQGMO_CLIENT) */
  int nReserved;             /* 28 ignored (1) */
  int hReplyQ;               /* 32 carried */
  int nTimeout;              /* 36 seconds; carried */
} RIMQPGO;

/* Object descriptor of RIMQ_Open, 84 bytes. */
typedef struct tagRIMQOD {
  char szStrucId[8];         /*  0 RIMQ_OD_STRUC_ID */
  char szVersion[8];         /*  8 */
  char szObjectName[32];     /* 16 queue name, zero-padded, not terminated at 32 characters */
  int nObjectType;           /* 48 ignored (1) */
  char abReserved[32];       /* 52 */
} RIMQOD;

#pragma pack(pop)

typedef char rimq_check_md_size[(sizeof(RIMQMD) == 414) ? 1 : -1];
typedef char rimq_check_pmo_size[(sizeof(RIMQPMO) == 28) ? 1 : -1];
typedef char rimq_check_gmo_size[(sizeof(RIMQGMO) == 40) ? 1 : -1];
typedef char rimq_check_pgo_size[(sizeof(RIMQPGO) == 40) ? 1 : -1];
typedef char rimq_check_od_size[(sizeof(RIMQOD) == 84) ? 1 : -1];

/* Connects to a queue manager (see Address above); *phConn receives the handle, or -1 on failure.
 * Failures: 2004 (not reachable), 2012, 2035, 2393, 2394, 2071; null phConn gives 2018. */
RIMQAPI_API void RIMQ_Connect(int nProtocol, const char *pszAddress, int nPort, const char *pszUser,
                              const char *pszPassword, const char *pszProxy, const char *pszSSL,
                              int *phConn, int *pnCompCode, int *pnReason);

/* Opens the queue named in the descriptor (created on first use); *phObj receives the handle, or
 * -1 on failure. Open options are ignored (the bus client passes RIMQOO_CLIENT). The queue becomes the one
 * RIMQ_Get2 reads on this connection. Failures: 2018, 2044, 2085, 2019 (null phObj), 2071. */
RIMQAPI_API void RIMQ_Open(int hConn, const RIMQOD *pObjDesc, int nOpenOptions, int *phObj,
                           int *pnCompCode, int *pnReason);

/* Releases the connection and its queue handles; *phConn becomes -1. A get blocked on it from
 * another thread ends with 2549 first. nOptions is ignored. Failure: 2018 (null or unknown). */
RIMQAPI_API void RIMQ_Disconn(int *phConn, int nOptions, int *pnCompCode, int *pnReason);

/* Puts nLength bytes (0 allowed) on queue hObj. Failures: 2018, 2019, 2026, 2046, 2005, 2030,
 * 2003, 2035, 2195, 2071. A failed put over Redis may or may not have stored the message when the
 * reason is 2003. */
RIMQAPI_API void RIMQ_Put(int hConn, int hObj, RIMQMD *pMsgDesc, const RIMQPMO *pPutOpts, int nLength,
                          const void *pBuffer, int *pnCompCode, int *pnReason);

/* The same operation as RIMQ_Put (the bus client's second put family). */
RIMQAPI_API void RIMQ_Put2(int hConn, int hObj, RIMQMD *pMsgDesc, const RIMQPMO *pPutOpts, int nLength,
                           const void *pBuffer, int *pnCompCode, int *pnReason);

/* Puts on pPgo->hRequestQ with a new message id (as RIMQPMO_NEW_MSG_ID unless pMsgDesc->abMsgId is
 * set) and returns no reply: *pnReplyLength becomes 0 and, when nReplySize > 0, the reply area
 * an empty text; pReplyDesc is not touched (may be null). Failures as RIMQ_Put; pReplyLength
 * null or nReplySize negative gives 2005. */
RIMQAPI_API void RIMQ_PutEx(int hConn, const RIMQPGO *pPgo, RIMQMD *pMsgDesc, int nLength,
                            const void *pBuffer, RIMQMD *pReplyDesc, int nReplySize, void *pReplyBuffer,
                            int *pnReplyLength, int *pnCompCode, int *pnReason);

/* Takes the oldest matching message of queue hObj, waiting as the get options say. On success the
 * message is in pBuffer, its length in *pnDataLength and its ids in the descriptor.
 * Failures: 2033, 2080 (see above), 2549, 2003, 2018, 2019, 2026, 2046, 2005, 2035, 2195, 2071. */
RIMQAPI_API void RIMQ_Get(int hConn, int hObj, RIMQMD *pMsgDesc, const RIMQGMO *pGetOpts, int nBufferLength,
                          void *pBuffer, int *pnDataLength, int *pnCompCode, int *pnReason);

/* RIMQ_Get on the queue opened last on this connection (2019 when none was opened). */
RIMQAPI_API void RIMQ_Get2(int hConn, RIMQMD *pMsgDesc, const RIMQGMO *pGetOpts, int nBufferLength,
                           void *pBuffer, int *pnDataLength, int *pnCompCode, int *pnReason);

/* Sets a process-wide option; returns 0 or a reason code (2046 unknown option or nLength not 4,
 * 2005 null value). The bus client looks it up at run time. */
RIMQAPI_API int RIMQ_SetOption(int nOption, const void *pValue, int nLength);
typedef int (*RIMQ_SetOption_t)(int nOption, const void *pValue, int nLength);

/* From any thread: a get blocked on hConn returns at once with 2549; when none is blocked, the next
 * get on hConn does (the interrupt is kept until a get takes it, so a stop request that races with
 * the start of a get is not lost). Returns 0, or 2018 for an unknown handle. */
RIMQAPI_API int RIMQ_Interrupt(int hConn);

/* An addition of this library (not part of the queue interface it follows): a short text for a
 * reason code above, "ok" for 0, without the number. For any other number "unknown reason N",
 * kept per thread until that thread's next call; every other text is static. */
RIMQAPI_API const char *RIMQ_ReasonText(int nReason);

#ifdef __cplusplus
}
#endif

#endif /* VELT_RIMQAPI_H */
