// The exported C functions of libmvencode: argument forwarding and the exception guard.
#include "mvencode.h"

#include "encoder.h"

using velt::mvencode::EncodeArgs;
using velt::mvencode::TypedKey;

// No exception may cross the C boundary: any that escapes the core maps to -1.
extern "C" MVENCODE_API int MVEncode(int type, const unsigned char *in, int inLen, unsigned char *out,
                                     int outSize, const unsigned char *key, int keyLen) {
  try {
    return velt::mvencode::Encode(type, EncodeArgs{in, inLen, out, outSize, key, keyLen});
  } catch (...) {
    return MVENCODE_ERR_ARGUMENT;
  }
}

extern "C" MVENCODE_API int MVDecode(int type, const unsigned char *in, int inLen, unsigned char *out,
                                     int outSize, const unsigned char *key, int keyLen) {
  try {
    return velt::mvencode::Decode(type, EncodeArgs{in, inLen, out, outSize, key, keyLen});
  } catch (...) {
    return MVENCODE_ERR_ARGUMENT;
  }
}

extern "C" MVENCODE_API int MVReEncode(const unsigned char *in, int inLen, unsigned char *out, int outSize,
                                       int decodeType, const unsigned char *decodeKey, int decodeKeyLen,
                                       int encodeType, const unsigned char *encodeKey, int encodeKeyLen) {
  try {
    return velt::mvencode::ReEncode(in, inLen, out, outSize, TypedKey{decodeType, decodeKey, decodeKeyLen},
                                    TypedKey{encodeType, encodeKey, encodeKeyLen});
  } catch (...) {
    return MVENCODE_ERR_ARGUMENT;
  }
}
