// Exported option, system-parameter and notification functions: each forwards to the session.
#include "api/api_guard.h"
#include "veltcli.h"

extern "C" {

VELTCLI_API int VELTCLI_SetOptions(VELTCLI_HANDLE handle, int id, const void* value, int length) {
  return velt::Guarded(1, [&] { return velt::SessionOf(handle).SetOptions(id, value, length); });
}

VELTCLI_API int VELTCLI_GetOptions(VELTCLI_HANDLE handle, int id, void* value, int* length) {
  return velt::Guarded(1, [&] { return velt::SessionOf(handle).GetOptions(id, value, length); });
}

VELTCLI_API int VELTCLI_SetOption(VELTCLI_HANDLE handle, int id, const void* value) {
  return VELTCLI_SetOptions(handle, id, value, CLUNQCliBase::StandardOptionLength(id));
}

VELTCLI_API int VELTCLI_GetOption(VELTCLI_HANDLE handle, int id, void* value) {
  int length = CLUNQCliBase::StandardOptionLength(id);
  return VELTCLI_GetOptions(handle, id, value, &length);
}

VELTCLI_API int VELTCLI_SetConnectOption(VELTCLI_HANDLE handle, tagVELTConnectOption option) {
  return VELTCLI_SetOption(handle, VELTCLI_OPTION_CURRENT_ENTRY, &option);
}

VELTCLI_API int VELTCLI_GetConnectOption(VELTCLI_HANDLE handle, tagVELTConnectOption* option) {
  return VELTCLI_GetOption(handle, VELTCLI_OPTION_CURRENT_ENTRY, option);
}

VELTCLI_API int VELTCLI_SetCliTimeOut(VELTCLI_HANDLE handle, int seconds) {
  return VELTCLI_SetOptions(handle, VELTCLI_OPTION_TIMEOUT, &seconds, static_cast<int>(sizeof seconds));
}

VELTCLI_API int VELTCLI_SetSystemParam(VELTCLI_HANDLE handle, int id, const char* text) {
  return velt::Guarded(-1, [&] { return velt::SessionOf(handle).SetSystemParam(id, text); });
}

VELTCLI_API int VELTCLI_GetSystemParam(VELTCLI_HANDLE handle, int id, char* text, int length) {
  return velt::Guarded(-1, [&] { return velt::SessionOf(handle).GetSystemParam(id, text, length); });
}

VELTCLI_API int VELTCLI_GetCommLen(VELTCLI_HANDLE handle, int* length) {
  if (length != nullptr) *length = velt::SessionOf(handle).CommLen();
  return 0;
}

VELTCLI_API int VELTCLI_Notify(VELTCLI_HANDLE, void*, void*, void*, void*) { return -1; }

VELTCLI_API int VELTCLI_Broadcast(VELTCLI_HANDLE, void*, void*, void*, void*, void*, void*) { return -1; }

// VELTCLI_SetUnsoliciety is bound to this function by the linker (one address).
VELTCLI_API int VELTCLI_CheckUnsoliciety(VELTCLI_HANDLE) { return -1; }

}  // extern "C"
