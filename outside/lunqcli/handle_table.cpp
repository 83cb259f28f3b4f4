// Handle values: generation * 65536 + entry index + 1, so the first handles are 1, 2, 3 ... and
// every value stays within a positive 32-bit int.
#include "handle_table.h"

namespace velt::lunqcli {
namespace {

constexpr std::uint32_t kIndexBits = 16;
constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;

LUNQCLI_HANDLE Value(std::uint32_t index, std::uint32_t generation) {
  return static_cast<LUNQCLI_HANDLE>((generation << kIndexBits) | (index + 1));
}

}  // namespace

LUNQCLI_HANDLE HandleTable::Add(VELTCLI_HANDLE client) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::uint32_t index = 0;
  if (!free_.empty()) {
    index = free_.back();
    free_.pop_back();
  } else {
    if (entries_.size() >= kMaxEntries) return 0;
    free_.reserve(entries_.size() + 1);   // so that a release never needs memory
    entries_.emplace_back();
    index = static_cast<std::uint32_t>(entries_.size() - 1);
  }
  entries_[index].client = client;
  return Value(index, entries_[index].generation);
}

const HandleTable::Entry* HandleTable::Live(LUNQCLI_HANDLE handle) const {
  if (handle <= 0 || handle > INT32_MAX) return nullptr;
  const auto bits = static_cast<std::uint32_t>(handle);
  const std::uint32_t slot = bits & kIndexMask;
  if (slot == 0 || slot > entries_.size()) return nullptr;
  const Entry& e = entries_[slot - 1];
  if (e.client == nullptr || e.generation != bits >> kIndexBits) return nullptr;
  return &e;
}

VELTCLI_HANDLE HandleTable::Find(LUNQCLI_HANDLE handle) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const Entry* e = Live(handle);
  return e ? e->client : nullptr;
}

VELTCLI_HANDLE HandleTable::Remove(LUNQCLI_HANDLE handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Live(handle) == nullptr) return nullptr;
  const std::uint32_t index = (static_cast<std::uint32_t>(handle) & kIndexMask) - 1;
  Entry& e = entries_[index];
  VELTCLI_HANDLE client = e.client;
  e.client = nullptr;
  e.generation = (e.generation + 1) % kGenerations;
  free_.push_back(index);
  return client;
}

HandleTable& Handles() {
  static HandleTable table;
  return table;
}

}  // namespace velt::lunqcli
