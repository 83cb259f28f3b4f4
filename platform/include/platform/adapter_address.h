// The hardware address of the machine's first network adapter, from which the client ids are made.
#pragma once

namespace velt::platform {

enum class AdapterQuery {
  kFound,    // `out` holds the six bytes of the first non-loopback adapter
  kNone,     // the adapters were listed; none has a six-byte hardware address
  kFailed,   // the adapters could not be listed
};

AdapterQuery FirstAdapterAddress(unsigned char (&out)[6]) noexcept;

}  // namespace velt::platform
