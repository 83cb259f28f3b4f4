// The transport's server list: 16 entry slots, the current entry, whether it is still valid for
// an open connection, and the mode (queue or plug-in) that decides how the slots are read.
#pragma once

#include <cstddef>

#include "veltcli.h"

namespace velt {

enum class TransportMode : int { kQueue = 0, kPlugin = 24 };

// The three record kinds the option ids carry, by size.
enum class RecordKind { kConnect, kConnectEx, kPlugin };
std::size_t RecordSize(RecordKind kind) noexcept;   // 173, 559, 1374

// Field-wise equality: strings ignoring case, ints exactly (the fields of the smaller kind only
// when the record kinds are those of one entry read two ways).
bool RecordsEqual(RecordKind kind, const void* a, const void* b) noexcept;

class ServerList {
 public:
  static constexpr int kSlots = 16;
  static constexpr std::size_t kStorageBytes = kSlots * sizeof(tagVELTPluginOption);   // 21984

  ServerList() noexcept { Clear(); }

  // Option ids 0, 12, 18: `count` records (at most 16 are read) replace the whole list. When one
  // equals the current entry the current entry stays valid and moves to its position.
  void ReplaceAll(RecordKind kind, const void* records, int count) noexcept;
  // Option ids 7, 13, 19: a record equal to the current entry only revalidates it; any other
  // record replaces the current slot and invalidates it.
  void ReplaceCurrent(RecordKind kind, const void* record) noexcept;

  // Slot `index` read in the layout of the current mode (559 or 1374 bytes); null outside 0..15.
  const unsigned char* Slot(int index) const noexcept;
  unsigned char* Slot(int index) noexcept;
  const unsigned char* Current() const noexcept { return Slot(currentIndex_); }
  const unsigned char* Storage() const noexcept { return storage_; }
  unsigned char* Storage() noexcept { return storage_; }
  void Clear() noexcept;

  TransportMode Mode() const noexcept { return mode_; }
  int CurrentIndex() const noexcept { return currentIndex_; }
  void SetCurrentIndex(int index) noexcept { currentIndex_ = index; }
  bool CurrentValid() const noexcept { return currentValid_ != 0; }
  void SetCurrentValid(bool valid) noexcept { currentValid_ = valid ? 1 : 0; }

 private:
  std::size_t SlotStride() const noexcept;

  unsigned char storage_[kStorageBytes];
  unsigned char currentValid_ = 0;
  TransportMode mode_ = TransportMode::kQueue;
  int currentIndex_ = 0;
};

}  // namespace velt
