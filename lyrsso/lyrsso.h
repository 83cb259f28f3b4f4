/* lyrsso: short-lived sign-on tickets (32 Base64 characters) shared by parties with one secret.
 *
 * Conventions:
 *  - Call LYRSSO_Init once per process before any Sign/Verify; only its first call reads the
 *    configuration (INI section "LYRSSO": "ValidTime" seconds, default 60, at least 1;
 *    "SpecialString" shared secret, at most 31 characters, default empty). Later calls change nothing.
 *  - Results: 0 success, negative codes below. Nothing is logged.
 *  - After LYRSSO_Init has returned, Sign and Verify may run in any number of threads at once;
 *    until the first LYRSSO_Init has finished they return -200 / -300. Repeating LYRSSO_Init from
 *    any thread is harmless: it returns at once and never disturbs running calls.
 *  - Caller texts are only read; the library allocates nothing and keeps no caller pointer.
 * docs/lyrsso.md describes the ticket format and the configuration file.
 */
#ifndef VELT_LYRSSO_H
#define VELT_LYRSSO_H

#if defined(_WIN32)
#  if defined(LYRSSO_BUILD)
#    define LYRSSO_API __declspec(dllexport)
#  else
#    define LYRSSO_API __declspec(dllimport)
#  endif
#else
#  define LYRSSO_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define LYRSSO_TICKET_LEN 32

/* LYRSSO_Sign. -210, -211 (digest) are never returned by this build, which allocates nothing;
 * -220 and -230 guard states that valid arguments cannot reach. Likewise -320, -330, -331. */
#define LYRSSO_ERR_SIGN_NOT_INITIALISED (-200)
#define LYRSSO_ERR_SIGN_APPID (-201)        /* appId null or empty */
#define LYRSSO_ERR_SIGN_USER (-202)         /* userCode null or empty */
#define LYRSSO_ERR_SIGN_TICKET_AREA (-203)  /* ticket null or ticketSize <= 32 */
#define LYRSSO_ERR_SIGN_NO_DIGEST (-210)
#define LYRSSO_ERR_SIGN_DIGEST (-211)
#define LYRSSO_ERR_SIGN_CIPHER (-220)
#define LYRSSO_ERR_SIGN_BASE64 (-230)
/* LYRSSO_Verify */
#define LYRSSO_ERR_VERIFY_NOT_INITIALISED (-300)
#define LYRSSO_ERR_VERIFY_APPID (-301)
#define LYRSSO_ERR_VERIFY_USER (-302)
#define LYRSSO_ERR_VERIFY_TICKET (-303)     /* ticket null or empty */
#define LYRSSO_ERR_VERIFY_DECODE (-310)     /* decodes to no bytes or to 64 bytes or more */
#define LYRSSO_ERR_VERIFY_CIPHER (-320)
#define LYRSSO_ERR_VERIFY_NO_DIGEST (-330)
#define LYRSSO_ERR_VERIFY_DIGEST (-331)
#define LYRSSO_ERR_VERIFY_MISMATCH (-332)   /* other application, user or secret; forged or damaged */
#define LYRSSO_ERR_VERIFY_EXPIRED (-340)

/* Reads the configuration file once. A path beginning with "\" or "/" or containing ":" is used
 * as given; any other (or null/empty: "LYRSSO.ini") is taken from the library's own folder.
 * Always returns 0; a missing file means the defaults. */
LYRSSO_API int LYRSSO_Init(const char *iniPath);

/* Writes a ticket valid from now for the configured period: 32 characters and a zero, so
 * ticketSize must be at least 33. */
LYRSSO_API int LYRSSO_Sign(const char *appId, const char *userCode, char *ticket, unsigned ticketSize);

/* Checks a ticket; `expiry` may be null, otherwise it is set to 0 and, on success, to the ticket's
 * expiry (seconds since 1970 UTC). A ticket is valid through its expiry second. */
LYRSSO_API int LYRSSO_Verify(const char *appId, const char *userCode, const char *ticket, int *expiry);

#ifdef __cplusplus
}
#endif

#endif /* VELT_LYRSSO_H */
