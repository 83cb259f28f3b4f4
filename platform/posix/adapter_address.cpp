// Adapter addresses through getifaddrs (AF_PACKET entries carry the hardware address).
#include "platform/adapter_address.h"

#include <ifaddrs.h>
#include <linux/if_packet.h>
#include <net/if.h>
#include <sys/socket.h>

#include <cstring>

namespace velt::platform {

AdapterQuery FirstAdapterAddress(unsigned char (&out)[6]) noexcept {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return AdapterQuery::kFailed;
  AdapterQuery result = AdapterQuery::kNone;
  for (const ifaddrs* it = list; it != nullptr && result == AdapterQuery::kNone; it = it->ifa_next) {
    if (it->ifa_addr == nullptr || it->ifa_addr->sa_family != AF_PACKET) continue;
    if ((it->ifa_flags & IFF_LOOPBACK) != 0) continue;
    sockaddr_ll ll;
    std::memcpy(&ll, it->ifa_addr, sizeof ll);
    if (ll.sll_halen != 6) continue;
    std::memcpy(out, ll.sll_addr, 6);
    result = AdapterQuery::kFound;
  }
  freeifaddrs(list);
  return result;
}

}  // namespace velt::platform
