// Service calls of a session: the service header, synchronous and asynchronous calls inside a
// transaction or stand-alone, transaction ends, collecting asynchronous answers, continuing an
// answer that arrived in parts, sign-on and sign-off, connecting and disconnecting the session.
// Each call fills a tagCallBlock and runs one exchange of the session's transport.
#pragma once

#include "core/session.h"
#include "transport/transport_codes.h"
#include "veltcli.h"
#include "wire/call_types.h"

namespace velt {

// Appends "_VeltServiceID_", "_VeltProgramName_", "_VeltServiceIDVersion_", "_VeltClientCallTime_"
// and stores the service prefix (the text before the last dot, from the third character on).
// `program` receives the program name (first 32 characters). kCallNoServiceId for a null id.
int AddServiceHeader(CLUNQCliBase& session, const char* serviceId, const char* version, char (&program)[33]) noexcept;

// The stand-alone call (transaction mode 0), asynchronous when `async` is given. `keepPrefix`:
// finishing a request table leaves the service prefix (the information-centre variant).
int CallStandAlone(CLUNQCliBase& session, const char* program, tagAsyncCall* async, bool keepPrefix = false) noexcept;
// The call inside the transaction (mode 1 opens one, mode 2 continues it).
int CallInTransaction(CLUNQCliBase& session, const char* program, tagAsyncCall* async) noexcept;

// Service header, then the call: the exported CallProgram family.
int CallService(CLUNQCliBase& session, const char* serviceId, const char* version, tagAsyncCall* async,
                bool inTransaction) noexcept;

// Commit (9), roll back (10), cancel (11), close cursor (4) or the caller's type. Cancel and close
// cursor send only while the answer is incomplete and the server-session flag is set; nothing is
// sent without a transaction id. 0 when nothing was sent.
int EndTransaction(CLUNQCliBase& session, int callType) noexcept;

// VELTCLI_GetReply: kReplyOtherServer, kReplyComplete, or the exchange's result.
int GetReply(CLUNQCliBase& session, tagAsyncCall& call) noexcept;

// The next answer part: kContinueAnswerComplete, kContinueNothingToRead, or the exchange's result.
int ContinueAnswer(CLUNQCliBase& session) noexcept;

int SignOn(CLUNQCliBase& session) noexcept;
int SignOff(CLUNQCliBase& session) noexcept;

// Connect (without touching option 14) and sign on when the server-session flag is set.
int ConnectSession(CLUNQCliBase& session, const char* server, const char* user, const char* password) noexcept;
// DisConnect (signOff) / DisConnectForce; `honourPool`: kDisconnectPooled and nothing done while
// pooling is on.
int DisconnectSession(CLUNQCliBase& session, bool signOff, bool honourPool) noexcept;

}  // namespace velt
