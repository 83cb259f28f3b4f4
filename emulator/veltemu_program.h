/* veltemu_program: the C contract between velt-emulator and a library of business programs, which
 * `velt-emulator --programs libX.so[,libY.so]` loads at start.
 *
 * Conventions:
 *  - A program library exports one entry function, VELTEMU_RegisterPrograms. The emulator calls it
 *    once after loading the library, with a host table that stays valid while the library is
 *    loaded (until the emulator ends). The entry registers its programs through host->Register and
 *    returns 0; any other result refuses the library and the emulator does not start.
 *  - Only C types cross this contract: text is zero-terminated single-byte text, bytes come with a
 *    length, request and answer are opaque pointers valid during one call of a program.
 *  - Request texts returned by the host stay valid until the program returns; copy what is kept.
 *    Tables, rows and columns are numbered from 1, as in the client's result-set calls.
 *  - A program runs on a worker thread; with several workers, several calls run at once, so a
 *    program keeps shared state under its own lock. A C++ program must not let exceptions out.
 *  - Status: 0 is success. A program's own statuses are 10000..999999 (VELTEMU_STATUS_FIRST ..
 *    VELTEMU_STATUS_LAST): smaller numbers are the client's own codes (1..103, 1700..1799), the
 *    queue library's reasons (2xxx), the emulator's statuses (7001..7099) and 9999, so a caller
 *    could not tell them apart. The answer header holds six digits, so nothing above 999999.
 * docs/emulator.md has a walk-through; examples/business_program.c is a whole library.
 */
#ifndef VELT_VELTEMU_PROGRAM_H
#define VELT_VELTEMU_PROGRAM_H

#include <stddef.h>

#if defined(_WIN32)
#  define VELTEMU_PROGRAM_EXPORT __declspec(dllexport)
#else
#  define VELTEMU_PROGRAM_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The version of the host table this header describes; the host writes it into nVersion. */
#define VELTEMU_HOST_VERSION 1

/* The range of a program's own statuses. */
#define VELTEMU_STATUS_FIRST 10000
#define VELTEMU_STATUS_LAST 999999

/* Results of the host's functions that return a code. */
#define VELTEMU_OK 0
#define VELTEMU_ERR_ARGUMENT (-1)  /* a null or out-of-range argument; nothing changed */
#define VELTEMU_ERR_MEMORY (-2)    /* no memory, or the answer passes its limit (64 MiB); the call
                                      is then answered with the emulator's status 7012 */

typedef struct VELTEMU_Request VELTEMU_Request; /* one joined request, read-only */
typedef struct VELTEMU_Answer VELTEMU_Answer;   /* the answer being written */

/* A business program: reads the request, writes the answer (values, tables, status, error text).
 * `context` is the pointer given to Register. */
typedef void (*VELTEMU_ProgramFunc)(void *context, const VELTEMU_Request *request, VELTEMU_Answer *answer);

/* The host table: the emulator's functions a program library calls. */
typedef struct tagVELTEMUHost {
  int nVersion; /* VELTEMU_HOST_VERSION */
  int nSize;    /* sizeof(VELTEMU_Host) of the emulator */

  /* Registers (or replaces) the program `name`, called by its full service id ("accounts.list");
   * calls by program name alone find it by its first 8 characters when no other name shares them.
   * 0, or VELTEMU_ERR_ARGUMENT for a null or empty name or a null function. */
  int (*Register)(const struct tagVELTEMUHost *host, const char *name, VELTEMU_ProgramFunc program, void *context);

  /* The request's named value: its text, or the bytes of a binary value (a zero byte follows
   * them); null when there is no such value. *pnLength gets the byte count when pnLength is not
   * null. */
  const char *(*Value)(const VELTEMU_Request *request, const char *name, size_t *pnLength);
  /* The pairs of the request in order (reserved "_" pairs included): their count, and the name
   * of pair 1..count (null outside). */
  int (*ValueCount)(const VELTEMU_Request *request);
  const char *(*ValueName)(const VELTEMU_Request *request, int index);
  /* Header facts: the full service id ("" when the call names a program only), the program name
   * of the header (8 characters at most), the session number, the transaction id ("" outside a
   * transaction). */
  const char *(*ServiceId)(const VELTEMU_Request *request);
  const char *(*Program)(const VELTEMU_Request *request);
  int (*Session)(const VELTEMU_Request *request);
  const char *(*TransactionId)(const VELTEMU_Request *request);

  /* The request's tables: their count; for table 1..count its cursor name, column count, the
   * name of column 1..columns, its row count, and the cell at row 1..rows, column 1..columns
   * (null outside; a cell beyond a short row is ""). A cell "_BLOB_<row>_<col>" names a binary
   * value: read its bytes with Value. */
  int (*TableCount)(const VELTEMU_Request *request);
  const char *(*TableCursor)(const VELTEMU_Request *request, int table);
  int (*TableColumnCount)(const VELTEMU_Request *request, int table);
  const char *(*TableColumnName)(const VELTEMU_Request *request, int table, int column);
  int (*TableRowCount)(const VELTEMU_Request *request, int table);
  const char *(*TableCell)(const VELTEMU_Request *request, int table, int row, int column);

  /* The answer: a named value (set again: the later one counts), a binary value of nLength bytes,
   * a table with its column names (its number, or a code below 0), a row of the table begun last
   * (its number across all tables, or a code below 0; cells past nCells stay empty). */
  int (*SetValue)(VELTEMU_Answer *answer, const char *name, const char *value);
  int (*SetBinary)(VELTEMU_Answer *answer, const char *name, const void *data, size_t nLength);
  int (*BeginTable)(VELTEMU_Answer *answer, const char *cursor, int nColumns, const char *const *columnNames);
  int (*AddRow)(VELTEMU_Answer *answer, const char *const *cells, int nCells);
  /* The answer's status without error values, or with "_ERRNO" = status and "_ERRMSG" = message. */
  int (*SetStatus)(VELTEMU_Answer *answer, int status);
  int (*SetError)(VELTEMU_Answer *answer, int status, const char *message);
} VELTEMU_Host;

typedef char veltemu_check_host_size[(sizeof(VELTEMU_Host) == 2 * sizeof(int) + 20 * sizeof(void (*)(void))) ? 1 : -1];

/* The entry function every program library exports: 0 when its programs are registered. */
typedef int (*VELTEMU_RegisterProgramsFunc)(const VELTEMU_Host *host);
#define VELTEMU_ENTRY_NAME "VELTEMU_RegisterPrograms"
VELTEMU_PROGRAM_EXPORT int VELTEMU_RegisterPrograms(const VELTEMU_Host *host);

#ifdef __cplusplus
}
#endif

#endif /* VELT_VELTEMU_PROGRAM_H */
