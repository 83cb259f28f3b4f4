// Base64 of binary values through the SDK's one codec; decoding refuses what is not plain Base64.
#include "base64_text.h"

#include "platform/base64.h"

namespace velt::veltcall {

std::string Base64Encode(std::string_view bytes) {
  std::string out(platform::Base64EncodedLength(bytes.size()), '\0');
  platform::Base64Encode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), out.data());
  return out;
}

bool Base64Decode(std::string_view text, std::string& bytes) {
  if (text.size() % 4 != 0) return false;
  bytes.assign(platform::Base64DecodedBound(text.size()), '\0');
  const platform::GroupedDecodeResult r = platform::Base64DecodeGrouped(
      text.data(), text.size(), reinterpret_cast<unsigned char*>(bytes.data()), {true});
  if (r.foreign) return false;
  bytes.resize(r.bytes);
  return true;
}

}  // namespace velt::veltcall
