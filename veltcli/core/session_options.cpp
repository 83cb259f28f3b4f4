// The option ids of the session: length rules, int options, the reply tag and the record options
// that replace or revalidate server-list entries.
#include <cstring>

#include "support/ascii_text.h"
#include "core/frame_state.h"
#include "core/session.h"
#include "transport/queue_library_option.h"

namespace {

constexpr int kIntLength = 4;
constexpr int kReplyTagChars = 24;
constexpr int kHighestOption = 20;

int ReadInt(const void* value) {
  int v;
  std::memcpy(&v, value, sizeof v);
  return v;
}

void WriteInt(void* out, int* length, int value) {
  std::memcpy(out, &value, sizeof value);
  *length = kIntLength;
}

int ListBytesToCopy(int length, std::size_t limit) {
  return static_cast<std::size_t>(length) < limit ? length : static_cast<int>(limit);
}

}  // namespace

int CLUNQCliBase::StandardOptionLength(int id) noexcept {
  switch (id) {
    case 0: case 7: return static_cast<int>(sizeof(tagVELTConnectOption));
    case 12: case 13: return static_cast<int>(sizeof(tagVELTConnectOptionEx));
    case 15: return kReplyTagChars + 1;
    case 18: case 19: return static_cast<int>(sizeof(tagVELTPluginOption));
    default: return kIntLength;
  }
}

int CLUNQCliBase::SetOptions(int id, const void* value, int length) {
  if (value == nullptr) return 1;
  if (id == 14) { serverSession = ReadInt(value); return 0; }
  if (id == 11) { commTime = ReadInt(value); return 0; }
  if (length < kIntLength) return 1;                 // every other id, an unknown one included
  if (id < 0 || id > kHighestOption) return 0;       // accepted and ignored
  switch (id) {
    case 0: case 7: case 12: case 13: case 18: case 19:
      return SetRecordOption(id, value, length);
    case 10: velt::SetEmptyValuesOption(ReadInt(value)); return 0;
    case 20: velt::Pool().SetCapacity(ReadInt(value)); return 0;
    case 15: {
      const std::size_t n = strnlen(static_cast<const char*>(value),
                                    static_cast<std::size_t>(length < kReplyTagChars ? length : kReplyTagChars));
      std::memset(transport.replyTag, 0, sizeof transport.replyTag);
      std::memcpy(transport.replyTag, value, n);
      return 0;
    }
    default: return SetIntOption(id, ReadInt(value));
  }
}

int CLUNQCliBase::SetIntOption(int id, int value) {
  velt::TransportOptions& o = transport.options;
  switch (id) {
    case 1:
      velt::SetQueueLibraryTimeout(value);
      o.timeout = value;
      timeout = value;
      return 0;
    case 2: o.trace = value; return 0;
    case 3: o.descriptor272 = value; return 0;
    case 4: o.descriptor271 = value; return 0;
    case 5: o.checksum = value; return 0;
    case 6: o.sequence = value; return 0;
    case 8: o.sharedConnection = value; return 0;
    case 9: o.libraryIds = value; return 0;
    case 16: o.replyTagUse = value; return 0;
    case 17: o.windowEnds = value; return 0;
    default: return 0;
  }
}

int CLUNQCliBase::SetRecordOption(int id, const void* value, int length) {
  using velt::RecordKind;
  velt::ServerList& list = transport.servers;
  const RecordKind kind = (id == 0 || id == 7) ? RecordKind::kConnect
                          : (id == 12 || id == 13) ? RecordKind::kConnectEx
                                                   : RecordKind::kPlugin;
  const int size = static_cast<int>(velt::RecordSize(kind));
  if (id == 0 || id == 12 || id == 18) {
    list.ReplaceAll(kind, value, length / size);
  } else {
    if (length < size) return 1;     // a single record must be there whole before it is read
    list.ReplaceCurrent(kind, value);
  }
  if (kind == RecordKind::kPlugin) serverSession = 0;
  return 0;
}

int CLUNQCliBase::GetOptions(int id, void* out, int* length) {
  // Ids 14 and 11 answer with the session value itself, whatever the length; it is also written
  // out where an int fits, as for the other int ids.
  if (id == 14 || id == 11) {
    const int value = id == 14 ? serverSession : commTime;
    if (out != nullptr && length != nullptr && *length >= kIntLength) WriteInt(out, length, value);
    return value;
  }
  if (id < 0 || id > kHighestOption) return 0;       // output untouched
  if (out == nullptr || length == nullptr || *length < kIntLength) return 1;
  switch (id) {
    case 0: case 7: case 12: case 13: case 18: case 19:
      return GetRecordOption(id, out, length);
    case 15: {
      const std::size_t n = std::strlen(transport.replyTag);
      std::memcpy(out, transport.replyTag, n + 1 < static_cast<std::size_t>(*length) ? n + 1 : *length);
      *length = static_cast<int>(n);
      return 0;
    }
    default: {
      int value = 0;
      GetIntOption(id, &value);
      WriteInt(out, length, value);
      return 0;
    }
  }
}

int CLUNQCliBase::GetIntOption(int id, int* value) const {
  const velt::TransportOptions& o = transport.options;
  switch (id) {
    case 1: *value = o.timeout; break;
    case 2: *value = o.trace; break;
    case 3: *value = o.descriptor272; break;
    case 4: *value = o.descriptor271; break;
    case 5: *value = o.checksum; break;
    case 6: *value = o.sequence; break;
    case 8: *value = o.sharedConnection; break;
    case 9: *value = o.libraryIds; break;
    case 10: *value = velt::EmptyValuesOption(); break;
    case 11: *value = commTime; break;
    case 14: *value = serverSession; break;
    case 16: *value = o.replyTagUse; break;
    case 17: *value = o.windowEnds; break;
    case 20: *value = velt::Pool().Capacity(); break;
    default: return 1;
  }
  return 0;
}

int CLUNQCliBase::GetRecordOption(int id, void* out, int* length) const {
  const velt::ServerList& list = transport.servers;
  auto* bytes = static_cast<unsigned char*>(out);
  const int connect = static_cast<int>(sizeof(tagVELTConnectOption));
  switch (id) {
    case 0: {
      std::memset(out, 0, static_cast<std::size_t>(*length));
      if (*length < connect) return 1;
      const int count = *length / connect < velt::ServerList::kSlots ? *length / connect : velt::ServerList::kSlots;
      for (int i = 0; i < count; ++i) std::memcpy(bytes + i * connect, list.Slot(i), connect);
      return 0;
    }
    case 12: case 18: {
      const int size = StandardOptionLength(id);
      if (*length < size) return 1;
      const std::size_t limit = id == 12 ? velt::ServerList::kSlots * sizeof(tagVELTConnectOptionEx)
                                         : velt::ServerList::kStorageBytes;
      const int n = ListBytesToCopy(*length, limit);
      std::memcpy(out, list.Storage(), static_cast<std::size_t>(n));
      *length = n;
      return 0;
    }
    default: {   // 7, 13, 19: the current entry
      const int size = StandardOptionLength(id);
      if (*length < size || list.Current() == nullptr) return 1;
      std::memcpy(out, list.Current(), static_cast<std::size_t>(size));
      return 0;
    }
  }
}
