// The exported class: each method is the function of the same name on the object's handle.
// Copies share the handle and count themselves in it, so the last one destroys it.
#include <new>

#include "CVELTCli.h"
#include "core/client_handle.h"
#include "core/frame_state.h"

namespace {

void Share(ClientHandle* handle) { handle->classShares.fetch_add(1); }

void Unshare(ClientHandle* handle) {
  if (handle->classShares.fetch_sub(1) == 1) velt::DestroyClientHandle(handle);
}

}  // namespace

CVELTCli::CVELTCli() : m_handle(nullptr) {
  try {
    velt::RefreshProgramName();
  } catch (...) {
    // The name keeps its previous text.
  }
  m_handle = velt::CreateClientHandle();
  if (m_handle == nullptr) throw std::bad_alloc();
  Share(m_handle);
}

CVELTCli::CVELTCli(const CVELTCli& other) : m_handle(other.m_handle) { Share(m_handle); }

CVELTCli::~CVELTCli() { Unshare(m_handle); }

CVELTCli& CVELTCli::operator=(const CVELTCli& other) {
  if (other.m_handle != m_handle) {
    Share(other.m_handle);
    Unshare(m_handle);
    m_handle = other.m_handle;
  }
  return *this;
}

int CVELTCli::GetVersion(int* version) { return VELTCLI_GetVersion(m_handle, version); }
int CVELTCli::GetErr(int* code, char* message) { return VELTCLI_GetErr(m_handle, code, message); }
int CVELTCli::GetErrorCode(int* code) { return VELTCLI_GetErrorCode(m_handle, code); }
int CVELTCli::GetErrorMsg(char* message) { return VELTCLI_GetErrorMsg(m_handle, message); }

int CVELTCli::SetConnectOption(tagVELTConnectOption option) { return VELTCLI_SetConnectOption(m_handle, option); }
int CVELTCli::GetConnectOption(tagVELTConnectOption* option) { return VELTCLI_GetConnectOption(m_handle, option); }
int CVELTCli::SetOption(int id, const void* value) { return VELTCLI_SetOption(m_handle, id, value); }
int CVELTCli::GetOption(int id, void* value) { return VELTCLI_GetOption(m_handle, id, value); }
int CVELTCli::SetOptions(int id, const void* value, int length) {
  return VELTCLI_SetOptions(m_handle, id, value, length);
}
int CVELTCli::GetOptions(int id, void* value, int length) { return VELTCLI_GetOptions(m_handle, id, value, &length); }
int CVELTCli::SetSystemParam(int id, const char* text) { return VELTCLI_SetSystemParam(m_handle, id, text); }
int CVELTCli::GetSystemParam(int id, char* text, int length) {
  return VELTCLI_GetSystemParam(m_handle, id, text, length);
}
int CVELTCli::SetCliTimeOut(int seconds) { return VELTCLI_SetCliTimeOut(m_handle, seconds); }
int CVELTCli::GetCommLen(int* length) { return VELTCLI_GetCommLen(m_handle, length); }
