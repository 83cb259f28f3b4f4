// Plug-in mode of the transport: a library named in the server list that carries whole request
// packets and returns whole answers in place of the message queue. This class loads the library,
// calls its table and maps each failure to its documented code.
//
// Not thread-safe: it belongs to one transport, used by one thread at a time. Codes and the table
// layout are in veltplugin.h; nothing is traced in plug-in mode.
#pragma once

#include <array>

#include "platform/dynamic_library.h"
#include "transport/receive_buffer.h"
#include "veltcli.h"

struct tagVELTPluginTable;

namespace velt {

class PluginTransport {
 public:
  PluginTransport() = default;
  ~PluginTransport();   // disconnects; a failing plug-in disconnect is still released and unloaded
  PluginTransport(const PluginTransport&) = delete;
  PluginTransport& operator=(const PluginTransport&) = delete;

  // Disconnects whatever is open, loads entry.szLibraryPath, gets the table from
  // entry.szEntryName, initialises with `owner` (the transport's address) as the context, connects
  // with the connect text and slot `index`, configures when the configuration text is not empty.
  // 0; 1700 index above 15; 1701 library not loaded; 1702 no entry function; 1703 no table;
  // 1704 initialise failed; 1705 connect failed; 1706 configure failed. A failed connect leaves
  // nothing behind: a context that exists is disconnected (after a successful plug-in connect)
  // and released, and the library is unloaded. A negative index is refused with 1700 as well.
  int Connect(const tagVELTPluginOption& entry, int index, void* owner);
  // Disconnect (slot `index`) and release through the table, then unload. 0, or 1712 when the
  // plug-in's disconnect failed (the library is then still loaded and the context kept).
  int Disconnect(int index);
  // A context is present (the connection is complete).
  bool Connected() const noexcept { return context_ != nullptr; }

  // Hands `length` bytes (header and text) to the plug-in. The plug-in's result, or 1721 no table,
  // 1722 no send function, 1723 the send function threw.
  int Send(const char* data, int length);
  // One whole answer (header and text) into `buffer`, terminated, `length` its byte count. The
  // plug-in's result, or 1731 no table, 1732 no receive function, 1733 it threw, 1741 no memory,
  // 1742 result 0 without a whole answer (null buffer, negative length or fewer than 126 bytes).
  // The plug-in's buffer is freed in every case but a throw.
  int Receive(ReceiveBuffer& buffer, int& length);

 private:
  using Path = std::array<char, sizeof(tagVELTPluginOption::szLibraryPath) + 1>;

  int Load(const tagVELTPluginOption& entry);
  int Initialise(void* owner);
  int Configure(const tagVELTPluginOption& entry);
  void CloseForcibly() noexcept;     // disconnect (result ignored), release, unload
  void ReleaseContext() noexcept;
  void Unload() noexcept;

  velt::platform::LibraryHandle library_ = nullptr;
  tagVELTPluginTable* table_ = nullptr; // the plug-in's table, valid while library_ is loaded
  void* context_ = nullptr;
  int slot_ = 0;                        // slot the open connection was made with
  bool pin_ = false;                    // release failed: keep the library mapped for good
  Path path_{};                         // library path, to pin it at unload
};

}  // namespace velt
