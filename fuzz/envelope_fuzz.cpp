// rimqapi's stored message envelope, as a get reads it back from a queue (Redis keeps it in front
// of the body): any bytes are parsed, written into a get's descriptor and spelt as match keys; a
// parsed envelope written out again gives back exactly the bytes it was read from.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "envelope.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using velt::rimq::Envelope;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  Envelope e;
  if (!Envelope::Parse(bytes, &e)) {
    if (size >= Envelope::kSize) std::abort();
    return 0;
  }
  std::string again;
  e.AppendTo(again);
  if (again.size() != Envelope::kSize || std::memcmp(again.data(), data, Envelope::kSize) != 0) std::abort();
  RIMQMD md{};
  e.ToDescriptor(md, size - Envelope::kSize);
  for (const auto spelling : {velt::rimq::KeySpelling::kRaw, velt::rimq::KeySpelling::kHex}) {
    velt::rimq::MessageKeys(e, spelling);
    velt::rimq::MatchRequest match;
    if (velt::rimq::ToMatchMode(data[0] & 7, &match.mode)) {
      std::memcpy(match.msgId.data(), md.abMsgId, 24);
      std::memcpy(match.correlId.data(), md.abCorrelId, 24);
      std::memcpy(match.replyTag.data(), md.abReplyTag, 24);
      velt::rimq::MatchKey(match, spelling);
    }
  }
  return 0;
}
