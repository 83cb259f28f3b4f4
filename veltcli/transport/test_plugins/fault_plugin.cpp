// A plug-in built only for the tests of the plug-in transport: it fails, throws and returns odd
// buffers on request, so every code of the client side can be reached with a real library.
// Each entry function returns its own table; the connect text picks the behaviour of the calls
// after initialise ("connect=fail", "receive=null", ...). Fixed buffers only: no C++ library
// symbol that would keep the library from unloading.
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "veltplugin.h"

namespace {

struct FaultContext {
  char behaviour[520] = {};
  char log[2048] = {};
  std::size_t logLength = 0;
  char* sent = nullptr;
  int sentLength = 0;
  int slot = -1;
};

int g_liveContexts = 0;   // contexts initialised and not yet released

// The behaviour text holds whole words separated by ";" ("disconnect=fail" is not "connect=fail").
bool Wants(const FaultContext* c, const char* word) {
  const std::size_t n = std::strlen(word);
  for (const char* at = std::strstr(c->behaviour, word); at != nullptr; at = std::strstr(at + 1, word)) {
    const bool starts = at == c->behaviour || at[-1] == ';';
    if (starts && (at[n] == '\0' || at[n] == ';')) return true;
  }
  return false;
}

__attribute__((format(printf, 2, 3))) void Log(FaultContext* c, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::size_t room = sizeof c->log - c->logLength;
  const int n = std::vsnprintf(c->log + c->logLength, room, format, args);
  va_end(args);
  if (n > 0) c->logLength += static_cast<std::size_t>(n) < room ? static_cast<std::size_t>(n) : room - 1;
}

char* Copy(const char* bytes, std::size_t count) {
  char* out = static_cast<char*>(std::malloc(count > 0 ? count : 1));
  if (out != nullptr && count > 0) std::memcpy(out, bytes, count);
  return out;
}

FaultContext* New(void* owner) {
  auto* c = new FaultContext();
  ++g_liveContexts;
  Log(c, "init(%p)", owner);
  return c;
}

int Initialise(void** context) {
  *context = New(*context);
  return 0;
}
int InitialiseFails(void**) { return 9; }
int InitialiseFailsReplaced(void** context) {
  *context = New(*context);
  return 9;
}
int InitialiseThrows(void**) { throw 1; }

int Release(void* context) {
  auto* c = static_cast<FaultContext*>(context);
  const int result = Wants(c, "release=fail") ? 1 : 0;
  std::free(c->sent);
  delete c;
  --g_liveContexts;
  return result;
}

int Connect(void* context, const char* text, int slot, int reserved) {
  auto* c = static_cast<FaultContext*>(context);
  std::snprintf(c->behaviour, sizeof c->behaviour, "%s", text);
  Log(c, "connect(%s,%d,%d)", text, slot, reserved);
  c->slot = slot;
  if (Wants(c, "connect=throw")) throw 1;
  if (Wants(c, "connect=fail")) return 5;
  return reserved == 0 ? 0 : 8;
}

int Disconnect(void* context, const char* reserved, int slot, int reserved2) {
  auto* c = static_cast<FaultContext*>(context);
  if (Wants(c, "disconnect=throw")) throw 1;
  if (Wants(c, "disconnect=fail")) return 5;
  return reserved == nullptr && reserved2 == 0 && slot == c->slot ? 0 : 6;
}

int Configure(void* context, const char* text, int reserved) {
  auto* c = static_cast<FaultContext*>(context);
  Log(c, ";configure(%s,%d)", text, reserved);
  if (reserved != 0) return 8;
  if (std::strcmp(text, "throw") == 0) throw 1;
  if (std::strcmp(text, "fail") == 0) return 4;
  return std::strcmp(text, "accept") == 0 ? VELTPLUGIN_CONFIGURE_ACCEPTED : 0;
}

int Send(void* context, const char* data, int length) {
  auto* c = static_cast<FaultContext*>(context);
  if (Wants(c, "send=throw")) throw 1;
  if (Wants(c, "send=fail")) return 11;
  std::free(c->sent);
  c->sent = Copy(data, static_cast<std::size_t>(length));
  c->sentLength = length;
  return 0;
}

// Without an odd behaviour: the bytes sent last, or a header of '#' followed by the call log.
int Receive(void* context, char** buffer, int* length) {
  auto* c = static_cast<FaultContext*>(context);
  if (Wants(c, "receive=throw")) throw 1;
  if (Wants(c, "receive=null")) return 0;
  if (Wants(c, "receive=negative")) {
    *buffer = Copy("12345678", 8);
    *length = -1;
    return 0;
  }
  if (Wants(c, "receive=short")) {
    *buffer = Copy("0123456789", 10);
    *length = 10;
    return 0;
  }
  if (c->sent != nullptr) {
    *buffer = Copy(c->sent, static_cast<std::size_t>(c->sentLength));
    *length = c->sentLength;
  } else {
    char answer[126 + sizeof c->log];
    std::memset(answer, '#', 126);
    std::memcpy(answer + 126, c->log, c->logLength);
    *length = static_cast<int>(126 + c->logLength);
    *buffer = Copy(answer, static_cast<std::size_t>(*length));
  }
  return Wants(c, "receive=status") ? 7 : 0;
}

VELTPluginTable Table(VELTPLUGIN_InitialiseFunc initialise, bool complete) {
  VELTPluginTable t{};
  t.nFlags = complete ? VELTPLUGIN_FLAG_CALLBACKS : 0;
  t.pfnInitialise = initialise;
  t.pfnRelease = &Release;
  t.pfnConnect = &Connect;
  t.pfnDisconnect = &Disconnect;
  if (complete) {
    t.pfnConfigure = &Configure;
    t.pfnSend = &Send;
    t.pfnReceive = &Receive;
  }
  return t;
}

VELTPluginTable g_complete = Table(&Initialise, true);
VELTPluginTable g_bare = Table(&Initialise, false);
VELTPluginTable g_initFails = Table(&InitialiseFails, true);
VELTPluginTable g_initFailsReplaced = Table(&InitialiseFailsReplaced, true);
VELTPluginTable g_initThrows = Table(&InitialiseThrows, true);

}  // namespace

extern "C" {
VELTPLUGIN_EXPORT VELTPluginTable* FaultPlugin_Table(void) { return &g_complete; }
VELTPLUGIN_EXPORT VELTPluginTable* FaultPlugin_Bare(void) { return &g_bare; }
VELTPLUGIN_EXPORT VELTPluginTable* FaultPlugin_InitFails(void) { return &g_initFails; }
VELTPLUGIN_EXPORT VELTPluginTable* FaultPlugin_InitFailsReplaced(void) { return &g_initFailsReplaced; }
VELTPLUGIN_EXPORT VELTPluginTable* FaultPlugin_InitThrows(void) { return &g_initThrows; }
VELTPLUGIN_EXPORT VELTPluginTable* FaultPlugin_NullTable(void) { return nullptr; }
VELTPLUGIN_EXPORT VELTPluginTable* FaultPlugin_Throws(void) { throw 1; }
VELTPLUGIN_EXPORT int FaultPlugin_LiveContexts(void) { return g_liveContexts; }
}
