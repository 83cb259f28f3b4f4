/* svcgate: one business service call in the item-list form of the authentication client.
 *
 * Conventions:
 *  - An item list is NAME:VALUE items joined by ",". On the way in, an item's value is everything
 *    after its first ":" (so run-time texts keep their colons), sent as written; empty items are
 *    skipped; an item without ":" has an empty value. On the way out, items are written NAME:VALUE
 *    joined by "," with nothing after the last one.
 *  - The answer area's size is not passed: it must hold SVCGATE_ANSWER_MAX characters and a
 *    terminator (2049 bytes). Nothing is written past answer[2048]; on every failure the area
 *    holds an empty text.
 *  - Results: 0, a code of the platform call passed through unchanged (the server's nonzero
 *    status, a queue reason, LUNQCLI_E_HANDLE for a handle lunqcli refuses...), or one of the
 *    SVCGATE_E_* codes below, which lie outside the codes the call returns.
 *  - No state of its own; calls on different handles may run in parallel, one handle is used by
 *    one thread at a time (as lunqcli requires). No exception escapes.
 * docs/svcgate.md has the details.
 */
#ifndef VELT_SVCGATE_H
#define VELT_SVCGATE_H

#include <stdint.h>

#if defined(_WIN32)
#  if defined(SVCGATE_BUILD)
#    define SVCGATE_API __declspec(dllexport)
#  else
#    define SVCGATE_API __declspec(dllimport)
#  endif
#else
#  define SVCGATE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define SVCGATE_ANSWER_MAX 2048        /* characters of the longest answer written */

#define SVCGATE_OK 0
#define SVCGATE_E_ARGUMENT (-2001)     /* service code null or empty, or answer null */
#define SVCGATE_E_REQUEST (-2002)      /* a request item with an empty name or a name beginning with "_" */
#define SVCGATE_E_ANSWER_SIZE (-2003)  /* the answer as an item list is longer than 2048 characters */
#define SVCGATE_E_ANSWER_VALUE (-2004) /* an answer name or value holds "," or ":" (or a zero byte) */
#define SVCGATE_E_ANSWER_READ (-2005)  /* the answer could not be read (its rows could not be fetched) */
#define SVCGATE_E_MEMORY (-2006)       /* no memory */

/* Calls `serviceCode` (for the authentication client an 8-character code such as "T0000101")
 * stand-alone on the connected lunqcli handle `handle`: a new request with one named value per
 * request item, then the answer written to `answer` as an item list — the columns of its first
 * result-set row when it has one, otherwise its named values (those whose names do not begin with
 * "_"), in the order they arrived. A null request is an empty one. Windows builds export it as
 * ordinal 1 too. */
SVCGATE_API int SvcGate_Call(intptr_t handle, const char *serviceCode, const char *request, char *answer);

#ifdef __cplusplus
}
#endif

#endif /* VELT_SVCGATE_H */
