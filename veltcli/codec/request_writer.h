// The request writer: named text, integer and binary values stored with the pair rules, the
// request reset that begins a request and the completion that ends it before it is sent.
#pragma once

#include <string_view>

#include "codec/packet_session.h"

namespace velt {

// Stores name=value, both escaped, at the end of the text after removing the first pair of that
// name. An empty name replaces the whole text with the value as given. 0; 1 the packet buffer
// cannot grow; 2 the value is empty while empty values are off (the old pair is gone already).
int StorePair(velt::PacketSession& session, std::string_view name, std::string_view value) noexcept;
int StoreIntPair(velt::PacketSession& session, std::string_view name, long long value) noexcept;

// VELTCLI_SetValue: 2 for a null value, else StorePair (a null name is the empty name).
int SetValue(velt::PacketSession& session, const char* name, const char* value) noexcept;

// VELTCLI_SetVal: the marker pair name="_BASE64_"+name and the pair "_BASE64_"+name=Base64 text.
// 11 null name or data; 12 name of 100 characters or more; 13 the marker could not be stored;
// 14 no memory to encode; otherwise the result of the last pair. With length <= 0 the data is
// zero-terminated text, stored as SetValue does.
int StoreBinary(velt::PacketSession& session, const char* name, const unsigned char* data, long length) noexcept;

// Forgets the table being built or read (the packet text stays; column slots stay allocated).
void ResetTableState(velt::PacketSession& session) noexcept;

// The request reset: table state reset, packet buffer back to 32000 zero bytes, then the pairs
// "_CA" (the client version) and "_ENDIAN"="0". 0, or 1 when the buffer cannot be allocated.
int ResetRequest(velt::PacketSession& session) noexcept;

// VELTCLI_BeginWrite: communication time, row search position and service prefix cleared, then
// the request reset. 0 or 1 (memory).
int BeginWrite(velt::PacketSession& session) noexcept;

// The request completion, run by a service call right before it sends the text: when rows were
// added, closes the current table and appends "_RC", "_CC" and "_TL" (never cut), then resets the
// table state. 0, or 1 when the packet buffer cannot take the tail (the text is then unchanged
// apart from the closed table's end pair).
int CompleteRequest(velt::PacketSession& session) noexcept;

}  // namespace velt
