// The encoder's entry points inside the library: type dispatch and re-encoding. They allocate only
// through WorkArea (nothrow); the exported functions still guard the C boundary.
#pragma once

#include "type_operations.h"

namespace velt::mvencode {

int Encode(int type, const EncodeArgs& args);
int Decode(int type, const EncodeArgs& args);

struct TypedKey {
  int type;
  const unsigned char* key;
  int keyLen;
};
int ReEncode(const unsigned char* in, int inLen, unsigned char* out, int outSize, const TypedKey& from,
             const TypedKey& to);

}  // namespace velt::mvencode
