/* A program library for the tests of the contract's edges: the host's refusals of bad arguments
 * and a refusing entry (when CONTRACT_REFUSE is set in the environment). */
#include <stdlib.h>

#include "veltemu_program.h"

static const VELTEMU_Host *host;

static void Nothing(void *context, const VELTEMU_Request *request, VELTEMU_Answer *answer) {
  (void)context, (void)request, (void)answer;
}

/* Answers RESULT=ok, or status 10099 with the number of the first check that failed. */
static void Probe(void *context, const VELTEMU_Request *request, VELTEMU_Answer *answer) {
  static const char *const names[] = {"a", NULL};
  static const char *const cells[] = {"1", NULL};
  const int checks[] = {
      host->Value(request, "ABSENT", NULL) == NULL,
      host->Value(request, NULL, NULL) == NULL,
      host->ValueName(request, 0) == NULL && host->ValueName(request, host->ValueCount(request) + 1) == NULL,
      host->TableCursor(request, 1) == NULL && host->TableCell(request, 1, 1, 1) == NULL,
      host->SetValue(answer, NULL, "v") == VELTEMU_ERR_ARGUMENT && host->SetValue(answer, "n", NULL) == VELTEMU_ERR_ARGUMENT,
      host->SetBinary(answer, "b", NULL, 3) == VELTEMU_ERR_ARGUMENT,
      host->AddRow(answer, cells, 1) == VELTEMU_ERR_ARGUMENT, /* no table begun */
      host->BeginTable(answer, "t", 0, names) == VELTEMU_ERR_ARGUMENT,
      host->BeginTable(answer, "t", 2, names) == VELTEMU_ERR_ARGUMENT, /* a null name */
      host->BeginTable(answer, "t", 1, names) == 1 && host->AddRow(answer, cells, 2) == VELTEMU_ERR_ARGUMENT,
      host->AddRow(answer, cells, 1) == 1,
      host->SetValue(NULL, "n", "v") == VELTEMU_ERR_ARGUMENT && host->SetStatus(NULL, 1) == VELTEMU_ERR_ARGUMENT,
      host->Register(host, "late", Nothing, NULL) == VELTEMU_ERR_ARGUMENT, /* only during the entry */
  };
  size_t i;
  (void)context;
  for (i = 0; i < sizeof checks / sizeof checks[0]; ++i) {
    if (!checks[i]) {
      char text[16];
      text[0] = (char)('A' + i);
      text[1] = '\0';
      host->SetError(answer, 10099, text);
      return;
    }
  }
  host->SetValue(answer, "RESULT", "ok");
}

VELTEMU_PROGRAM_EXPORT int VELTEMU_RegisterPrograms(const VELTEMU_Host *h) {
  host = h;
  if (h->nVersion != VELTEMU_HOST_VERSION || h->nSize != (int)sizeof(VELTEMU_Host)) return 9;
  if (h->Register(h, NULL, Nothing, NULL) != VELTEMU_ERR_ARGUMENT) return 6;
  if (h->Register(h, "", Nothing, NULL) != VELTEMU_ERR_ARGUMENT) return 7;
  if (h->Register(h, "x", NULL, NULL) != VELTEMU_ERR_ARGUMENT) return 8;
  if (h->Register(h, "contract.probe", Probe, NULL) != VELTEMU_OK) return 4;
  return getenv("CONTRACT_REFUSE") != NULL ? 5 : 0;
}
