// The answer reader: named text values and binary values of the packet text.
#pragma once

#include <string_view>

#include "codec/packet_session.h"

namespace velt {

// VELTCLI_GetValue: the value lookup of core/packet_value.h on the packet text.
int GetValue(velt::PacketSession& session, const char* name, char* out, int len) noexcept;

// VELTCLI_GetVal: 0 and the value in the session's value buffer (zero byte after it); 11 a null
// argument (outputs untouched); 12 name longer than 100; 13 no such pair; 14 / 16 the value
// buffer cannot grow; 15 a marker without its Base64 pair. Outputs are null and 0 on failure.
int GetVal(velt::PacketSession& session, const char* name, unsigned char** data, long* length) noexcept;

// GetVal without the caller's name limit, for names the library makes ("_BLOB_r_c",
// "_RS_FIELDS_n"). `data` and `length` must be valid and preset to null and 0.
int LookupBinary(velt::PacketSession& session, std::string_view name, unsigned char** data, long* length) noexcept;

}  // namespace velt
