/* Asynchronous call and the cursor: send a request, collect the first answer part with
 * VELTCLI_GetReply, let the cursor read the remaining parts, and see why GetReply must not be
 * called again afterwards.   async_client [address port user password] */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "veltcli.h"

static int Connect(VELTCLI_HANDLE h, int argc, char **argv) {
  tagVELTConnectOption entry;
  memset(&entry, 0, sizeof entry);
  strcpy(entry.szServerName, "main");
  strcpy(entry.szAddress, argc > 1 ? argv[1] : "127.0.0.1");
  entry.nPort = argc > 2 ? atoi(argv[2]) : 6379;
  strcpy(entry.szSendQName, "VELT.REQUEST");
  strcpy(entry.szReceiveQName, "ASYNC.ANS");
  VELTCLI_SetConnectOption(h, entry);
  VELTCLI_SetCliTimeOut(h, 5);
  return VELTCLI_ConnectServer(h, "main", argc > 3 ? argv[3] : "client", argc > 4 ? argv[4] : "client-secret");
}

int main(int argc, char **argv) {
  VELTCLI_HANDLE h = NULL;
  tagAsyncCall call;
  int rc, rows = 0;

  if (VELTCLI_Init(&h) != 0) return 1;
  if ((rc = Connect(h, argc, argv)) != 0) {
    fprintf(stderr, "connect: %d %s\n", rc, VELTCLI_CodeText(rc));
    return 1;
  }
  VELTCLI_BeginWrite(h);
  VELTCLI_SetValue(h, "ROWS", "3000"); /* about 40 KB: the answer comes in several parts */
  VELTCLI_SetValue(h, "COLS", "2");
  memset(&call, 0, sizeof call);
  call.nExpiry = 5; /* seconds each GetReply waits for its part */
  rc = VELTCLI_ACallProgramAndCommit(h, "rows", &call, NULL); /* returns once the request is sent */
  if (rc != 0) {
    fprintf(stderr, "send: %d %s\n", rc, VELTCLI_CodeText(rc));
    return 1;
  }
  /* ... other work while the platform runs the program ... */
  rc = VELTCLI_GetReply(h, &call); /* the first answer part into the packet buffer */
  if (rc != 0) {
    fprintf(stderr, "reply: %d %s\n", rc, VELTCLI_CodeText(rc));
    return 1;
  }
  /* nFlags bit 0: the answer is complete; bit 1: this part ended and more parts follow. */
  printf("first part: nFlags %d (complete %d, more parts %d)\n", call.nFlags, call.nFlags & 1,
         (call.nFlags >> 1) & 1);

  /* The cursor reads the remaining parts itself when it runs out of rows. */
  if (VELTCLI_RsOpen(h) == 0)
    while (VELTCLI_RsFetchRow(h) == 0) ++rows;
  printf("rows read by the cursor: %d\n", rows);

  /* The cursor does not update the record: nFlags still says what the first part said, and a
   * further GetReply waits its whole nExpiry for a part that will never come (2033). So use
   * either GetReply part by part, or the cursor after the first part - not both. */
  call.nExpiry = 1;
  rc = VELTCLI_GetReply(h, &call);
  printf("GetReply after the cursor: %d %s\n", rc, VELTCLI_CodeText(rc));

  VELTCLI_DisConnect(h);
  VELTCLI_Exit(h);
  return rows == 3000 && rc == 2033 ? 0 : 1;
}
