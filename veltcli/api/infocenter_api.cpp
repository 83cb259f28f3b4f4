// Exported information-centre and publication-receiver functions: each forwards the handle's
// session to the information centre (infocenter/).
#include <cstring>

#include "api/api_guard.h"
#include "infocenter/info_calls.h"
#include "infocenter/receiver.h"
#include "veltcli.h"

using velt::SessionOf;

extern "C" {

VELTCLI_API int VELTCLI_InfoSubscribe(VELTCLI_HANDLE handle, tagInfoControl* control, char* userId, char* topic,
                                      int callMode) {
  return velt::InfoSubscribe(SessionOf(handle), control, userId, topic, callMode);
}

VELTCLI_API int VELTCLI_InfoUnsubscribe(VELTCLI_HANDLE handle, tagInfoControl* control) {
  return velt::InfoUnsubscribe(SessionOf(handle), control);
}

VELTCLI_API int VELTCLI_InfoPublish(VELTCLI_HANDLE handle, tagInfoControl* control, char* topic,
                                    long long* publicationNumber, int flagA, int flagB) {
  return velt::InfoPublish(SessionOf(handle), control, topic, publicationNumber, flagA, flagB);
}

VELTCLI_API int VELTCLI_InfoReceivePublication(VELTCLI_HANDLE handle, tagInfoControl* control) {
  return velt::InfoReceivePublication(SessionOf(handle), control);
}

VELTCLI_API int VELTCLI_InfoGetNoRecvPublish(VELTCLI_HANDLE handle, tagInfoControl* control) {
  return velt::InfoGetNoRecvPublish(SessionOf(handle), control);
}

VELTCLI_API int VELTCLI_InfoGetNoRecvData(VELTCLI_HANDLE handle, tagInfoControl* control) {
  return velt::InfoGetNoRecvData(SessionOf(handle), control);
}

VELTCLI_API int VELTRecvPub_Init(VELTCLI_HANDLE* handle, tagVELTConnectOption option, char* user, char* password) {
  int rc = VELTCLI_Init(handle);
  if (rc != 0) return rc;
  if ((rc = VELTCLI_SetConnectOption(*handle, option)) != 0) return rc;
  char server[sizeof option.szServerName + 1] = {};
  std::memcpy(server, option.szServerName, sizeof option.szServerName);
  return VELTCLI_ConnectServer(*handle, server, user, password);
}

VELTCLI_API int VELTRecvPub_Start(VELTCLI_HANDLE handle, tagInfoControl* control) {
  return velt::StartReceiver(SessionOf(handle), control);
}

VELTCLI_API int VELTRecvPub_Stop(VELTCLI_HANDLE handle) { return velt::StopReceiver(SessionOf(handle)); }

VELTCLI_API int VELTRecvPub_Exit(VELTCLI_HANDLE handle) {
  // The receiver must not run on while the disconnect takes its connection away.
  velt::EndReceiver(SessionOf(handle));
  int rc = VELTCLI_DisConnect(handle);
  if (rc != 0) rc = VELTCLI_DisConnectForce(handle);
  VELTCLI_Exit(handle);
  return rc;
}

}  // extern "C"
