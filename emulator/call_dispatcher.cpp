// Control calls, transaction modes and program dispatch.
#include "call_dispatcher.h"

#include <exception>
#include <new>

#include "builtin_programs.h"
#include "status_codes.h"

namespace veltemu {

CallDispatcher::CallDispatcher(int serverNumber, std::string transactionPrefix, StatsCounters& stats,
                               const StopSignal& stop)
    : serverNumber_(serverNumber), stats_(stats), transactions_(std::move(transactionPrefix)) {
  transactions_.SetEndListener([this](const std::string& id, bool committed) {
    if (committed) kv_.Commit(id);
    else kv_.Discard(id);
  });
  RegisterBuiltins(registry_, kv_, stop);
}

CallOutcome CallDispatcher::Start(const velt::wire::PacketHeader& request) const {
  CallOutcome out;
  velt::wire::PacketHeader& h = out.header;
  h.version = 1;
  h.callType = request.callType;
  h.transactionMode = request.transactionMode;
  h.sessionNumber = request.sessionNumber;
  h.serverNumber = serverNumber_;
  velt::wire::SetField(h.servicePrefix, request.servicePrefix);
  return out;
}

void CallDispatcher::Fail(CallOutcome& out, int status, const std::string& message) const {
  Answer a;
  a.SetError(status, message);
  out.units = a.TakeUnits();
  out.header.status = status;
  out.fault = AnswerFault::kNone;
}

CallOutcome CallDispatcher::Handle(const JoinedRequest& joined, Clock::time_point now, const std::string& replyQueue) {
  const velt::wire::PacketHeader& h = joined.header;
  CallOutcome out = Start(h);
  stats_.requests++;
  stats_.callsByType[static_cast<std::size_t>(h.callType) & 15]++;
  Clock::rep last = lastExpiry_.load();
  const Clock::rep tick = now.time_since_epoch().count();
  const Clock::rep second = std::chrono::duration_cast<Clock::duration>(std::chrono::seconds(1)).count();
  if (tick - last > second && lastExpiry_.compare_exchange_strong(last, tick))
    transactions_.ExpireIdle(now);
  if (joined.damage != 0) {
    stats_.damagedRequests++;
    Fail(out, joined.damage, StatusText(joined.damage));
  } else {
    switch (h.callType) {
      case velt::wire::kCallSignOn:
        if (h.program[0] == '\0') SignOn(h, out);
        else Fail(out, kStatusBadCall, "call type 0 carries no program");
        break;
      case velt::wire::kCallSignOff: SignOff(h, out); break;
      case velt::wire::kCallService: ServiceCall(joined, now, replyQueue, out); break;
      case velt::wire::kCallCloseCursor:
      case velt::wire::kCallCommit:
      case velt::wire::kCallRollBack:
      case velt::wire::kCallCancel: EndTransaction(h, out); break;
      default: Fail(out, kStatusBadCall, "unknown call type " + std::to_string(h.callType)); break;
    }
  }
  if (out.header.status != 0) stats_.errorAnswers++;
  return out;
}

void CallDispatcher::SignOn(const velt::wire::PacketHeader&, CallOutcome& out) {
  out.program = "(sign-on)";
  const int session = sessions_.SignOn();
  if (session == 0) {
    Fail(out, kStatusTooManySessions, StatusText(kStatusTooManySessions));
    return;
  }
  stats_.signOns++;
  out.header.sessionNumber = session;
}

void CallDispatcher::SignOff(const velt::wire::PacketHeader& request, CallOutcome& out) {
  out.program = "(sign-off)";
  // Signing off a session that is not known here is harmless: nothing is left to end.
  if (sessions_.SignOff(request.sessionNumber)) stats_.signOffs++;
  if (request.sessionNumber > 0) transactions_.EndSession(request.sessionNumber);
}

void CallDispatcher::EndTransaction(const velt::wire::PacketHeader& request, CallOutcome& out) {
  const bool commit = request.callType == velt::wire::kCallCommit;
  out.program = commit ? "(commit)" : request.callType == velt::wire::kCallRollBack ? "(roll back)"
                : request.callType == velt::wire::kCallCancel ? "(cancel)" : "(close cursor)";
  if (!transactions_.End(request.transactionId, commit))
    Fail(out, kStatusUnknownTransaction, std::string("unknown transaction '") + request.transactionId + "'");
}

void CallDispatcher::ServiceCall(const JoinedRequest& joined, Clock::time_point now, const std::string& replyQueue,
                                 CallOutcome& out) {
  velt::wire::PacketHeader h = joined.header;
  const int mode = h.transactionMode & 7;
  std::string transaction;
  if (mode == velt::wire::kModeOpen) {
    transaction = transactions_.Open(h.sessionNumber, now);
    if (transaction.empty()) return Fail(out, kStatusTooManyTransactions, StatusText(kStatusTooManyTransactions));
  } else if (mode == velt::wire::kModeContinue) {
    transaction = h.transactionId;
    if (!transactions_.Touch(transaction, now))
      return Fail(out, kStatusUnknownTransaction, "unknown transaction '" + transaction + "'");
  } else if (mode != velt::wire::kModeStandAlone) {
    return Fail(out, kStatusBadCall, "service call in transaction mode " + std::to_string(mode));
  }
  velt::wire::SetField(h.transactionId, transaction.c_str());
  const Request request = Request::Parse(h, joined.text);
  RunProgram(request, replyQueue, out);

  if (!transaction.empty() && !transactions_.Touch(transaction, now)) {
    // Ended by another call while this one ran: whatever it staged must not survive.
    kv_.Discard(transaction);
    return Fail(out, kStatusUnknownTransaction, "transaction '" + transaction + "' ended during the call");
  }
  if (mode == velt::wire::kModeOpen && out.header.status != 0) {
    // The client keeps no transaction id from a failed call, so nobody could end this one.
    transactions_.End(transaction, false);
    transaction.clear();
  }
  velt::wire::SetField(out.header.transactionId, transaction.c_str());
}

void CallDispatcher::RunProgram(const Request& request, const std::string& replyQueue, CallOutcome& out) {
  Program program = registry_.Find(request.serviceId(), request.program(), &out.program);
  // A registered program takes precedence, so tests can script the information centre's answers.
  if (!program && InfoCenter::IsService(request.program())) {
    out.program = request.program();
    program = [this, &replyQueue, &out](const Request& r, Answer& a) { infoCenter_.Serve(r, replyQueue, a, out.deliveries); };
  }
  if (!program) {
    const std::string name = request.serviceId().empty() ? request.program() : request.serviceId();
    out.program = name;
    return Fail(out, kStatusUnknownService, "unknown service '" + name + "'");
  }
  Answer answer;
  try {
    program(request, answer);
  } catch (const std::bad_alloc&) {
    return Fail(out, kStatusProgramFailed, "program '" + out.program + "' ran out of memory");
  } catch (const std::exception& e) {
    return Fail(out, kStatusProgramFailed, "program '" + out.program + "' failed: " + e.what());
  } catch (...) {
    return Fail(out, kStatusProgramFailed, "program '" + out.program + "' failed");
  }
  if (answer.overflowed()) return Fail(out, kStatusAnswerTooLarge, StatusText(kStatusAnswerTooLarge));
  out.header.status = answer.status();
  out.fault = answer.fault();
  out.units = answer.TakeUnits();
}

}  // namespace veltemu
