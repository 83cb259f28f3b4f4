// The queue loop of one worker: takes request packets ("next message"), collects the rest of a
// request by message id and correlation id, hands the joined request to the dispatcher and puts
// the answer packets on the reply queue. Continuation packets of requests collected elsewhere
// are put back unchanged. A broken connection is rebuilt with a back-off, and Shutdown ends a
// blocked get at once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "call_dispatcher.h"
#include "call_log.h"
#include "emulator.h"
#include "queue_link.h"
#include "request_joiner.h"
#include "stray_table.h"

namespace veltemu {

struct WorkerShared {
  CallDispatcher& dispatcher;
  StrayTable& strays;
  StatsCounters& stats;
  CallLog& log;
  const StopSignal& stop;
};

class QueueWorker {
 public:
  QueueWorker(const EmulatorConfig& config, WorkerShared shared);

  int Connect() { return link_.Connect(); }
  void Run();
  void Shutdown() { link_.Shutdown(); }

 private:
  bool Reconnect();
  void HandlePacket(const RIMQMD& md, int length);
  bool Collect(const RIMQMD& first, JoinResult& result);
  void PutBack(RIMQMD md, std::string_view packet);
  void Serve(const RIMQMD& origin, const JoinedRequest& request);
  // expirySeconds 0: the configured answer expiry.
  bool PutAnswer(const RIMQMD& origin, const std::string& queue, const std::vector<std::string>& packets,
                 int expirySeconds = 0);
  void Deliver(CallOutcome& outcome);

  const EmulatorConfig& config_;
  WorkerShared shared_;
  QueueLink link_;
  RequestJoiner joiner_;
  std::vector<char> buffer_;
};

}  // namespace veltemu
