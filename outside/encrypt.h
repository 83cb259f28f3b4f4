/* encrypt: the RSA, AES, RC5 and random-number texts of the authentication exchange.
 *
 * Conventions for every function:
 *  - The first two arguments are the output area and its size in bytes. Nothing is ever written
 *    past out[size - 1]; a result is written whole with its terminator or not at all. On every
 *    failure with a usable area (out not null, size >= 1) the area holds an empty text, so a
 *    caller that does not look at the result sends nothing rather than stale bytes.
 *  - Results: 0 (ENCRYPT_OK) or one of the ENCRYPT_E_* codes below. No function keeps state; all
 *    may run in parallel. Input texts are zero-terminated; a null input text counts as empty.
 *  - Every encrypted text is standard Base64 (letters, digits, "+", "/", "="): it never contains
 *    "," or ":", so it travels as one item-list value.
 *  - 64-bit integer keys (the `long long` arguments) become a 16-byte key: the integer's eight
 *    bytes in little-endian order (two's complement for negatives), then eight zero bytes.
 *  - Clear texts that come out of a decryption never contain a zero byte: a decrypted value that
 *    would is refused with ENCRYPT_E_INPUT rather than returned cut.
 *  - Secrets held while a call runs are wiped before it returns.
 * docs/encrypt.md has the formats, sizes and codes; docs/security.md what they are worth.
 */
#ifndef VELT_ENCRYPT_H
#define VELT_ENCRYPT_H

#if defined(_WIN32)
#  if defined(ENCRYPT_BUILD)
#    define ENCRYPT_API __declspec(dllexport)
#  else
#    define ENCRYPT_API __declspec(dllimport)
#  endif
#else
#  define ENCRYPT_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

#define ENCRYPT_OK 0
#define ENCRYPT_E_ARGUMENT 1   /* out null, size < 1, or a block size, key length or mode outside its range */
#define ENCRYPT_E_SPACE 2      /* the result and its terminator do not fit in size bytes */
#define ENCRYPT_E_KEY 3        /* the key text is not the Base64 of an RSA key of the kind needed */
#define ENCRYPT_E_INPUT 4      /* the encrypted text is not one this library wrote under that key */
#define ENCRYPT_E_CRYPTO 5     /* OpenSSL failed (no randomness, a refused operation) */
#define ENCRYPT_E_MEMORY 6     /* no memory */

#define ENCRYPT_RANDOM_DIGITS 16   /* digits of every RandomNo text */
#define ENCRYPT_RC5_CBC 1          /* the one mode of RC5_Encrypt / RC5_Decrypt */

/* ---- RSA (PKCS#1 v1.5 padding) -----------------------------------------------------------------
 * Key texts are the Base64 of the DER form, on one line (white space inside is skipped): the
 * public key as a SubjectPublicKeyInfo (the body of a "BEGIN PUBLIC KEY" block), the private key
 * as a PKCS#1 RSAPrivateKey (the body of a "BEGIN RSA PRIVATE KEY" block).
 * RSA_Encrypt1: the clear text is cut into pieces of `blockBytes` bytes (the last may be shorter;
 *   an empty text is one empty piece); each piece is encrypted on its own and its k-byte result
 *   (k = modulus bytes) written as 4 * ceil(k / 3) Base64 characters, the pieces back to back. With
 *   a 384-bit key one piece is exactly 64 characters. blockBytes must lie in 1..k - 11.
 * RSA_Decrypt1: the inverse with the private key; ENCRYPT_E_INPUT when the text is not a whole
 *   number of pieces or a piece does not decrypt.
 * RSA_GenerateKey1: a fresh key pair of `bits` bits (256..4096, a multiple of 64) as the two key
 *   texts; both areas are emptied on failure. 384 is the size the login's 64-character cut needs. */
ENCRYPT_API int RSA_Encrypt1(char *out, int size, const char *publicKey, const char *clear, int blockBytes);
ENCRYPT_API int RSA_Decrypt1(char *out, int size, const char *privateKey, const char *encrypted);
ENCRYPT_API int RSA_GenerateKey1(char *publicOut, int publicSize, char *privateOut, int privateSize, int bits);

/* ---- Random numbers ----------------------------------------------------------------------------
 * RandomNo: a number drawn uniformly from 1000000000000000..9999999999999999 (always 16 digits, no
 * leading zero, so its integer value keeps every digit) from OpenSSL's generator, which the OS
 * seeds. size must be at least 17 (ENCRYPT_E_SPACE otherwise). */
ENCRYPT_API int RandomNo(char *out, int size);

/* ---- AES-128-CBC under a 64-bit integer key ------------------------------------------------------
 * AES_Encrypt1: a fresh random 16-byte IV, PKCS#7 padding; the text is Base64(IV || ciphertext),
 *   4 * ceil((32 + 16 * floor(n / 16)) / 3) characters for n clear bytes.
 * AES_Decrypt1: the inverse; ENCRYPT_E_INPUT on a malformed text, a wrong key or bad padding. */
ENCRYPT_API int AES_Encrypt1(char *out, int size, long long key, const char *clear);
ENCRYPT_API int AES_Decrypt1(char *out, int size, long long key, const char *encrypted);

/* ---- RC5-32/12 in CBC mode -----------------------------------------------------------------------
 * 32-bit words, 12 rounds, 8-byte blocks; a fresh random 8-byte IV, PKCS#7 padding; the text is
 * Base64(IV || ciphertext), 4 * ceil((16 + 8 * floor(n / 8)) / 3) characters for n clear bytes.
 * RC5_Encrypt / RC5_Decrypt take the key as bytes (keyLength 1..255; 16 is RC5-32/12/16) and a mode,
 *   which must be ENCRYPT_RC5_CBC. RC5_Encrypt1 / RC5_Decrypt1 take a 64-bit integer key. Decrypting
 *   gives ENCRYPT_E_INPUT on a malformed text, a wrong key or bad padding. */
ENCRYPT_API int RC5_Encrypt(char *out, int size, const unsigned char *key, int keyLength, int mode,
                            const char *clear);
ENCRYPT_API int RC5_Decrypt(char *out, int size, const unsigned char *key, int keyLength, int mode,
                            const char *encrypted);
ENCRYPT_API int RC5_Encrypt1(char *out, int size, long long key, const char *clear);
ENCRYPT_API int RC5_Decrypt1(char *out, int size, long long key, const char *encrypted);

#ifdef __cplusplus
}
#endif

#endif /* VELT_ENCRYPT_H */
