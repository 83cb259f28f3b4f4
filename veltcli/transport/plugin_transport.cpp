// Loading a transport plug-in and driving its table: every call through the table is guarded, so
// a plug-in's exception becomes the call's code and never crosses into the caller.
#include "transport/plugin_transport.h"

#include "platform/dynamic_library.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "support/alloc_hook.h"
#include "wire/packet_header.h"
#include "veltplugin.h"

namespace velt {
namespace {

constexpr int kLastSlot = 15;

// Both callback slots get this one function: the library takes no notification from a plug-in.
int RefuseCallback(void* context, const void*, int) {
  return context != nullptr ? VELTPLUGIN_CALLBACK_REFUSED : VELTPLUGIN_CALLBACK_NO_CONTEXT;
}

// Calls a plug-in function; `onThrow` when it throws.
template <typename Function, typename... Args>
int Guarded(int onThrow, Function function, Args... args) noexcept {
  try {
    return function(args...);
  } catch (...) {
    return onThrow;
  }
}

// A record field copied with a terminator: the caller's record need not terminate its texts.
template <std::size_t N>
std::array<char, N + 1> Terminated(const char (&field)[N]) noexcept {
  std::array<char, N + 1> text{};
  std::memcpy(text.data(), field, N);
  return text;
}

struct FreeBytes {
  void operator()(char* bytes) const noexcept { std::free(bytes); }
};

}  // namespace

PluginTransport::~PluginTransport() { CloseForcibly(); }

int PluginTransport::Connect(const tagVELTPluginOption& entry, int index, void* owner) {
  if (index < 0 || index > kLastSlot) return VELTPLUGIN_ERR_SLOT_INDEX;
  CloseForcibly();
  if (const int result = Load(entry); result != 0) return result;
  if (const int result = Initialise(owner); result != 0) return result;

  const auto connectText = Terminated(entry.szConnectText);
  const int connected = table_->pfnConnect == nullptr
                            ? VELTPLUGIN_ERR_CONNECT
                            : Guarded(VELTPLUGIN_ERR_CONNECT, table_->pfnConnect, context_,
                                      static_cast<const char*>(connectText.data()), index, 0);
  if (connected != 0) {
    ReleaseContext();
    Unload();
    return VELTPLUGIN_ERR_CONNECT;
  }
  slot_ = index;
  return Configure(entry);
}

int PluginTransport::Load(const tagVELTPluginOption& entry) {
  path_ = Terminated(entry.szLibraryPath);
  if (path_[0] == '\0') return VELTPLUGIN_ERR_LOAD;
  library_ = platform::OpenLibrary(path_.data());
  if (library_ == nullptr) return VELTPLUGIN_ERR_LOAD;

  const auto entryName = Terminated(entry.szEntryName);
  const auto entryFunction = reinterpret_cast<VELTPLUGIN_EntryFunc>(platform::LibrarySymbol(library_, entryName.data()));
  if (entryFunction == nullptr) {
    Unload();
    return VELTPLUGIN_ERR_NO_ENTRY;
  }
  try {
    table_ = entryFunction();
  } catch (...) {
    table_ = nullptr;
  }
  if (table_ == nullptr) {
    Unload();
    return VELTPLUGIN_ERR_NO_TABLE;
  }
  if ((table_->nFlags & VELTPLUGIN_FLAG_CALLBACKS) != 0) {
    table_->pfnCallback1 = &RefuseCallback;
    table_->pfnCallback2 = &RefuseCallback;
  }
  return 0;
}

int PluginTransport::Initialise(void* owner) {
  context_ = owner;
  const int result = table_->pfnInitialise == nullptr
                         ? VELTPLUGIN_ERR_INITIALISE
                         : Guarded(VELTPLUGIN_ERR_INITIALISE, table_->pfnInitialise, &context_);
  if (result == 0) return 0;
  // A context the plug-in put in place is its own and must be given back; the owner's address is not.
  if (context_ == owner) context_ = nullptr;
  ReleaseContext();
  Unload();
  return VELTPLUGIN_ERR_INITIALISE;
}

int PluginTransport::Configure(const tagVELTPluginOption& entry) {
  const auto configText = Terminated(entry.szConfigText);
  if (configText[0] == '\0') return 0;
  const int result = table_->pfnConfigure == nullptr
                         ? VELTPLUGIN_ERR_CONFIGURE
                         : Guarded(VELTPLUGIN_ERR_CONFIGURE, table_->pfnConfigure, context_,
                                   static_cast<const char*>(configText.data()), 0);
  if (result == 0 || result == VELTPLUGIN_CONFIGURE_ACCEPTED) return 0;
  CloseForcibly();
  return VELTPLUGIN_ERR_CONFIGURE;
}

int PluginTransport::Disconnect(int index) {
  if (table_ != nullptr && context_ != nullptr && table_->pfnDisconnect != nullptr) {
    const int result = Guarded(VELTPLUGIN_ERR_DISCONNECT, table_->pfnDisconnect, context_,
                               static_cast<const char*>(nullptr), index, 0);
    if (result != 0) return VELTPLUGIN_ERR_DISCONNECT;
  }
  ReleaseContext();
  Unload();
  return 0;
}

void PluginTransport::CloseForcibly() noexcept {
  if (table_ != nullptr && context_ != nullptr && table_->pfnDisconnect != nullptr)
    Guarded(VELTPLUGIN_ERR_DISCONNECT, table_->pfnDisconnect, context_, static_cast<const char*>(nullptr),
            slot_, 0);
  ReleaseContext();
  Unload();
}

void PluginTransport::ReleaseContext() noexcept {
  if (table_ == nullptr || context_ == nullptr) return;
  if (table_->pfnRelease != nullptr && Guarded(-1, table_->pfnRelease, context_) != 0) pin_ = true;
  // Even a context the plug-in failed to release is unusable once disconnected.
  context_ = nullptr;
}

void PluginTransport::Unload() noexcept {
  if (library_ != nullptr) {
    if (pin_) {
      // A context that still exists may still run the library's code: never unmap it.
      platform::CloseLibrary(platform::FindOpenLibrary(path_.data(), true));
    }
    platform::CloseLibrary(library_);
  }
  library_ = nullptr;
  table_ = nullptr;
  context_ = nullptr;
  pin_ = false;
}

int PluginTransport::Send(const char* data, int length) {
  if (table_ == nullptr) return VELTPLUGIN_ERR_SEND_NO_TABLE;
  if (table_->pfnSend == nullptr) return VELTPLUGIN_ERR_SEND_MISSING;
  return Guarded(VELTPLUGIN_ERR_SEND_THREW, table_->pfnSend, context_, data, length);
}

int PluginTransport::Receive(ReceiveBuffer& buffer, int& length) {
  length = 0;
  if (table_ == nullptr) return VELTPLUGIN_ERR_RECV_NO_TABLE;
  if (table_->pfnReceive == nullptr) return VELTPLUGIN_ERR_RECV_MISSING;
  char* bytes = nullptr;
  int count = 0;
  int result = 0;
  try {
    result = table_->pfnReceive(context_, &bytes, &count);
  } catch (...) {
    return VELTPLUGIN_ERR_RECV_THREW;
  }
  const std::unique_ptr<char, FreeBytes> owned(bytes);
  if (bytes == nullptr || count < 0) return result != 0 ? result : VELTPLUGIN_ERR_RECV_BAD_ANSWER;
  if (result == 0 && static_cast<std::size_t>(count) < wire::kHeaderBytes) return VELTPLUGIN_ERR_RECV_BAD_ANSWER;

  const std::size_t needed = static_cast<std::size_t>(count) + 1;
  if (!AllocationAllowed(needed) || !buffer.Reserve(needed)) return VELTPLUGIN_ERR_RECV_NO_MEMORY;
  std::memcpy(buffer.Data(), bytes, static_cast<std::size_t>(count));
  buffer.Data()[count] = '\0';
  length = count;
  return result;
}

}  // namespace velt
