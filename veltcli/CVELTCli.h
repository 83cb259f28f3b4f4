/* CVELTCli: the bus client library's C++ class, one object per client handle.
 *
 * Each method behaves exactly as the VELTCLI_ function of the same name on the object's handle
 * (veltcli.h gives the codes). The constructor creates a new handle (never one from the pool) and
 * throws std::bad_alloc when it cannot; the destructor destroys it (never into the pool).
 * Copies share one handle: it is destroyed when the last object sharing it goes. An object is used
 * by one thread at a time, like its handle. Empty for a C compiler.
 */
#ifndef VELT_CVELTCLI_H
#define VELT_CVELTCLI_H

#include "veltcli.h"

#ifdef __cplusplus

class VELTCLI_API CVELTCli {
 public:
  CVELTCli();
  CVELTCli(const CVELTCli &other);
  ~CVELTCli();
  CVELTCli &operator=(const CVELTCli &other);

  int GetVersion(int *version);
  int GetErr(int *code, char *message);
  int GetErrorCode(int *code);
  int GetErrorMsg(char *message);

  int SetConnectOption(tagVELTConnectOption option);
  int GetConnectOption(tagVELTConnectOption *option);
  int SetOption(int id, const void *value);
  int GetOption(int id, void *value);
  int SetOptions(int id, const void *value, int length);
  /* Takes the length by value; the updated length is not returned. */
  int GetOptions(int id, void *value, int length);
  int SetSystemParam(int id, const char *text);
  int GetSystemParam(int id, char *text, int length);
  int SetCliTimeOut(int seconds);
  int GetCommLen(int *length);

 private:
  ClientHandle *m_handle;
};

#endif /* __cplusplus */

#endif /* VELT_CVELTCLI_H */
