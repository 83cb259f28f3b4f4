/* veltplugin: the contract between the bus client and a transport plug-in, a library that carries
 * whole request packets to the platform and whole answers back in place of the message queue.
 *
 * Conventions:
 *  - A plug-in exports one entry function (VELTPLUGIN_EntryFunc, no arguments) whose name the
 *    caller writes into tagVELTPluginOption.szEntryName; it returns the plug-in's table, which
 *    stays valid and writable while the library is loaded. The client loads the library named in
 *    tagVELTPluginOption.szLibraryPath with local symbol binding and unloads it on disconnect.
 *  - Every table slot is pointer-sized, so the byte offsets hold exactly on 32-bit builds (the
 *    offsets in the comments) and slot k lies at k * sizeof(void*) on 64-bit builds. A null
 *    function slot is allowed; the client reports the missing function with its code.
 *  - Every function returns int, 0 = success. The codes a plug-in returns from send and receive
 *    reach the caller of the exchange unchanged, so a plug-in keeps its own codes clear of the
 *    client's codes below (1700-1799) and documents them.
 *  - Buffers: data handed to send stays the client's (copy what is kept). The buffer receive
 *    returns comes from malloc and belongs to the client, which frees it with free.
 *  - Threads: one context is used by one thread at a time; two contexts of one plug-in may be
 *    used by two threads at once, so a plug-in keeps its state in the context, not in globals.
 *  - A C++ plug-in should not let exceptions out; the client catches any that do and reports the
 *    call's code (the call is then treated as failed, and nothing it returned is used).
 *
 * Call order: entry -> initialise -> connect -> configure (only with a non-empty configuration
 * text) -> send / receive ... -> disconnect -> release. A failed initialise is followed by
 * release only when it replaced the context; a failed connect or configure by disconnect (after
 * a successful connect) and release. docs/plugins.md has a walk-through.
 */
#ifndef VELT_VELTPLUGIN_H
#define VELT_VELTPLUGIN_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#  define VELTPLUGIN_EXPORT __declspec(dllexport)
#else
#  define VELTPLUGIN_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Codes the client reports for a plug-in (the plug-in never returns these itself). */
#define VELTPLUGIN_ERR_SLOT_INDEX 1700      /* connect: slot index outside 0..15 */
#define VELTPLUGIN_ERR_LOAD 1701            /* connect: the library cannot be loaded (or no path) */
#define VELTPLUGIN_ERR_NO_ENTRY 1702        /* connect: the entry function is not exported */
#define VELTPLUGIN_ERR_NO_TABLE 1703        /* connect: the entry function returned null or threw */
#define VELTPLUGIN_ERR_INITIALISE 1704      /* connect: initialise missing, failed or threw */
#define VELTPLUGIN_ERR_CONNECT 1705         /* connect: connect missing, failed or threw */
#define VELTPLUGIN_ERR_CONFIGURE 1706       /* connect: configure missing (with a text), failed
                                               (a result other than 0 and -100) or threw */
#define VELTPLUGIN_ERR_DISCONNECT 1712      /* disconnect: the plug-in's disconnect failed or threw;
                                               the connection stays as it was */
#define VELTPLUGIN_ERR_SEND_NO_TABLE 1721   /* send: no plug-in connected */
#define VELTPLUGIN_ERR_SEND_MISSING 1722    /* send: the table has no send function */
#define VELTPLUGIN_ERR_SEND_THREW 1723      /* send: the send function threw */
#define VELTPLUGIN_ERR_SEND_TOO_LONG 1724   /* send: the request has more text than the single packet's
                                               length field can state (99999 bytes); not sent */
#define VELTPLUGIN_ERR_RECV_NO_TABLE 1731   /* receive: no plug-in connected */
#define VELTPLUGIN_ERR_RECV_MISSING 1732    /* receive: the table has no receive function */
#define VELTPLUGIN_ERR_RECV_THREW 1733      /* receive: the receive function threw */
#define VELTPLUGIN_ERR_RECV_NO_MEMORY 1741  /* receive: no memory to copy the answer */
#define VELTPLUGIN_ERR_RECV_BAD_ANSWER 1742 /* receive: result 0 with a null buffer, a negative
                                               length or fewer bytes than a packet header (126) */

/* Result of configure that the client also accepts as success. */
#define VELTPLUGIN_CONFIGURE_ACCEPTED (-100)

/* Results of the client's two callbacks: the client takes no notification from a plug-in. */
#define VELTPLUGIN_CALLBACK_REFUSED (-1)    /* first argument non-null */
#define VELTPLUGIN_CALLBACK_NO_CONTEXT (-3) /* first argument null */

/* Bit of nFlags: the plug-in wants the client's callbacks in pfnCallback1 and pfnCallback2. */
#define VELTPLUGIN_FLAG_CALLBACKS 1

/* initialise: *ppContext holds the client's transport address on entry; the plug-in may replace
 * it with its own context, which every later call receives. A failure that replaced it is
 * followed by release of that context; one that did not makes the client drop it. */
typedef int (*VELTPLUGIN_InitialiseFunc)(void **ppContext);
/* release: frees the context; 0 = the context is gone. The client forgets the context either
 * way, but keeps the library loaded for the life of the process when release fails (a context
 * that still exists may still run the library's code). */
typedef int (*VELTPLUGIN_ReleaseFunc)(void *pContext);
/* connect: pszConnectText is the entry's connect text (terminated, at most 512 characters),
 * nSlot the server-list slot (0..15), nReserved 0. */
