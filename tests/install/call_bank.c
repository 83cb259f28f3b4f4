/* Calls the example business program bank.accounts through the installed client: the answer's
 * table, and the program's own error status when OWNER is missing.
 *   call_bank address port user password */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "veltcli.h"

int main(int argc, char **argv) {
  static char message[32000];
  char cell[64];
  tagVELTConnectOption entry;
  VELTCLI_HANDLE h = NULL;
  int rc, rows = 0, code = 0;
  if (argc < 5 || VELTCLI_Init(&h) != 0) return 2;
  memset(&entry, 0, sizeof entry);
  strcpy(entry.szServerName, "main");
  strcpy(entry.szAddress, argv[1]);
  entry.nPort = atoi(argv[2]);
  strcpy(entry.szSendQName, "VELT.REQUEST");
  strcpy(entry.szReceiveQName, "BANK.ANS");
  VELTCLI_SetConnectOption(h, entry);
  VELTCLI_SetCliTimeOut(h, 5);
  if ((rc = VELTCLI_ConnectServer(h, "main", argv[3], argv[4])) != 0) {
    fprintf(stderr, "connect: %d %s\n", rc, VELTCLI_CodeText(rc));
    return 3;
  }
  VELTCLI_BeginWrite(h);
  VELTCLI_SetValue(h, "OWNER", "Ann");
  if ((rc = VELTCLI_CallProgramAndCommit(h, "bank.accounts", NULL)) != 0) {
    fprintf(stderr, "bank.accounts: %d %s\n", rc, VELTCLI_CodeText(rc));
    return 4;
  }
  if (VELTCLI_RsOpen(h) != 0) return 5;
  while (VELTCLI_RsFetchRow(h) == 0) ++rows;
  if (rows != 2 || VELTCLI_RsGetCol(h, 2, cell) != 0 || strcmp(cell, "7,25") != 0) return 6;
  VELTCLI_BeginWrite(h);
  rc = VELTCLI_CallProgramAndCommit(h, "bank.accounts", NULL);
  VELTCLI_GetErr(h, &code, message);
  if (rc != 10001 || code != 10001 || strcmp(message, "OWNER is needed") != 0) return 7;
  VELTCLI_DisConnect(h);
  VELTCLI_Exit(h);
  puts("call_bank: the C business program answered from the installed emulator");
  return 0;
}
