/* mvencode: password encoder with six numbered encodings.
 *
 * Conventions for all three functions:
 *  - Results are ints: a length (>= 0) on success, -1 (MVENCODE_ERR_ARGUMENT) for a null pointer, a
 *    too small outSize, a negative inLen/keyLen where the type uses it, a type-3 keyLen that matches
 *    no AES size, or a failed allocation; -10000 (MVENCODE_ERR_ONE_WAY) from MVDecode of type 2,
 *    before any check; 0 for an unknown type (nothing is touched).
 *  - Checks are made before anything is written: a call that returns -1 leaves `out` as it was
 *    (MVReEncode excepted, see below).
 *  - `out`/`outSize`: caller's area; outSize is the number of result bytes it may take. Text results
 *    (types 4, 5, 6) are followed by a zero byte at out[length], so for them the area must hold
 *    outSize + 1 bytes; raw results (1, 2, 3) have no terminator. Nothing is ever written past
 *    out[outSize].
 *  - Type 5 reads `in` and `key` as zero-terminated texts (inLen, keyLen ignored); its decoding
 *    appends to the text already in `out`, and that text counts toward outSize (zero-fill `out`
 *    first). Type 6 reads a key shorter than 32 bytes as a zero-terminated text (keyLen only picks
 *    the derivation).
 *  - No state between calls; safe in many threads at once on distinct buffers.
 * docs/mvencode.md lists every type, key rule and result.
 */
#ifndef VELT_MVENCODE_H
#define VELT_MVENCODE_H

#if defined(_WIN32)
#  if defined(MVENCODE_BUILD)
#    define MVENCODE_API __declspec(dllexport)
#  else
#    define MVENCODE_API __declspec(dllimport)
#  endif
#else
#  define MVENCODE_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
  MVENCODE_TYPE_DES = 1,        /* DES ECB, tail XOR; inLen bytes out */
  MVENCODE_TYPE_DIGEST = 2,     /* MD5 with its own initial value; 16 bytes; not decodable */
  MVENCODE_TYPE_AES = 3,        /* AES ECB (keyLen picks 128/192/256), tail XOR; inLen bytes out */
  MVENCODE_TYPE_BASE64 = 4,     /* Base64 text */
  MVENCODE_TYPE_CHARS = 5,      /* character cipher for alphanumeric passwords, "A".."P" text */
  MVENCODE_TYPE_AES256_CBC = 6  /* AES-256-CBC, key derived from a pass phrase, Base64 text */
};

#define MVENCODE_ERR_ARGUMENT (-1)
#define MVENCODE_ERR_ONE_WAY (-10000)

MVENCODE_API int MVEncode(int type, const unsigned char *in, int inLen, unsigned char *out, int outSize,
                          const unsigned char *key, int keyLen);

MVENCODE_API int MVDecode(int type, const unsigned char *in, int inLen, unsigned char *out, int outSize,
                          const unsigned char *key, int keyLen);

/* Decodes `in` with (decodeType, decodeKey) and encodes the clear value with (encodeType, encodeKey).
 * `out` holds the intermediate clear value, so it must fit both results; its first outSize bytes are
 * cleared before the encode step, so a failed encode (or a failed copy of the clear value, -1)
 * leaves no clear value behind. A negative decode result is returned unchanged with `out` as the
 * decode left it. A null `out` is refused with -1 even when decodeType is unknown. */
MVENCODE_API int MVReEncode(const unsigned char *in, int inLen, unsigned char *out, int outSize,
                            int decodeType, const unsigned char *decodeKey, int decodeKeyLen,
                            int encodeType, const unsigned char *encodeKey, int encodeKeyLen);

#ifdef __cplusplus
}
#endif

#endif /* VELT_MVENCODE_H */