typedef int (*VELTPLUGIN_ConnectFunc)(void *pContext, const char *pszConnectText, int nSlot, int nReserved);
/* disconnect: pszReserved null, nSlot the slot connected, nReserved 0. */
typedef int (*VELTPLUGIN_DisconnectFunc)(void *pContext, const char *pszReserved, int nSlot, int nReserved);
/* configure: the entry's configuration text (terminated, at most 511 characters, never empty),
 * nReserved 0. 0 or VELTPLUGIN_CONFIGURE_ACCEPTED = success. */
typedef int (*VELTPLUGIN_ConfigureFunc)(void *pContext, const char *pszConfigText, int nReserved);
/* send: one whole request packet, the 126-byte packet header (flags 3, sequence 0, its length
 * field the text length) followed by the text; nLength bytes in all. */
typedef int (*VELTPLUGIN_SendFunc)(void *pContext, const char *pData, int nLength);
/* receive: one whole answer part into *ppBuffer (from malloc, owned by the client afterwards) and
 * its byte count into *pnLength: a 126-byte packet header whose length field is the text length,
 * then the text. Both start as null and 0. A nonzero result may still return a buffer: the client
 * copies and frees it and reports the result. After a throw the client leaves both alone. */
typedef int (*VELTPLUGIN_ReceiveFunc)(void *pContext, char **ppBuffer, int *pnLength);
/* The client's callbacks: VELTPLUGIN_CALLBACK_REFUSED, or VELTPLUGIN_CALLBACK_NO_CONTEXT when
 * pContext is null. Valid while the plug-in is connected. */
typedef int (*VELTPLUGIN_CallbackFunc)(void *pContext, const void *pData, int nLength);

/* The plug-in table. Offsets: 32-bit build / 64-bit build (slot index). */
typedef struct tagVELTPluginTable {
  void *apReserved0[8];                      /*   0 /   0 (0..7) not read by the client */
  intptr_t nFlags;                           /*  32 /  64 (8)  VELTPLUGIN_FLAG_CALLBACKS */
  void *pReserved9;                          /*  36 /  72 (9) */
  VELTPLUGIN_ConnectFunc pfnConnect;         /*  40 /  80 (10) */
  VELTPLUGIN_DisconnectFunc pfnDisconnect;   /*  44 /  88 (11) */
  void *apReserved12[8];                     /*  48 /  96 (12..19) */
  VELTPLUGIN_InitialiseFunc pfnInitialise;   /*  80 / 160 (20) */
  VELTPLUGIN_ReleaseFunc pfnRelease;         /*  84 / 168 (21) */
  VELTPLUGIN_ConfigureFunc pfnConfigure;     /*  88 / 176 (22) */
  VELTPLUGIN_ReceiveFunc pfnReceive;         /*  92 / 184 (23) */
  VELTPLUGIN_SendFunc pfnSend;               /*  96 / 192 (24) */
  VELTPLUGIN_CallbackFunc pfnCallback1;      /* 100 / 200 (25) written by the client */
  VELTPLUGIN_CallbackFunc pfnCallback2;      /* 104 / 208 (26) written by the client */
} VELTPluginTable;

/* The entry function a plug-in exports. */
typedef VELTPluginTable *(*VELTPLUGIN_EntryFunc)(void);

/* Every slot k at k * sizeof(void*): the 32-bit offsets above on 32-bit builds, natural on 64-bit. */
#define VELTPLUGIN_SLOT_AT(member, k) \
  ((offsetof(VELTPluginTable, member) % sizeof(void *)) == 0 && \
   (offsetof(VELTPluginTable, member) / sizeof(void *)) == (k))
typedef char veltplugin_check_flags[VELTPLUGIN_SLOT_AT(nFlags, 8) ? 1 : -1];
typedef char veltplugin_check_connect[VELTPLUGIN_SLOT_AT(pfnConnect, 10) ? 1 : -1];
typedef char veltplugin_check_disconnect[VELTPLUGIN_SLOT_AT(pfnDisconnect, 11) ? 1 : -1];
typedef char veltplugin_check_initialise[VELTPLUGIN_SLOT_AT(pfnInitialise, 20) ? 1 : -1];
typedef char veltplugin_check_release[VELTPLUGIN_SLOT_AT(pfnRelease, 21) ? 1 : -1];
typedef char veltplugin_check_configure[VELTPLUGIN_SLOT_AT(pfnConfigure, 22) ? 1 : -1];
typedef char veltplugin_check_receive[VELTPLUGIN_SLOT_AT(pfnReceive, 23) ? 1 : -1];
typedef char veltplugin_check_send[VELTPLUGIN_SLOT_AT(pfnSend, 24) ? 1 : -1];
typedef char veltplugin_check_callback1[VELTPLUGIN_SLOT_AT(pfnCallback1, 25) ? 1 : -1];
typedef char veltplugin_check_callback2[VELTPLUGIN_SLOT_AT(pfnCallback2, 26) ? 1 : -1];
typedef char veltplugin_check_size[(sizeof(VELTPluginTable) == 27 * sizeof(void *)) ? 1 : -1];
typedef char veltplugin_check_32bit_flags[(sizeof(void *) != 4 ||
                                           offsetof(VELTPluginTable, nFlags) == 32) ? 1 : -1];
typedef char veltplugin_check_32bit_send[(sizeof(void *) != 4 ||
                                          offsetof(VELTPluginTable, pfnSend) == 96) ? 1 : -1];

#ifdef __cplusplus
}
#endif

#endif /* VELT_VELTPLUGIN_H */
