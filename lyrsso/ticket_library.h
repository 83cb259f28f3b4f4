// The library's process state: the configuration read by the first initialisation, and the gate
// that lets Sign and Verify run only once it is in place. One instance backs the exported calls;
// tests make their own.
#pragma once

#include <atomic>
#include <cstdint>

#include "ticket_config.h"

namespace velt::lyrsso {

// Thread safety: Init may race with itself and with Sign/Verify. Only the first Init reads the
// file; the configuration is published with release order after it is complete, so Sign/Verify
// either see it whole or report "not initialised". Later Init calls return at once and never
// disturb callers that are already running.
class TicketLibrary {
 public:
  constexpr TicketLibrary() noexcept = default;
  TicketLibrary(const TicketLibrary&) = delete;
  TicketLibrary& operator=(const TicketLibrary&) = delete;

  // `moduleAnchor` is an address inside the module whose folder holds a relative INI name.
  void Init(const char* iniPath, const void* moduleAnchor) noexcept;
  bool Initialised() const noexcept { return ready_.load(std::memory_order_acquire); }
  // Valid once Initialised() is true.
  const TicketConfig& Config() const noexcept { return config_; }

  int Sign(const char* appId, const char* userCode, char* ticket, unsigned ticketSize,
           std::int64_t now) const noexcept;
  int Verify(const char* appId, const char* userCode, const char* ticket, int* expiry,
             std::int64_t now) const noexcept;

 private:
  std::atomic<bool> claimed_{false};
  std::atomic<bool> ready_{false};
  TicketConfig config_{};
};

}  // namespace velt::lyrsso
