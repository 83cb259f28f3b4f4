// The request side every information-centre call shares: named values, the additional request
// values of the control, the exchange under the "MSG" service prefix with its "CODE"/"MSG" result
// set, the second result set and the final status, and recording a failure in the packet buffer.
#pragma once

#include <cstddef>
#include <cstring>

#include "core/session.h"
#include "veltcli.h"

namespace velt {

// The service codes of the information centre.
inline constexpr const char* kServiceSubscribe = "09010101";
inline constexpr const char* kServiceUnsubscribe = "09010102";
inline constexpr const char* kServicePublish = "09010103";
inline constexpr const char* kServiceFetch = "09010105";
inline constexpr const char* kServiceAcknowledge = "09010106";
inline constexpr const char* kServicePending = "09010108";

// Copies a fixed text field of at most `fromSize` bytes (terminated or not) into `to`, cut to fit.
template <std::size_t N>
void CopyField(char (&to)[N], const char* from, std::size_t fromSize) noexcept {
  const std::size_t n = strnlen(from, fromSize < N ? fromSize : N - 1);
  std::memcpy(to, from, n);
  to[n] = '\0';
}

// The first `limit` characters of a caller's text as a request value (with VELTCLI_SetValue rules).
void AddValue(CLUNQCliBase& s, const char* name, const char* value, std::size_t limit = static_cast<std::size_t>(-1)) noexcept;
void AddInt(CLUNQCliBase& s, const char* name, long long value) noexcept;
// Adds the value only when the text is not empty.
void AddIfSet(CLUNQCliBase& s, const char* name, const char* value, std::size_t limit) noexcept;
// The control's szExtFields: "name|value|..." pairs up to a newline or the first empty name.
void AddExtraValues(CLUNQCliBase& s, const tagInfoControl& control) noexcept;

// "_ERRNO" = code and "_ERRMSG" = message set by name in the packet text; returns code.
int RecordError(CLUNQCliBase& s, int code, const char* message) noexcept;
// A check failure: the code with its message from the table (info_messages.h).
int RecordCheck(CLUNQCliBase& s, int code) noexcept;

// The exchange of `service` with the request in the packet buffer: 0, or the failure (recorded,
// packet buffer emptied first) — the transport's status or the answer's "CODE" with its "MSG".
int InfoExchange(CLUNQCliBase& s, const char* service) noexcept;
// Moves to the answer's next result set and its first row: 0 or that step's status.
int SecondResultSet(CLUNQCliBase& s) noexcept;
// "_ERRNO" of the answer when present, else `lastStatus`.
int FinalStatus(CLUNQCliBase& s, int lastStatus) noexcept;

// Cell `column` of the current row, cut to `size` - 1 characters: false when it cannot be read.
bool ReadColumn(CLUNQCliBase& s, const char* column, char* out, std::size_t size) noexcept;
// A decimal signed 64-bit column, 0 when absent.
long long ReadColumnInt(CLUNQCliBase& s, const char* column) noexcept;
// A decimal signed 64-bit text (leading blanks, sign, digits; saturating), 0 for none.
long long DecimalToInt64(const char* text) noexcept;

}  // namespace velt
