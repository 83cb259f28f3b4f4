// The sign-on ticket itself: signed record, ticket key, signing and checking at a given time.
// Pure functions over caller data and a configuration, so every rule is testable with any clock.
#pragma once

#include <cstddef>
#include <cstdint>

#include "ticket_config.h"

namespace velt::lyrsso {

constexpr std::size_t kRecordSize = 56;      // app id 8, user 24, expiry 4, secret 20
constexpr std::size_t kBlockSize = 24;       // expiry 4, SHA-1 20
constexpr std::size_t kKeyLimit = 63;        // ticket key characters
constexpr std::size_t kTicketLength = 32;    // Base64 characters of the block
constexpr std::size_t kDecodeArea = 64;      // a ticket decoding to this many bytes or more is refused

// The 56-byte record the digest covers; text fields cut to their width, zero-terminated inside it.
void BuildSignedRecord(const char* appId, const char* userCode, std::int32_t expiry, const char* secret,
                       unsigned char record[kRecordSize]) noexcept;

// Application id, user code and secret back to back, complete but cut to kKeyLimit; returns the length.
std::size_t BuildTicketKey(const char* appId, const char* userCode, const char* secret,
                           unsigned char key[kKeyLimit + 1]) noexcept;

// now + validTime, clamped to the signed 32-bit range the ticket stores.
std::int32_t ExpiryAt(std::int64_t now, int validTime) noexcept;

// LYRSSO_Sign and LYRSSO_Verify after the initialisation check, with `now` in seconds since 1970.
int SignTicket(const TicketConfig& config, const char* appId, const char* userCode, char* ticket,
               unsigned ticketSize, std::int64_t now) noexcept;
int VerifyTicket(const TicketConfig& config, const char* appId, const char* userCode, const char* ticket,
                 int* expiry, std::int64_t now) noexcept;

}  // namespace velt::lyrsso
