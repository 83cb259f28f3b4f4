/* Result-set walker: call a program that answers several tables and print every table's cursor
 * name, columns and row count, and the first row's cells.   result_set_walker [address port user password] */
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
  strcpy(entry.szReceiveQName, "WALKER.ANS");
  VELTCLI_SetConnectOption(h, entry);
  VELTCLI_SetCliTimeOut(h, 5);
  return VELTCLI_ConnectServer(h, "main", argc > 3 ? argv[3] : "client", argc > 4 ? argv[4] : "client-secret");
}

int main(int argc, char **argv) {
  static char cell[12192]; /* holds any fetched cell */
  char name[64];
  VELTCLI_HANDLE h = NULL;
  int rc, tables = 0, total = 0;

  if (VELTCLI_Init(&h) != 0) return 1;
  if ((rc = Connect(h, argc, argv)) != 0) {
    fprintf(stderr, "connect: %d %s\n", rc, VELTCLI_CodeText(rc));
    return 1;
  }
  VELTCLI_BeginWrite(h);
  VELTCLI_SetValue(h, "TABLES", "3");
  VELTCLI_SetValue(h, "ROWS", "1000");
  VELTCLI_SetValue(h, "COLS", "3");
  rc = VELTCLI_CallProgramAndCommit(h, "rows", NULL);
  if (rc != 0) {
    fprintf(stderr, "call: %d %s\n", rc, VELTCLI_CodeText(rc));
    return 1;
  }
  /* RsOpen opens the first table, RsMore each next one; RsFetchRow walks the rows and reads
   * further answer parts itself. Read named values before the walk: a new part replaces them. */
  for (rc = VELTCLI_RsOpen(h); rc == 0; rc = VELTCLI_RsMore(h)) {
    int columns = 0, rows = 0, c;
    VELTCLI_RsGetCursorName(h, name, (int)sizeof name);
    VELTCLI_RsGetColNum(h, &columns);
    printf("table %s:", name);
    for (c = 1; c <= columns; ++c) {
      VELTCLI_RsGetColName(h, c, name, (int)sizeof name);
      printf(" %s", name);
    }
    while (VELTCLI_RsFetchRow(h) == 0) {
      if (++rows == 1) {
        VELTCLI_RsGetCol(h, 1, cell);
        printf(" (first cell %s)", cell);
      }
    }
    printf(", %d rows\n", rows);
    ++tables;
    total += rows;
  }
  VELTCLI_DisConnect(h);
  VELTCLI_Exit(h);
  return tables == 3 && total == 3000 ? 0 : 1;
}
