// Once-only initialisation of the ticket library and the initialisation check of its two calls.
#include "ticket_library.h"

#include <exception>

#include "lyrsso.h"
#include "platform/paths.h"
#include "platform/secure_wipe.h"
#include "ticket.h"

namespace velt::lyrsso {
namespace {

TicketConfig LoadConfig(const char* iniPath, const void* moduleAnchor) noexcept {
  try {
    const bool rooted = iniPath != nullptr && platform::IsRootedPath(iniPath);
    const std::string folder = rooted ? std::string() : platform::ModuleDirectory(moduleAnchor);
    return ReadTicketConfig(ConfigPath(iniPath, folder));
  } catch (const std::exception&) {
    return TicketConfig{};  // initialisation cannot fail: out of memory means the defaults
  }
}

}  // namespace

void TicketLibrary::Init(const char* iniPath, const void* moduleAnchor) noexcept {
  // Claimed 0 -> 1 in one step: a later call never raises a count that running callers check.
  if (claimed_.exchange(true, std::memory_order_acq_rel)) return;
  TicketConfig loaded = LoadConfig(iniPath, moduleAnchor);
  config_ = loaded;
  platform::SecureWipe(&loaded, sizeof loaded);
  ready_.store(true, std::memory_order_release);
}

int TicketLibrary::Sign(const char* appId, const char* userCode, char* ticket, unsigned ticketSize,
                        std::int64_t now) const noexcept {
  if (!Initialised()) return LYRSSO_ERR_SIGN_NOT_INITIALISED;
  return SignTicket(config_, appId, userCode, ticket, ticketSize, now);
}

int TicketLibrary::Verify(const char* appId, const char* userCode, const char* ticket, int* expiry,
                          std::int64_t now) const noexcept {
  if (!Initialised()) return LYRSSO_ERR_VERIFY_NOT_INITIALISED;
  return VerifyTicket(config_, appId, userCode, ticket, expiry, now);
}

}  // namespace velt::lyrsso
