// Exported connect, disconnect, service-call and transaction functions: each forwards the
// handle's session to the service calls.
#include "api/api_guard.h"
#include "calls/service_calls.h"
#include "veltcli.h"

using velt::SessionOf;

extern "C" {

// VELTCLI_SQLConnect is bound to this function by the linker (one address).
VELTCLI_API int VELTCLI_ConnectServer(VELTCLI_HANDLE handle, const char* server, const char* user,
                                      const char* password) {
  CLUNQCliBase& s = SessionOf(handle);
  s.serverSession = 0;   // the exported connect never signs on
  return velt::ConnectSession(s, server, user, password);
}

VELTCLI_API int VELTCLI_DisConnect(VELTCLI_HANDLE handle) {
  return velt::DisconnectSession(SessionOf(handle), true, true);
}

VELTCLI_API int VELTCLI_DisConnectForce(VELTCLI_HANDLE handle) {
  return velt::DisconnectSession(SessionOf(handle), false, true);
}

VELTCLI_API int VELTCLI_SQLDisconnect(VELTCLI_HANDLE handle) {
  return velt::DisconnectSession(SessionOf(handle), true, false);
}

VELTCLI_API int VELTCLI_CallProgram(VELTCLI_HANDLE handle, const char* serviceId, const char* version) {
  return velt::CallService(SessionOf(handle), serviceId, version, nullptr, true);
}

// VELTCLI_SQLExecute is bound to this function by the linker.
VELTCLI_API int VELTCLI_CallProgramAndCommit(VELTCLI_HANDLE handle, const char* serviceId, const char* version) {
  return velt::CallService(SessionOf(handle), serviceId, version, nullptr, false);
}

VELTCLI_API int VELTCLI_ACallProgram(VELTCLI_HANDLE handle, const char* serviceId, tagAsyncCall* call,
                                     const char* version) {
  return velt::CallService(SessionOf(handle), serviceId, version, call, true);
}

VELTCLI_API int VELTCLI_ACallProgramAndCommit(VELTCLI_HANDLE handle, const char* serviceId, tagAsyncCall* call,
                                              const char* version) {
  return velt::CallService(SessionOf(handle), serviceId, version, call, false);
}

VELTCLI_API int VELTCLI_GetReply(VELTCLI_HANDLE handle, tagAsyncCall* call) {
  if (call == nullptr) return velt::kReplyNullRecord;
  return velt::GetReply(SessionOf(handle), *call);
}

VELTCLI_API int VELTCLI_Cancel(VELTCLI_HANDLE handle, tagAsyncCall* /*call: not read*/) {
  return velt::EndTransaction(SessionOf(handle), velt::wire::kCallCancel);
}

VELTCLI_API int VELTCLI_Commit(VELTCLI_HANDLE handle) {
  return velt::EndTransaction(SessionOf(handle), velt::wire::kCallCommit);
}

VELTCLI_API int VELTCLI_RollBack(VELTCLI_HANDLE handle) {
  return velt::EndTransaction(SessionOf(handle), velt::wire::kCallRollBack);
}

VELTCLI_API int VELTCLI_SQLEndTran(VELTCLI_HANDLE handle, int callType) {
  return velt::EndTransaction(SessionOf(handle), callType);
}

VELTCLI_API int VELTCLI_SQLCloseCursor(VELTCLI_HANDLE handle) {
  return velt::EndTransaction(SessionOf(handle), velt::wire::kCallCloseCursor);
}

}  // extern "C"
