// Ticket signing and checking. Everything stays on the stack and the work areas that held the
// secret (record, key, cipher schedule) are wiped on every path.
#include "ticket.h"

#include <cstring>
#include <limits>

#include "armorrt/src/security/tblowfish.h"
#include "armorrt/src/security/tsha1.h"
#include "lyrsso.h"
#include "platform/base64.h"
#include "platform/secure_wipe.h"

namespace velt::lyrsso {
namespace {

using platform::WipeOnExit;

constexpr std::size_t kAppIdOffset = 0, kAppIdWidth = 8;
constexpr std::size_t kUserOffset = 8, kUserWidth = 24;
constexpr std::size_t kExpiryOffset = 32;
constexpr std::size_t kSecretOffset = 36, kSecretWidth = 20;

// Length of `text` but no more than `limit`: caller texts of any length are read only as far as used.
std::size_t BoundedLength(const char* text, std::size_t limit) noexcept {
  std::size_t n = 0;
  while (n < limit && text[n] != '\0') ++n;
  return n;
}

// Copies at most width-1 characters so the field stays zero-terminated inside its width.
void PutField(unsigned char* field, std::size_t width, const char* text) noexcept {
  if (text != nullptr) std::memcpy(field, text, BoundedLength(text, width - 1));
}

void PutInt32Le(std::int32_t value, unsigned char* p) noexcept {
  const auto v = static_cast<std::uint32_t>(value);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

std::int32_t GetInt32Le(const unsigned char* p) noexcept {
  std::uint32_t v = 0;
  for (int i = 0; i < 4; ++i) v |= std::uint32_t{p[i]} << (8 * i);
  return static_cast<std::int32_t>(v);
}

std::size_t Append(unsigned char* key, std::size_t length, const char* text) noexcept {
  if (text == nullptr) return length;
  const std::size_t n = BoundedLength(text, kKeyLimit - length);
  std::memcpy(key + length, text, n);
  return length + n;
}

// Keys the cipher with the ticket key made from the three texts.
bool KeyCipher(TBlowfish& cipher, const char* appId, const char* userCode, const char* secret) noexcept {
  unsigned char key[kKeyLimit + 1];
  WipeOnExit<decltype(key)> wipeKey(key);
  const std::size_t length = BuildTicketKey(appId, userCode, secret, key);
  return cipher.SetKey(key, length);
}

// Digest of the signed record, written where the ticket block keeps it.
void DigestRecord(const char* appId, const char* userCode, std::int32_t expiry, const char* secret,
                  unsigned char digest[TSha1::kDigestSize]) noexcept {
  unsigned char record[kRecordSize];
  WipeOnExit<decltype(record)> wipeRecord(record);
  BuildSignedRecord(appId, userCode, expiry, secret, record);
  TSha1::Digest(record, sizeof record, digest);
}

bool SameBytes(const unsigned char* a, const unsigned char* b, std::size_t n) noexcept {
  unsigned diff = 0;  // no early exit: the time taken tells nothing about where a forgery differs
  for (std::size_t i = 0; i < n; ++i) diff |= static_cast<unsigned>(a[i] ^ b[i]);
  return diff == 0;
}

bool Empty(const char* text) noexcept { return text == nullptr || text[0] == '\0'; }

}  // namespace

void BuildSignedRecord(const char* appId, const char* userCode, std::int32_t expiry, const char* secret,
                       unsigned char record[kRecordSize]) noexcept {
  std::memset(record, 0, kRecordSize);
  PutField(record + kAppIdOffset, kAppIdWidth, appId);
  PutField(record + kUserOffset, kUserWidth, userCode);
  PutInt32Le(expiry, record + kExpiryOffset);
  PutField(record + kSecretOffset, kSecretWidth, secret);
}

std::size_t BuildTicketKey(const char* appId, const char* userCode, const char* secret,
                           unsigned char key[kKeyLimit + 1]) noexcept {
  std::size_t length = Append(key, 0, appId);
  length = Append(key, length, userCode);
  length = Append(key, length, secret);
  key[length] = 0;
  return length;
}

std::int32_t ExpiryAt(std::int64_t now, int validTime) noexcept {
  constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
  const std::int64_t expiry = now + validTime;
  return static_cast<std::int32_t>(expiry > kMax ? kMax : (expiry < kMin ? kMin : expiry));
}

int SignTicket(const TicketConfig& config, const char* appId, const char* userCode, char* ticket,
               unsigned ticketSize, std::int64_t now) noexcept {
  if (Empty(appId)) return LYRSSO_ERR_SIGN_APPID;
  if (Empty(userCode)) return LYRSSO_ERR_SIGN_USER;
  if (ticket == nullptr || ticketSize <= kTicketLength) return LYRSSO_ERR_SIGN_TICKET_AREA;
  ticket[0] = '\0';

  const std::int32_t expiry = ExpiryAt(now, config.validTime);
  unsigned char block[kBlockSize];
  WipeOnExit<decltype(block)> wipeBlock(block);
  PutInt32Le(expiry, block);
  DigestRecord(appId, userCode, expiry, config.secret, block + 4);

  TBlowfish cipher;
  if (!KeyCipher(cipher, appId, userCode, config.secret) || !cipher.EncryptLittleEndian(block, sizeof block))
    return LYRSSO_ERR_SIGN_CIPHER;

  static_assert(platform::Base64EncodedLength(kBlockSize) == kTicketLength, "a ticket needs no padding");
  if (ticketSize < kTicketLength + 1) return LYRSSO_ERR_SIGN_BASE64;
  platform::Base64Encode(block, sizeof block, ticket);
  ticket[kTicketLength] = '\0';
  return 0;
}

int VerifyTicket(const TicketConfig& config, const char* appId, const char* userCode, const char* ticket,
                 int* expiry, std::int64_t now) noexcept {
  if (Empty(appId)) return LYRSSO_ERR_VERIFY_APPID;
  if (Empty(userCode)) return LYRSSO_ERR_VERIFY_USER;
  if (Empty(ticket)) return LYRSSO_ERR_VERIFY_TICKET;
  if (expiry != nullptr) *expiry = 0;

  // Decoded into a zero-filled area: a short ticket leaves zeros in the rest of the block.
  unsigned char area[kDecodeArea] = {};
  WipeOnExit<decltype(area)> wipeArea(area);
  const std::size_t decoded = platform::Base64DecodeSkipping(ticket, std::strlen(ticket), area, sizeof area);
  if (decoded == 0 || decoded >= kDecodeArea) return LYRSSO_ERR_VERIFY_DECODE;

  TBlowfish cipher;
  if (!KeyCipher(cipher, appId, userCode, config.secret) || !cipher.DecryptLittleEndian(area, kBlockSize))
    return LYRSSO_ERR_VERIFY_CIPHER;

  const std::int32_t ticketExpiry = GetInt32Le(area);
  unsigned char digest[TSha1::kDigestSize];
  WipeOnExit<decltype(digest)> wipeDigest(digest);
  DigestRecord(appId, userCode, ticketExpiry, config.secret, digest);
  // The digest is compared before the expiry, so a ticket of another user, application or secret
  // is reported as a mismatch even when it has also expired.
  if (!SameBytes(digest, area + 4, sizeof digest)) return LYRSSO_ERR_VERIFY_MISMATCH;
  if (ticketExpiry < now) return LYRSSO_ERR_VERIFY_EXPIRED;
  if (expiry != nullptr) *expiry = ticketExpiry;
  return 0;
}

}  // namespace velt::lyrsso
