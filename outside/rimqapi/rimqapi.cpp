// The exported C interface: checks the records, finds the handles, forwards to the engine and
// turns every result (exceptions included) into a completion and a reason code.
#include "rimqapi.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "connection_table.h"
#include "inproc_engine.h"
#include "message_id.h"
#include "redis_engine.h"
#include "settings.h"

namespace velt::rimq {
namespace {

template <typename F>
void Report(int* compCode, int* reason, F&& call) noexcept {
  if (!compCode || !reason) return;
  int rc = RIMQRC_UNEXPECTED_ERROR;
  try {
    rc = call();
  } catch (const std::bad_alloc&) {
    rc = RIMQRC_STORAGE_NOT_AVAILABLE;
  } catch (...) {
    rc = RIMQRC_UNEXPECTED_ERROR;
  }
  *compCode = rc == 0 ? RIMQCC_OK : RIMQCC_FAILED;
  *reason = rc;
}

// Records are told apart by the first four bytes of their id ("RIMQ", "PMO ", "GMO ", ...).
bool IsRecord(const void* record, const char* strucId) {
  return record && std::memcmp(record, strucId, 4) == 0;
}

std::string Text(const char* s) { return s ? std::string(s) : std::string(); }

std::string_view FixedText(const char* field, std::size_t width) {
  return std::string_view(field, strnlen(field, width));
}

bool Empty(const char* s) { return !s || !*s; }

int ConnectTo(int protocol, const std::string& address, int port, const char* user, const char* password,
              const char* proxy, const char* ssl, std::unique_ptr<QueueConnection>* out) {
  if (address.empty()) return RIMQRC_ADDRESS_ERROR;
  if (address == "inproc" || address.rfind("inproc:", 0) == 0) {
    *out = ConnectInproc(address.size() > 7 ? std::string_view(address).substr(7) : std::string_view());
    return 0;
  }
  if (!Empty(ssl)) return RIMQRC_SSL_NOT_SUPPORTED;
  if (!Empty(proxy)) return RIMQRC_PROXY_NOT_SUPPORTED;
  RedisEndpoint endpoint;
  endpoint.address = address;
  endpoint.user = Text(user);
  endpoint.password = Text(password);
  if (protocol == 2) {
    endpoint.unixSocket = true;
  } else if (protocol == 0 || protocol == 1) {
    if (port < 1 || port > 65535) return RIMQRC_ADDRESS_ERROR;
    endpoint.port = port;
  } else {
    return RIMQRC_ADDRESS_ERROR;
  }
  return ConnectRedis(endpoint, out);
}

int Connect(int protocol, const char* address, int port, const char* user, const char* password,
            const char* proxy, const char* ssl, int* hConn) {
  if (!hConn) return RIMQRC_HCONN_ERROR;
  *hConn = -1;
  std::unique_ptr<QueueConnection> connection;
  if (const int rc = ConnectTo(protocol, Text(address), port, user, password, proxy, ssl, &connection); rc != 0) {
    return rc;
  }
  *hConn = Connections().Add(std::move(connection));
  return 0;
}

int Open(int hConn, const RIMQOD* od, int* hObj) {
  if (!hObj) return RIMQRC_HOBJ_ERROR;
  *hObj = -1;
  auto entry = Connections().Find(hConn);
  if (!entry) return RIMQRC_HCONN_ERROR;
  if (!IsRecord(od, RIMQ_OD_STRUC_ID)) return RIMQRC_OD_ERROR;
  const std::string_view name = FixedText(od->szObjectName, sizeof od->szObjectName);
  if (name.empty() || name.find_first_of("{}") != std::string_view::npos) return RIMQRC_UNKNOWN_OBJECT_NAME;
  std::lock_guard<std::mutex> lock(entry->op);
  std::shared_ptr<OpenedQueue> queue;
  if (const int rc = entry->connection->Open(name, &queue); rc != 0) return rc;
  const int handle = Connections().NewQueueHandle();
  entry->queues.emplace(handle, std::move(queue));
  entry->lastOpened = handle;
  *hObj = handle;
  return 0;
}

int Disconnect(int* hConn) {
  if (!hConn) return RIMQRC_HCONN_ERROR;
  auto entry = Connections().Remove(*hConn);
  if (!entry) return RIMQRC_HCONN_ERROR;
  entry->connection->Interrupt();   // a get still blocked on it (a misuse) ends first
  std::lock_guard<std::mutex> lock(entry->op);
  entry->connection->Close();
  entry->queues.clear();
  *hConn = -1;
  return 0;
}

OpenedQueue* QueueOf(ConnectionEntry& entry, int hObj) {
  auto it = entry.queues.find(hObj);
  return it == entry.queues.end() ? nullptr : it->second.get();
}

int CheckBody(int length, const void* buffer) {
  if (length < 0 || (length > 0 && !buffer)) return RIMQRC_BUFFER_ERROR;
  if (length > RIMQ_MAX_MSG_LENGTH) return RIMQRC_MSG_TOO_BIG;
  return 0;
}

bool AllZero(const char* bytes, std::size_t n) {
  return std::all_of(bytes, bytes + n, [](char c) { return c == 0; });
}

// The descriptor's id is replaced only once the put has succeeded.
int PutOn(ConnectionEntry& entry, int hObj, RIMQMD* md, bool newId, int length, const void* buffer) {
  OpenedQueue* queue = QueueOf(entry, hObj);
  if (!queue) return RIMQRC_HOBJ_ERROR;
  if (!IsRecord(md, RIMQ_MD_STRUC_ID)) return RIMQRC_MD_ERROR;
  if (const int rc = CheckBody(length, buffer); rc != 0) return rc;
  Envelope envelope = Envelope::FromDescriptor(*md);
  if (newId) NewMessageId(envelope.msgId.data());
  // An empty body may come with a null buffer; the engines always get a valid pointer.
  const std::string_view body(length > 0 ? static_cast<const char*>(buffer) : "", static_cast<std::size_t>(length));
  if (const int rc = entry.connection->Put(*queue, envelope, body, md->nExpiry); rc != 0) {
    return rc;
  }
  std::memcpy(md->abMsgId, envelope.msgId.data(), sizeof md->abMsgId);
  return 0;
}

int Put(int hConn, int hObj, RIMQMD* md, const RIMQPMO* pmo, int length, const void* buffer) {
  auto entry = Connections().Find(hConn);
  if (!entry) return RIMQRC_HCONN_ERROR;
  std::lock_guard<std::mutex> lock(entry->op);
  if (!QueueOf(*entry, hObj)) return RIMQRC_HOBJ_ERROR;
  if (!IsRecord(md, RIMQ_MD_STRUC_ID)) return RIMQRC_MD_ERROR;
  if (!IsRecord(pmo, RIMQ_PMO_STRUC_ID)) return RIMQRC_OPTIONS_ERROR;
  return PutOn(*entry, hObj, md, (pmo->nOptions & RIMQPMO_NEW_MSG_ID) != 0, length, buffer);
}

int PutEx(int hConn, const RIMQPGO* pgo, RIMQMD* md, int length, const void* buffer, int replySize,
          void* replyBuffer, int* replyLength) {
  auto entry = Connections().Find(hConn);
  if (!entry) return RIMQRC_HCONN_ERROR;
  if (!replyLength || replySize < 0 || (replySize > 0 && !replyBuffer)) return RIMQRC_BUFFER_ERROR;
  *replyLength = 0;
  if (replySize > 0) static_cast<char*>(replyBuffer)[0] = '\0';
  if (!IsRecord(pgo, RIMQ_PGO_STRUC_ID)) return RIMQRC_OPTIONS_ERROR;
  std::lock_guard<std::mutex> lock(entry->op);
  if (!IsRecord(md, RIMQ_MD_STRUC_ID)) return RIMQRC_MD_ERROR;
  return PutOn(*entry, pgo->hRequestQ, md, AllZero(md->abMsgId, sizeof md->abMsgId), length, buffer);
}

bool MatchOf(const RIMQMD& md, const RIMQGMO& gmo, MatchRequest* match) {
  if (!ToMatchMode(gmo.nMatchOptions, &match->mode)) return false;
  std::memcpy(match->msgId.data(), md.abMsgId, 24);
  std::memcpy(match->correlId.data(), md.abCorrelId, 24);
  std::memcpy(match->replyTag.data(), md.abReplyTag, 24);
  return true;
}

Wait WaitOf(const RIMQGMO& gmo) {
  Wait wait;
  wait.milliseconds = gmo.nWaitInterval < 0 ? -1 : gmo.nWaitInterval * 1000LL;
  return wait;
}

// lastOpened: the queue opened last on the connection instead of hObj (RIMQ_Get2).
int Get(int hConn, int hObj, bool lastOpened, RIMQMD* md, const RIMQGMO* gmo, int bufferLength, void* buffer,
        int* dataLength) {
  auto entry = Connections().Find(hConn);
  if (!entry) return RIMQRC_HCONN_ERROR;
  std::lock_guard<std::mutex> lock(entry->op);
  OpenedQueue* queue = QueueOf(*entry, lastOpened ? entry->lastOpened : hObj);
  if (!queue) return RIMQRC_HOBJ_ERROR;
  if (!IsRecord(md, RIMQ_MD_STRUC_ID)) return RIMQRC_MD_ERROR;
  MatchRequest match;
  if (!IsRecord(gmo, RIMQ_GMO_STRUC_ID) || !MatchOf(*md, *gmo, &match)) return RIMQRC_OPTIONS_ERROR;
  if (bufferLength < 0 || (bufferLength > 0 && !buffer) || !dataLength) return RIMQRC_BUFFER_ERROR;
  GetTarget target;
  target.buffer = static_cast<char*>(buffer);
  target.capacity = static_cast<std::size_t>(bufferLength);
  const int rc = entry->connection->Get(*queue, match, WaitOf(*gmo), target);
  if (rc == 0 || rc == RIMQRC_TRUNCATED_MSG_FAILED) {
    target.envelope.ToDescriptor(*md, target.length);
    *dataLength = static_cast<int>(std::min<std::size_t>(target.length, INT_MAX));
  }
  return rc;
}

}  // namespace
}  // namespace velt::rimq

