// RIMQ_ReasonText: a short text for each reason code of rimqapi.h, for messages and logs.
#include <cstdio>

#include "rimqapi.h"

namespace {

struct ReasonText {
  int reason;
  const char* text;
};

constexpr ReasonText kReasons[] = {
    {RIMQRC_NONE, "ok"},
    {RIMQRC_CONNECTION_LOST, "connection to the queue manager lost"},
    {RIMQRC_QMGR_NOT_REACHABLE, "queue manager not reachable"},
    {RIMQRC_BUFFER_ERROR, "bad buffer or length"},
    {RIMQRC_ADDRESS_ERROR, "bad address, protocol or port"},
    {RIMQRC_HCONN_ERROR, "unknown or closed connection handle"},
    {RIMQRC_HOBJ_ERROR, "unknown queue handle"},
    {RIMQRC_MD_ERROR, "bad message descriptor"},
    {RIMQRC_MSG_TOO_BIG, "message longer than the queue accepts"},
    {RIMQRC_NO_MSG_AVAILABLE, "no message within the wait"},
    {RIMQRC_NOT_AUTHORIZED, "not authorised"},
    {RIMQRC_OD_ERROR, "bad object descriptor"},
    {RIMQRC_OPTIONS_ERROR, "bad or unsupported options"},
    {RIMQRC_STORAGE_NOT_AVAILABLE, "out of memory"},
    {RIMQRC_TRUNCATED_MSG_FAILED, "message longer than the get buffer (removed)"},
    {RIMQRC_UNKNOWN_OBJECT_NAME, "empty or invalid queue name"},
    {RIMQRC_UNEXPECTED_ERROR, "unexpected reply of the queue engine"},
    {RIMQRC_SSL_NOT_SUPPORTED, "TLS requested: this build has none"},
    {RIMQRC_PROXY_NOT_SUPPORTED, "proxy requested: this build connects directly"},
    {RIMQRC_INTERRUPTED, "get interrupted"},
};

}  // namespace

extern "C" RIMQAPI_API const char* RIMQ_ReasonText(int nReason) {
  for (const ReasonText& r : kReasons)
    if (r.reason == nReason) return r.text;
  thread_local char unknown[32];
  std::snprintf(unknown, sizeof unknown, "unknown reason %d", nReason);
  return unknown;
}
