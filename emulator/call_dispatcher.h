// What the emulator does with one joined request, free of I/O: control calls (sign-on, sign-off,
// commit, roll back, cancel, close cursor), the transaction modes of service calls, and the
// dispatch to a business program. Owns the state all workers share: sessions, transactions,
// the key-value store and the program registry. Thread-safe.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "answer.h"
#include "emulator_stats.h"
#include "info_center.h"
#include "kv_store.h"
#include "program_registry.h"
#include "request_joiner.h"
#include "session_table.h"
#include "stop_signal.h"
#include "transaction_table.h"
#include "wire/call_types.h"

namespace veltemu {

struct CallOutcome {
  velt::wire::PacketHeader header;   // the answer's header before cutting (status, ids, numbers)
  std::vector<std::string> units;    // the answer text's units (answer.h)
  AnswerFault fault = AnswerFault::kNone;
  std::string program;               // what ran, for the call log
  std::vector<Delivery> deliveries;  // publications to put on subscribers' queues after the answer
};

class CallDispatcher {
 public:
  CallDispatcher(int serverNumber, std::string transactionPrefix, StatsCounters& stats, const StopSignal& stop);

  ProgramRegistry& registry() { return registry_; }
  SessionTable& sessions() { return sessions_; }
  TransactionTable& transactions() { return transactions_; }
  KvStore& kv() { return kv_; }

  // `replyQueue`: the request's reply queue, which the information centre keeps for subscribers.
  CallOutcome Handle(const JoinedRequest& joined, Clock::time_point now, const std::string& replyQueue = {});

 private:
  CallOutcome Start(const velt::wire::PacketHeader& request) const;
  void Fail(CallOutcome& out, int status, const std::string& message) const;
  void SignOn(const velt::wire::PacketHeader& request, CallOutcome& out);
  void SignOff(const velt::wire::PacketHeader& request, CallOutcome& out);
  void EndTransaction(const velt::wire::PacketHeader& request, CallOutcome& out);
  void ServiceCall(const JoinedRequest& joined, Clock::time_point now, const std::string& replyQueue, CallOutcome& out);
  void RunProgram(const Request& request, const std::string& replyQueue, CallOutcome& out);

  int serverNumber_;
  StatsCounters& stats_;
  std::atomic<Clock::rep> lastExpiry_{0};   // idle transactions are looked for once a second
  ProgramRegistry registry_;
  SessionTable sessions_;
  TransactionTable transactions_;
  KvStore kv_;
  InfoCenter infoCenter_;
};

}  // namespace veltemu
