// The client identifiers every packet and message id carries, made from the hardware address of
// the first network adapter (the current time when there is none), and the reply tag.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace velt {

struct ClientIds {
  char clientId[13] = {};        // 12 upper-case hex digits of the address, or "%08X" of the time
  char shortClientId[9] = {};    // Base64 of the 6 address bytes, or "%08X" of the time
};

// From a 6-byte adapter address, or from the time when `address6` is null.
ClientIds ClientIdsFrom(const unsigned char* address6, std::time_t now);
// Reads the first non-loopback adapter with a 6-byte address; writes "Netbios failed\n" to the
// debugger output when the adapters cannot be listed.
ClientIds MakeClientIds(std::time_t now);

// "%8s%08X%08X" of the short client id, the process id and a hash of `folder`, cut to 24.
std::string MakeReplyTag(const char* shortClientId, std::uint32_t pid, const std::string& folder);

}  // namespace velt
