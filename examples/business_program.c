/* A business program library for velt-emulator: two programs of a small bank, written against
 * the C contract veltemu_program.h only. Build it as a shared library and start the emulator with
 *   velt-emulator ... --programs ./libbusiness_program.so
 * bank.accounts: OWNER in; OWNER, a table "accounts" (id, balance) out; no OWNER: status 10001.
 * bank.total:    a table of amounts in (column "amount"); COUNT and TOTAL (in cents) out. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "veltemu_program.h"

#define BANK_NO_OWNER 10001 /* our own statuses start at VELTEMU_STATUS_FIRST */
#define BANK_BAD_AMOUNT 10002

static const VELTEMU_Host *host; /* valid while the library is loaded */

static void Accounts(void *context, const VELTEMU_Request *request, VELTEMU_Answer *answer) {
  static const char *const columns[] = {"id", "balance"};
  const char *owner = host->Value(request, "OWNER", NULL);
  const char *row1[] = {"1001", "12.50"};
  const char *row2[] = {"1002", "7,25"}; /* a "," in a cell travels escaped */
  (void)context;
  if (owner == NULL || owner[0] == '\0') {
    host->SetError(answer, BANK_NO_OWNER, "OWNER is needed");
    return;
  }
  host->SetValue(answer, "OWNER", owner);
  host->BeginTable(answer, "accounts", 2, columns);
  host->AddRow(answer, row1, 2);
  host->AddRow(answer, row2, 2);
}

static void Total(void *context, const VELTEMU_Request *request, VELTEMU_Answer *answer) {
  long long cents = 0;
  int rows, row, column = 0, c;
  char text[64];
  (void)context;
  if (host->TableCount(request) < 1) {
    host->SetError(answer, BANK_BAD_AMOUNT, "a table with the column amount is needed");
    return;
  }
  for (c = 1; c <= host->TableColumnCount(request, 1); ++c) {
    const char *name = host->TableColumnName(request, 1, c); /* null when fewer names came */
    if (name != NULL && strcmp(name, "amount") == 0) column = c;
  }
  if (column == 0) {
    host->SetError(answer, BANK_BAD_AMOUNT, "the table has no column amount");
    return;
  }
  rows = host->TableRowCount(request, 1);
  for (row = 1; row <= rows; ++row) {
    char *end = NULL;
    const char *cell = host->TableCell(request, 1, row, column);
    const long long amount = strtoll(cell, &end, 10);
    if (cell[0] == '\0' || *end != '\0') {
      snprintf(text, sizeof text, "row %d: not a whole number", row);
      host->SetError(answer, BANK_BAD_AMOUNT, text);
      return;
    }
    cents += amount;
  }
  snprintf(text, sizeof text, "%d", rows);
  host->SetValue(answer, "COUNT", text);
  snprintf(text, sizeof text, "%lld", cents);
  host->SetValue(answer, "TOTAL", text);
}

VELTEMU_PROGRAM_EXPORT int VELTEMU_RegisterPrograms(const VELTEMU_Host *h) {
  if (h->nVersion < VELTEMU_HOST_VERSION) return 1; /* an older emulator than this header */
  host = h;
  if (host->Register(host, "bank.accounts", Accounts, NULL) != VELTEMU_OK) return 2;
  if (host->Register(host, "bank.total", Total, NULL) != VELTEMU_OK) return 3;
  return 0;
}
