// The example plug-in's C face: the table, its entry function, and the calls that keep every
// C++ exception inside the library.
#include <new>

#include "example_link.h"
#include "example_texts.h"
#include "veltplugin_example.h"

namespace velt::plugin_example {
namespace {

// Runs `body` on the context; the codes for a null context and for exceptions (memory).
template <typename Body>
int OnLink(void* context, Body body) noexcept {
  if (context == nullptr) return VELTPLUGIN_EXAMPLE_ERR_BAD_ARGUMENT;
  try {
    return body(*static_cast<ExampleLink*>(context));
  } catch (...) {
    return VELTPLUGIN_EXAMPLE_ERR_NO_MEMORY;
  }
}

int Initialise(void** context) {
  if (context == nullptr) return VELTPLUGIN_EXAMPLE_ERR_BAD_ARGUMENT;
  auto* link = new (std::nothrow) ExampleLink();
  if (link == nullptr) return VELTPLUGIN_EXAMPLE_ERR_NO_MEMORY;
  *context = link;
  return 0;
}

int Release(void* context) {
  delete static_cast<ExampleLink*>(context);   // its destructor disconnects
  return 0;
}

int Connect(void* context, const char* text, int, int) {
  return OnLink(context, [text](ExampleLink& link) {
    ConnectSettings settings;
    if (text == nullptr || !ParseConnectText(text, settings)) return VELTPLUGIN_EXAMPLE_ERR_CONNECT_TEXT;
    return link.Connect(settings);
  });
}

int Disconnect(void* context, const char*, int, int) {
  return OnLink(context, [](ExampleLink& link) { return link.Disconnect(); });
}

int Configure(void* context, const char* text, int) {
  return OnLink(context, [text](ExampleLink& link) {
    int seconds = kDefaultTimeoutSeconds;
    if (text == nullptr || !ParseConfigText(text, seconds)) return VELTPLUGIN_EXAMPLE_ERR_CONFIG_TEXT;
    link.SetTimeout(seconds);
    return 0;
  });
}

int Send(void* context, const char* data, int length) {
  return OnLink(context, [=](ExampleLink& link) { return link.Send(data, length); });
}

int Receive(void* context, char** buffer, int* length) {
  if (buffer == nullptr || length == nullptr) return VELTPLUGIN_EXAMPLE_ERR_BAD_ARGUMENT;
  return OnLink(context, [=](ExampleLink& link) { return link.Receive(buffer, length); });
}

VELTPluginTable MakeTable() {
  VELTPluginTable table{};
  table.nFlags = 0;
  table.pfnConnect = &Connect;
  table.pfnDisconnect = &Disconnect;
  table.pfnInitialise = &Initialise;
  table.pfnRelease = &Release;
  table.pfnConfigure = &Configure;
  table.pfnReceive = &Receive;
  table.pfnSend = &Send;
  return table;
}

VELTPluginTable g_table = MakeTable();   // read-only in practice: no flag asks the client to write

}  // namespace
}  // namespace velt::plugin_example

extern "C" VELTPLUGIN_EXPORT VELTPluginTable* VeltPluginExample_Table(void) {
  return &velt::plugin_example::g_table;
}