namespace rq = velt::rimq;

extern "C" {

RIMQAPI_API void RIMQ_Connect(int nProtocol, const char* pszAddress, int nPort, const char* pszUser,
                              const char* pszPassword, const char* pszProxy, const char* pszSSL, int* phConn,
                              int* pnCompCode, int* pnReason) {
  rq::Report(pnCompCode, pnReason, [&] {
    return rq::Connect(nProtocol, pszAddress, nPort, pszUser, pszPassword, pszProxy, pszSSL, phConn);
  });
}

RIMQAPI_API void RIMQ_Open(int hConn, const RIMQOD* pObjDesc, int /*nOpenOptions*/, int* phObj, int* pnCompCode,
                           int* pnReason) {
  rq::Report(pnCompCode, pnReason, [&] { return rq::Open(hConn, pObjDesc, phObj); });
}

RIMQAPI_API void RIMQ_Disconn(int* phConn, int /*nOptions*/, int* pnCompCode, int* pnReason) {
  rq::Report(pnCompCode, pnReason, [&] { return rq::Disconnect(phConn); });
}

RIMQAPI_API void RIMQ_Put(int hConn, int hObj, RIMQMD* pMsgDesc, const RIMQPMO* pPutOpts, int nLength,
                          const void* pBuffer, int* pnCompCode, int* pnReason) {
  rq::Report(pnCompCode, pnReason, [&] { return rq::Put(hConn, hObj, pMsgDesc, pPutOpts, nLength, pBuffer); });
}

RIMQAPI_API void RIMQ_Put2(int hConn, int hObj, RIMQMD* pMsgDesc, const RIMQPMO* pPutOpts, int nLength,
                           const void* pBuffer, int* pnCompCode, int* pnReason) {
  rq::Report(pnCompCode, pnReason, [&] { return rq::Put(hConn, hObj, pMsgDesc, pPutOpts, nLength, pBuffer); });
}

RIMQAPI_API void RIMQ_PutEx(int hConn, const RIMQPGO* pPgo, RIMQMD* pMsgDesc, int nLength, const void* pBuffer,
                            RIMQMD* /*pReplyDesc*/, int nReplySize, void* pReplyBuffer, int* pnReplyLength,
                            int* pnCompCode, int* pnReason) {
  rq::Report(pnCompCode, pnReason, [&] {
    return rq::PutEx(hConn, pPgo, pMsgDesc, nLength, pBuffer, nReplySize, pReplyBuffer, pnReplyLength);
  });
}

RIMQAPI_API void RIMQ_Get(int hConn, int hObj, RIMQMD* pMsgDesc, const RIMQGMO* pGetOpts, int nBufferLength,
                          void* pBuffer, int* pnDataLength, int* pnCompCode, int* pnReason) {
  rq::Report(pnCompCode, pnReason, [&] {
    return rq::Get(hConn, hObj, false, pMsgDesc, pGetOpts, nBufferLength, pBuffer, pnDataLength);
  });
}

RIMQAPI_API void RIMQ_Get2(int hConn, RIMQMD* pMsgDesc, const RIMQGMO* pGetOpts, int nBufferLength, void* pBuffer,
                           int* pnDataLength, int* pnCompCode, int* pnReason) {
  rq::Report(pnCompCode, pnReason, [&] {
    return rq::Get(hConn, -1, true, pMsgDesc, pGetOpts, nBufferLength, pBuffer, pnDataLength);
  });
}

RIMQAPI_API int RIMQ_SetOption(int nOption, const void* pValue, int nLength) {
  if (nOption != RIMQOPT_NETWORK_TIMEOUT || nLength != 4) return RIMQRC_OPTIONS_ERROR;
  if (!pValue) return RIMQRC_BUFFER_ERROR;
  int seconds = 0;
  std::memcpy(&seconds, pValue, sizeof seconds);
  rq::SetNetworkTimeoutSeconds(seconds);
  return 0;
}

RIMQAPI_API int RIMQ_Interrupt(int hConn) {
  try {
    auto entry = rq::Connections().Find(hConn);
    if (!entry) return RIMQRC_HCONN_ERROR;
    entry->connection->Interrupt();
    return 0;
  } catch (...) {
    return RIMQRC_UNEXPECTED_ERROR;
  }
}

}  // extern "C"
