// The table behind lunqcli handles: small positive integers that name bus-client handles, so a
// Java int holds them and a stale or made-up value is refused instead of dereferenced.
// Thread-safe: one lock per operation.
#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "lunqcli.h"
#include "veltcli.h"

namespace velt::lunqcli {

class HandleTable {
 public:
  static constexpr std::uint32_t kMaxEntries = 65535;
  static constexpr std::uint32_t kGenerations = 32768;   // uses of one entry before a value returns

  // A new handle for `client`; 0 when the table is full. May throw std::bad_alloc.
  LUNQCLI_HANDLE Add(VELTCLI_HANDLE client);
  // The client a live handle names; null for anything else.
  VELTCLI_HANDLE Find(LUNQCLI_HANDLE handle) const;
  // Releases a live handle and gives its client back; null (nothing changed) for anything else.
  VELTCLI_HANDLE Remove(LUNQCLI_HANDLE handle);

 private:
  struct Entry {
    VELTCLI_HANDLE client = nullptr;
    std::uint32_t generation = 0;
  };
  // The entry a handle value names when it is live; null otherwise. Caller holds the lock.
  const Entry* Live(LUNQCLI_HANDLE handle) const;

  mutable std::mutex mutex_;
  std::vector<Entry> entries_;
  std::vector<std::uint32_t> free_;   // indexes of released entries
};

// The process's table.
HandleTable& Handles();

}  // namespace velt::lunqcli
