// Type dispatch of encoding and decoding, and re-encoding through a wiped copy of the clear value.
#include "encoder.h"

#include <cstddef>
#include <cstring>

#include "work_area.h"

namespace velt::mvencode {

int Encode(int type, const EncodeArgs& args) {
  switch (type) {
    case 1: return CryptDes(args, false);
    case 2: return DigestMd5(args);
    case 3: return CryptAes(args, false);
    case 4: return EncodeBase64(args);
    case 5: return EncodeChars(args);
    case 6: return EncodeAesCbc(args);
    default: return 0;  // unknown type: nothing touched
  }
}

int Decode(int type, const EncodeArgs& args) {
  switch (type) {
    case 1: return CryptDes(args, true);
    case 2: return kOneWay;  // before any check, even with null pointers
    case 3: return CryptAes(args, true);
    case 4: return DecodeBase64(args);
    case 5: return DecodeChars(args);
    case 6: return DecodeAesCbc(args);
    default: return 0;
  }
}

int ReEncode(const unsigned char* in, int inLen, unsigned char* out, int outSize, const TypedKey& from,
             const TypedKey& to) {
  const int n = Decode(from.type, EncodeArgs{in, inLen, out, outSize, from.key, from.keyLen});
  if (n < 0) return n;
  // An unknown decode type checks nothing, so out may still be unusable here.
  if (out == nullptr || outSize < n) return kArgumentError;
  WorkArea clear(static_cast<std::size_t>(n) + 1);
  if (clear) std::memcpy(clear.data(), out, static_cast<std::size_t>(n));
  std::memset(out, 0, static_cast<std::size_t>(outSize));  // the clear value never stays behind in out
  if (!clear) return kArgumentError;
  return Encode(to.type, EncodeArgs{clear.data(), n, out, outSize, to.key, to.keyLen});
}

}  // namespace velt::mvencode
