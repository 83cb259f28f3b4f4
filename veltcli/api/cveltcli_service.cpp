// The class methods for connecting, service calls and transactions.
#include "CVELTCli.h"
#include "core/client_handle.h"
#include "calls/service_calls.h"

int CVELTCli::ConnectServer(const char* server, const char* user, const char* password) {
  return VELTCLI_ConnectServer(m_handle, server, user, password);
}
// Unlike the exported function, the server-session flag is left as it is: a fresh object signs on.
int CVELTCli::SQLConnect(const char* server, const char* user, const char* password) {
  return velt::ConnectSession(*m_handle->session, server, user, password);
}
int CVELTCli::DisConnect() { return VELTCLI_DisConnect(m_handle); }
int CVELTCli::SQLDisconnect() { return VELTCLI_SQLDisconnect(m_handle); }
int CVELTCli::CallProgram(const char* serviceId, const char* version) {
  return VELTCLI_CallProgram(m_handle, serviceId, version);
}
int CVELTCli::CallProgramAndCommit(const char* serviceId, const char* version) {
  return VELTCLI_CallProgramAndCommit(m_handle, serviceId, version);
}
// The stand-alone call of the program as named: no service header values are added.
int CVELTCli::SQLExecute(const char* program) {
  return velt::CallStandAlone(*m_handle->session, program != nullptr ? program : "", nullptr);
}
int CVELTCli::Commit() { return VELTCLI_Commit(m_handle); }
int CVELTCli::RollBack() { return VELTCLI_RollBack(m_handle); }
int CVELTCli::SQLEndTran(int callType) { return VELTCLI_SQLEndTran(m_handle, callType); }
int CVELTCli::SQLCloseCursor() { return VELTCLI_SQLCloseCursor(m_handle); }
