/* Calls the emulator's echo program through the packaged bus client, over a Redis Unix socket.
 * Usage: consumer SOCKET REQUEST_QUEUE */
#include <stdio.h>
#include <string.h>

#include "veltcli.h"

int main(int argc, char **argv) {
  VELTCLI_HANDLE h = NULL;
  tagVELTConnectOption e;
  char value[64] = {0};
  int rc;

  if (argc < 3) return 2;
  if (VELTCLI_Init(&h) != 0) return 3;
  memset(&e, 0, sizeof e);
  strcpy(e.szServerName, "pkg");
  e.nProtocal = 2;
  strncpy(e.szAddress, argv[1], sizeof e.szAddress - 1);
  strncpy(e.szSendQName, argv[2], sizeof e.szSendQName - 1);
  strcpy(e.szReceiveQName, "PKG.CONSUMER.ANS");
  VELTCLI_SetConnectOption(h, e);
  VELTCLI_SetCliTimeOut(h, 10);
  rc = VELTCLI_ConnectServer(h, "pkg", "", "");
  if (rc != 0) {
    fprintf(stderr, "consumer: connect %d\n", rc);
    return 4;
  }
  VELTCLI_BeginWrite(h);
  VELTCLI_SetValue(h, "GREETING", "hello, package");
  rc = VELTCLI_CallProgramAndCommit(h, "echo", NULL);
  if (rc != 0) {
    fprintf(stderr, "consumer: call %d\n", rc);
    return 5;
  }
  if (VELTCLI_GetValue(h, "GREETING", value, sizeof value - 1) != 0 || strcmp(value, "hello, package") != 0) return 6;
  VELTCLI_DisConnect(h);
  VELTCLI_Exit(h);
  puts("consumer: echo answered through the packaged library");
  return 0;
}
