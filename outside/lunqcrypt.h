/* lunqcrypt: the password transform of the packet header.
 *
 * EncryptPassword turns user + password into a short printable text that stands for the password
 * in every request packet: a keyed one-way transform (HMAC-SHA-256 under a key built into the
 * library, written in Base64 and cut to 32 characters). The same user and password always give
 * the same text; the clear password cannot be read back from it.
 *
 * Conventions: texts are zero-terminated; null user or password counts as empty. Nothing is
 * written past out[outSize - 1]. Thread-safe; no state. docs/lunqcrypt.md has the details.
 */
#ifndef VELT_LUNQCRYPT_H
#define VELT_LUNQCRYPT_H

#if defined(_WIN32)
#  if defined(LUNQCRYPT_BUILD)
#    define LUNQCRYPT_API __declspec(dllexport)
#  else
#    define LUNQCRYPT_API __declspec(dllimport)
#  endif
#else
#  define LUNQCRYPT_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define LUNQCRYPT_TEXT_LEN 32        /* characters of the full transform */

#define LUNQCRYPT_OK 0
#define LUNQCRYPT_ERR_ARGUMENT (-1)  /* out null or outSize < 1: nothing written */
#define LUNQCRYPT_ERR_CRYPTO (-2)    /* the digest failed: out holds an empty text */

/* Writes the first min(32, outSize - 1) characters of the transform and a terminator, so an area
 * of 33 bytes receives all 32 characters (the bus client passes 32 and uses what it gets).
 * Windows builds export it as _EncryptPassword@16. */
LUNQCRYPT_API int EncryptPassword(const char *user, const char *password, char *out, int outSize);

#ifdef __cplusplus
}
#endif

#endif /* VELT_LUNQCRYPT_H */
