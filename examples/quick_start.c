/* Quick start: connect to the emulator started by start-emulator.sh, call the built-in program
 * "echo" and read a value back.   quick_start [address port user password-file] */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "veltcli.h"

int main(int argc, char **argv) {
  const char *address = argc > 1 ? argv[1] : "127.0.0.1";
  const int port = argc > 2 ? atoi(argv[2]) : 6379;
  const char *user = argc > 3 ? argv[3] : "client";
  char password[33] = "client-secret";
  static char message[32000]; /* VELTCLI_GetErr needs 32000 bytes */
  char value[64];
  VELTCLI_HANDLE h = NULL;
  tagVELTConnectOption entry;
  int rc, code = 0;

  if (argc > 4) { /* the password from a file, not the command line */
    FILE *f = fopen(argv[4], "r");
    if (f == NULL || fgets(password, sizeof password, f) == NULL) return 2;
    fclose(f);
    password[strcspn(password, "\r\n")] = '\0';
  }
  if (VELTCLI_Init(&h) != 0) return 1;
  memset(&entry, 0, sizeof entry);
  strcpy(entry.szServerName, "main");           /* the name VELTCLI_ConnectServer looks for */
  strcpy(entry.szAddress, address);             /* Redis host ("inproc": the embedded engine) */
  entry.nPort = port;
  strcpy(entry.szSendQName, "VELT.REQUEST");    /* the emulator's --request-queue */
  strcpy(entry.szReceiveQName, "QUICKSTART.ANS"); /* answers come back here */
  VELTCLI_SetConnectOption(h, entry);
  VELTCLI_SetCliTimeOut(h, 5); /* seconds; a wrong queue name shows as 2033 after this long */

  rc = VELTCLI_ConnectServer(h, "main", user, password);
  if (rc != 0) {
    fprintf(stderr, "connect: %d %s\n", rc, VELTCLI_CodeText(rc));
    VELTCLI_Exit(h);
    return 1;
  }
  VELTCLI_BeginWrite(h);
  VELTCLI_SetValue(h, "ACCOUNT", "A-1001");
  rc = VELTCLI_CallProgramAndCommit(h, "echo", NULL);
  if (rc == 0 && VELTCLI_GetValue(h, "ACCOUNT", value, (int)sizeof value - 1) == 0) {
    printf("echo answered ACCOUNT=%s\n", value);
  } else {
    VELTCLI_GetErr(h, &code, message); /* the program's _ERRNO and _ERRMSG, when it sent them */
    fprintf(stderr, "call: %d %s %s\n", rc, VELTCLI_CodeText(rc), message);
  }
  VELTCLI_DisConnect(h);
  VELTCLI_Exit(h);
  return rc == 0 ? 0 : 1;
}
