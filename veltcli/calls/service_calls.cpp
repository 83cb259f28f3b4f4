// Service calls, transactions, asynchronous replies, continuation, sign-on/off and connecting.
#include "calls/service_calls.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "codec/cursor_codes.h"
#include "codec/request_writer.h"
#include "core/frame_state.h"
#include "platform/local_time.h"
#include "support/ascii_text.h"

namespace velt {
namespace {

constexpr const char* kDefaultVersion = "V1.0";

// Continuation for the result-set cursor: the cursor pulls further answer parts through here.
class QueueAnswerSource final : public IAnswerSource {
 public:
  // The answer source is only ever set on a session (SessionExchange), so the cast is exact.
  int ContinueReading(PacketSession& session) override {
    return ContinueAnswer(static_cast<CLUNQCliBase&>(session));
  }
};
QueueAnswerSource g_answerSource;

template <std::size_t N>
void Copy(char (&to)[N], const char* from) noexcept { CopyBounded(to, N, from != nullptr ? from : ""); }

void ForgetAnswer(CLUNQCliBase& s) noexcept {
  s.savedMessageId[0] = '\0';
  s.savedCorrelation[0] = '\0';
}

// A call block with the session's identity; the caller sets what differs per call.
tagCallBlock BlockFor(const CLUNQCliBase& s, int callType, int callMode, int transMode) noexcept {
  tagCallBlock b;
  b.nCallType = callType;
  b.nCallMode = callMode;
  b.nTransMode = transMode;
  Copy(b.szServerName, s.serverName);
  Copy(b.szUser, s.user);
  Copy(b.szPassword, s.password);
  b.nTimeout = s.timeout;
  b.nServerNumber = s.serverNumber;
  Copy(b.szTransId, s.transactionId);
  b.nSessionNumber = s.sessionNumber;
  Copy(b.szServicePrefix, s.servicePrefix);
  return b;
}

// One exchange, its wall time added to the communication time, the answer text (or nothing)
// left in the packet buffer.
int SessionExchange(CLUNQCliBase& s, tagCallBlock& b) noexcept {
  s.answerSource = &g_answerSource;
  const auto start = std::chrono::steady_clock::now();
  int rc = s.transport.Exchange(b);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  s.commTime += static_cast<int>(ms.count());
  const bool answered = b.pAnswer != nullptr && b.nAnswerLen >= 0;
  if (s.StoreAnswerText(answered ? b.pAnswer : "", answered ? static_cast<std::size_t>(b.nAnswerLen) : 0) != 0)
    rc = kCallAnswerNoMemory;
  return rc;
}

// Finishes a request table still being built; doing so also empties the service prefix unless
// the caller keeps it.
void FinishTable(CLUNQCliBase& s, bool keepPrefix) noexcept {
  const bool building = s.rs.nCurRow > 0;
  CompleteRequest(s);
  if (building && !keepPrefix) s.servicePrefix[0] = '\0';
}

int RunCall(CLUNQCliBase& s, tagCallBlock& b, tagAsyncCall* async) noexcept {
  b.pRequest = s.packet.Text();
  b.nRequestLen = s.CommLen();
  if (async != nullptr && async->nExpiry != 0) b.nTimeout = async->nExpiry < 0 ? -1 : async->nExpiry;
  const int rc = SessionExchange(s, b);
  if (rc != 0) {
    s.answerFlags = kAnswerComplete;   // nothing more to read
  } else if (async == nullptr) {
    s.answerFlags = b.nFlags;
    Copy(s.savedMessageId, b.szMsgId);
    Copy(s.savedCorrelation, b.szCorrId);
    Copy(s.transactionId, b.szTransId);
    s.serverNumber = b.nServerNumber;
  } else {
    std::memset(async->szId, 0, sizeof async->szId);
    std::memcpy(async->szId, s.transport.CurrentEntryName(), strnlen(s.transport.CurrentEntryName(), sizeof async->szId - 1));
    Copy(async->szMsgId, b.szMsgId);
    Copy(async->szCorrId, b.szCorrId);
    async->tTimeStamp = static_cast<long long>(std::time(nullptr));
  }
  return rc;
}

}  // namespace

int AddServiceHeader(CLUNQCliBase& s, const char* serviceId, const char* version, char (&program)[33]) noexcept {
  if (serviceId == nullptr) return kCallNoServiceId;
  const char* dot = std::strrchr(serviceId, '.');
  const char* name = dot != nullptr ? dot + 1 : serviceId;
  if (dot != nullptr && dot - serviceId >= 2) {
    const auto prefixLength = static_cast<std::size_t>(dot - serviceId);
    if (prefixLength < sizeof s.servicePrefix) {   // a longer prefix is not stored; the call goes on
      std::memcpy(s.servicePrefix, serviceId, prefixLength);
      s.servicePrefix[prefixLength] = '\0';
    }
  }
  Copy(program, name);
  SetValue(s, "_VeltServiceID_", serviceId);
  SetValue(s, "_VeltProgramName_", ProgramName().c_str());
  SetValue(s, "_VeltServiceIDVersion_", version != nullptr ? version : kDefaultVersion);
  const platform::LocalTime now = platform::LocalNow();
  char callTime[64];
  std::snprintf(callTime, sizeof callTime, "%ld-%ld-%ld-%ld", static_cast<long>(now.fields.tm_hour),
                static_cast<long>(now.fields.tm_min), static_cast<long>(now.fields.tm_sec),
                static_cast<long>(now.milliseconds));
  SetValue(s, "_VeltClientCallTime_", callTime);
  return 0;
}

int CallStandAlone(CLUNQCliBase& s, const char* program, tagAsyncCall* async, bool keepPrefix) noexcept {
  s.transactionOpen = 0;
  s.serverNumber = 0;
  s.answerFlags = 0;
  s.transactionId[0] = '\0';
  ForgetAnswer(s);
  FinishTable(s, keepPrefix);
  tagCallBlock b = BlockFor(s, wire::kCallService, async != nullptr ? kCallSendOnly : kCallSendAndReceive,
                            wire::kModeStandAlone);
  Copy(b.szProgram, program);
  b.nServerNumber = 0;
  b.szTransId[0] = '\0';
  return RunCall(s, b, async);
}

int CallInTransaction(CLUNQCliBase& s, const char* program, tagAsyncCall* async) noexcept {
  s.answerFlags = 0;
  ForgetAnswer(s);
  if (s.transactionOpen == 0) {
    s.transactionId[0] = '\0';
    s.serverNumber = 0;
    s.transactionOpen = 1;
  }
  FinishTable(s, false);
  tagCallBlock b = BlockFor(s, wire::kCallService, async != nullptr ? kCallSendOnly : kCallSendAndReceive,
                            s.transactionId[0] == '\0' ? wire::kModeOpen : wire::kModeContinue);
  Copy(b.szProgram, program);
  return RunCall(s, b, async);
}

int CallService(CLUNQCliBase& s, const char* serviceId, const char* version, tagAsyncCall* async,
                bool inTransaction) noexcept {
  char program[33];
  const int rc = AddServiceHeader(s, serviceId, version, program);
  if (rc != 0) return rc;
  return inTransaction ? CallInTransaction(s, program, async) : CallStandAlone(s, program, async);
}

int EndTransaction(CLUNQCliBase& s, int callType) noexcept {
  if ((callType == wire::kCallCancel || callType == wire::kCallCloseCursor) && (s.AnswerComplete() || s.serverSession == 0))
    return 0;
  if (s.transactionId[0] == '\0') return 0;
  s.StoreAnswerText("", 0);
  s.answerFlags = 0;
  ForgetAnswer(s);
  FinishTable(s, false);
  tagCallBlock b = BlockFor(s, callType, kCallSendAndReceive, wire::kModeEnd);
  const int rc = SessionExchange(s, b);
  if (rc == 0) {
    s.transactionId[0] = '\0';
    s.serverNumber = 0;
  }
  return rc;
}

int GetReply(CLUNQCliBase& s, tagAsyncCall& call) noexcept {
  if (!EqualNoCase(call.szId, s.transport.CurrentEntryName(), sizeof call.szId)) return kReplyOtherServer;
  if ((call.nFlags & kAnswerComplete) != 0) return kReplyComplete;
  const int keptTimeout = s.timeout;
  const int keptFlags = s.answerFlags;
  char keptId[27];
  char keptCorrelation[27];
  Copy(keptId, s.savedMessageId);
  Copy(keptCorrelation, s.savedCorrelation);
  s.timeout = call.nExpiry;
  s.answerFlags = 0;
  CopyBounded(s.savedMessageId, 27, call.szMsgId);
  CopyBounded(s.savedCorrelation, 27, call.szCorrId);
  const int rc = ContinueAnswer(s);
  call.nFlags |= s.answerFlags;
  s.timeout = keptTimeout;
  Copy(call.szMsgId, s.savedMessageId);
  Copy(call.szCorrId, s.savedCorrelation);
  if (rc != 0) {
    s.answerFlags = keptFlags;
    Copy(s.savedMessageId, keptId);
    Copy(s.savedCorrelation, keptCorrelation);
  }
  return rc;
}

int ContinueAnswer(CLUNQCliBase& s) noexcept {
  if (s.AnswerComplete()) return kContinueAnswerComplete;
  // A plug-in carries no message ids, yet its answers may come in parts too: it knows where it is.
  const bool plugin = s.transport.servers.Mode() == TransportMode::kPlugin;
  if (s.savedMessageId[0] == '\0' && s.publicationStarted.load() == 0 && !plugin) return kContinueNothingToRead;
  s.answerFlags = 0;
  tagCallBlock b = BlockFor(s, wire::kCallSignOn, kCallReceiveOnly, wire::kModeStandAlone);
  Copy(b.szMsgId, s.savedMessageId);
  Copy(b.szCorrId, s.savedCorrelation);
  const int rc = SessionExchange(s, b);
  if (rc == 0) {
    Copy(s.transactionId, b.szTransId);
    s.serverNumber = b.nServerNumber;
    s.answerFlags = b.nFlags;
  }
  Copy(s.savedMessageId, b.szMsgId);
  Copy(s.savedCorrelation, b.szCorrId);
  return rc;
}

int SignOn(CLUNQCliBase& s) noexcept {
  tagCallBlock b = BlockFor(s, wire::kCallSignOn, kCallSendAndReceive, wire::kModeStandAlone);
  b.nServerNumber = 0;
  b.szTransId[0] = '\0';
  b.nSessionNumber = 0;
  b.szServicePrefix[0] = '\0';
  const int rc = SessionExchange(s, b);
  if (rc == 0) s.sessionNumber = b.nSessionNumber;
  return rc;
}

int SignOff(CLUNQCliBase& s) noexcept {
  tagCallBlock b = BlockFor(s, wire::kCallSignOff, kCallSendAndReceive, wire::kModeStandAlone);
  const int rc = SessionExchange(s, b);
  s.sessionNumber = 0;
  return rc;
}

int ConnectSession(CLUNQCliBase& s, const char* server, const char* user, const char* password) noexcept {
  s.sessionNumber = 0;
  s.serverNumber = 0;
  s.answerFlags = 0;
  s.transactionId[0] = '\0';
  ForgetAnswer(s);
  Copy(s.serverName, server);
  Copy(s.user, user);
  Copy(s.password, password);
  int rc = s.transport.Connect(s.serverName, s.user, s.password);
  if (rc == 0 && s.serverSession != 0) rc = SignOn(s);
  if (rc != 0) s.transport.Disconnect();
  return rc;
}

int DisconnectSession(CLUNQCliBase& s, bool signOff, bool honourPool) noexcept {
  if (honourPool && Pool().PoolingOn()) return kDisconnectPooled;
  s.serverNumber = 0;
  s.answerFlags = 0;
  s.transactionId[0] = '\0';
  ForgetAnswer(s);
  const int rc = signOff && s.serverSession != 0 ? SignOff(s) : 0;
  s.transport.Disconnect();
  return rc;
}

}  // namespace velt
