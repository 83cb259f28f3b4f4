// Server-list slots and the record matching of the option setters.
#include "transport/server_list.h"

#include <cstring>

#include "support/ascii_text.h"

namespace velt {
namespace {

template <typename Record>
Record Read(const void* bytes) noexcept {
  Record r;
  std::memcpy(&r, bytes, sizeof r);
  return r;
}

#define VELT_SAME_TEXT(field) EqualNoCase(x.field, y.field, sizeof x.field)

bool ConnectEqual(const tagVELTConnectOption& x, const tagVELTConnectOption& y) noexcept {
  return VELT_SAME_TEXT(szServerName) && x.nProtocal == y.nProtocal && VELT_SAME_TEXT(szAddress) &&
         x.nPort == y.nPort && VELT_SAME_TEXT(szSendQName) && VELT_SAME_TEXT(szReceiveQName) &&
         VELT_SAME_TEXT(szReserved);
}

bool ConnectExEqual(const tagVELTConnectOptionEx& x, const tagVELTConnectOptionEx& y) noexcept {
  return ConnectEqual(Read<tagVELTConnectOption>(&x), Read<tagVELTConnectOption>(&y)) &&
         VELT_SAME_TEXT(szProxy) && VELT_SAME_TEXT(szSSL);
}

bool PluginEqual(const tagVELTPluginOption& x, const tagVELTPluginOption& y) noexcept {
  return VELT_SAME_TEXT(szServerName) && x.nKind == y.nKind && VELT_SAME_TEXT(szLibraryPath) &&
         VELT_SAME_TEXT(szEntryName) && VELT_SAME_TEXT(szConnectText) && VELT_SAME_TEXT(szSpare1) &&
         VELT_SAME_TEXT(szSpare2) && VELT_SAME_TEXT(szConfigText);
}

#undef VELT_SAME_TEXT

TransportMode ModeOf(RecordKind kind) noexcept {
  return kind == RecordKind::kPlugin ? TransportMode::kPlugin : TransportMode::kQueue;
}

}  // namespace

std::size_t RecordSize(RecordKind kind) noexcept {
  switch (kind) {
    case RecordKind::kConnect: return sizeof(tagVELTConnectOption);
    case RecordKind::kConnectEx: return sizeof(tagVELTConnectOptionEx);
    case RecordKind::kPlugin: return sizeof(tagVELTPluginOption);
  }
  return 0;
}

bool RecordsEqual(RecordKind kind, const void* a, const void* b) noexcept {
  switch (kind) {
    case RecordKind::kConnect:
      return ConnectEqual(Read<tagVELTConnectOption>(a), Read<tagVELTConnectOption>(b));
    case RecordKind::kConnectEx:
      return ConnectExEqual(Read<tagVELTConnectOptionEx>(a), Read<tagVELTConnectOptionEx>(b));
    case RecordKind::kPlugin:
      return PluginEqual(Read<tagVELTPluginOption>(a), Read<tagVELTPluginOption>(b));
  }
  return false;
}

std::size_t ServerList::SlotStride() const noexcept {
  return mode_ == TransportMode::kPlugin ? sizeof(tagVELTPluginOption) : sizeof(tagVELTConnectOptionEx);
}

const unsigned char* ServerList::Slot(int index) const noexcept {
  if (index < 0 || index >= kSlots) return nullptr;
  return storage_ + static_cast<std::size_t>(index) * SlotStride();
}

unsigned char* ServerList::Slot(int index) noexcept {
  return const_cast<unsigned char*>(static_cast<const ServerList*>(this)->Slot(index));
}

void ServerList::Clear() noexcept { std::memset(storage_, 0, sizeof storage_); }

void ServerList::ReplaceAll(RecordKind kind, const void* records, int count) noexcept {
  if (count < 0) count = 0;
  if (count > kSlots) count = kSlots;
  const std::size_t size = RecordSize(kind);
  const auto* in = static_cast<const unsigned char*>(records);
  bool found = false;
  const unsigned char* current = Current();
  for (int i = 0; i < count && current != nullptr; ++i) {
    if (RecordsEqual(kind, current, in + i * size)) {
      currentIndex_ = i;
      found = true;
      break;
    }
  }
  currentValid_ = found ? 1 : 0;
  // The slots are rewritten in this kind's layout, so the mode follows the kind even when the
  // current entry was matched: a plug-in mode left over a queue list would misread every slot.
  mode_ = ModeOf(kind);
  Clear();
  for (int i = 0; i < count; ++i) std::memcpy(Slot(i), in + i * size, size);
}

void ServerList::ReplaceCurrent(RecordKind kind, const void* record) noexcept {
  const unsigned char* current = Current();
  if (current != nullptr && RecordsEqual(kind, current, record)) {
    currentValid_ = 1;
    return;
  }
  mode_ = ModeOf(kind);
  unsigned char* slot = Slot(currentIndex_);
  if (slot == nullptr) return;
  std::memset(slot, 0, SlotStride());
  std::memcpy(slot, record, RecordSize(kind));
  currentValid_ = 0;
}

}  // namespace velt
