// Client ids from the adapter address and the reply tag.
#include "transport/client_ids.h"

#include <cstdio>

#include "platform/adapter_address.h"
#include "platform/base64.h"
#include "platform/debug_output.h"

namespace velt {

ClientIds ClientIdsFrom(const unsigned char* address6, std::time_t now) {
  ClientIds ids;
  if (address6 == nullptr) {
    const auto seconds = static_cast<unsigned>(now);
    std::snprintf(ids.clientId, sizeof ids.clientId, "%08X", seconds);
    std::snprintf(ids.shortClientId, sizeof ids.shortClientId, "%08X", seconds);
    return ids;
  }
  const unsigned char* a = address6;
  std::snprintf(ids.clientId, sizeof ids.clientId, "%02X%02X%02X%02X%02X%02X", a[0], a[1], a[2], a[3],
                a[4], a[5]);
  platform::Base64Encode(a, 6, ids.shortClientId);   // exactly 8 characters
  ids.shortClientId[8] = '\0';
  return ids;
}

ClientIds MakeClientIds(std::time_t now) {
  unsigned char address[6];
  const platform::AdapterQuery query = platform::FirstAdapterAddress(address);
  if (query == platform::AdapterQuery::kFailed) platform::DebugOutput("Netbios failed\n");
  return ClientIdsFrom(query == platform::AdapterQuery::kFound ? address : nullptr, now);
}

std::string MakeReplyTag(const char* shortClientId, std::uint32_t pid, const std::string& folder) {
  std::uint32_t h = 0;
  for (const char ch : folder) {
    const auto c = static_cast<std::int32_t>(static_cast<signed char>(ch));
    h = (static_cast<std::uint32_t>(c * c) + h) << 8;
  }
  char tag[64];
  std::snprintf(tag, sizeof tag, "%8.8s%08X%08X", shortClientId, static_cast<unsigned>(pid),
                static_cast<unsigned>(h));
  return std::string(tag).substr(0, 24);
}

}  // namespace velt
