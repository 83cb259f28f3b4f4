// Client ids from the adapter address (getifaddrs, AF_PACKET) and the reply tag.
#include "core/client_ids.h"

#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/socket.h>

#include <cstdio>
#include <cstring>

#include "core/debug_output.h"
#include "platform/base64.h"

namespace velt {
namespace {

// False when the interfaces cannot be listed; `found` tells whether an address was copied.
bool FirstAdapterAddress(unsigned char out[6], bool& found) {
  found = false;
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return false;
  for (const ifaddrs* it = list; it != nullptr && !found; it = it->ifa_next) {
    if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_PACKET) continue;
    if ((it->ifa_flags & IFF_LOOPBACK) != 0) continue;
    sockaddr_ll ll;
    std::memcpy(&ll, it->ifa_addr, sizeof ll);
    if (ll.sll_halen != 6) continue;
    std::memcpy(out, ll.sll_addr, 6);
    found = true;
  }
  freeifaddrs(list);
  return true;
}

}  // namespace

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
  bool found = false;
  if (!FirstAdapterAddress(address, found)) DebugOutput("Netbios failed\n");
  return ClientIdsFrom(found ? address : nullptr, now);
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
