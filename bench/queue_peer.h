// The queue floor of the benchmarks: one rimqapi connection with a request and an answer queue
// open, acting as a client (a request, then its answer packets) or as a responder. The service
// benchmarks put their costs next to what this bare exchange costs on the same queue manager.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "rimq_record.h"
#include "rimqapi.h"
#include "testsupport/redis_server.h"

namespace velt::bench {

struct QueueTarget {
  int protocol = 1;
  std::string address = "inproc:bench";
  int port = 0;
};

// The Redis server of a benchmark run: RIMQ_BENCH_REDIS_PORT names a running one on 127.0.0.1;
// otherwise one is started on a free port for the life of the program.
inline const QueueTarget& RedisQueueTarget() {
  static std::unique_ptr<velt::testsupport::RedisServer> server;
  static QueueTarget target;
  if (target.port == 0) {
    if (const char* port = std::getenv("RIMQ_BENCH_REDIS_PORT")) {
      target.port = std::atoi(port);
    } else {
      server = std::make_unique<velt::testsupport::RedisServer>();
      if (!server->Start()) std::abort();
      target.port = server->port();
    }
    target.address = "127.0.0.1";
  }
  return target;
}

// What the responder sends back for each request: `packets` messages of `bytes` bytes each, or
// the request itself once when `bytes` is 0.
struct AnswerShape {
  int packets = 1;
  int bytes = 0;
};

class QueuePeer {
 public:
  QueuePeer(const QueueTarget& t, const std::string& requests, const std::string& answers) {
    int cc = 0, reason = 0;
    RIMQ_Connect(t.protocol, t.address.c_str(), t.port, "", "", "", "", &conn_, &cc, &reason);
    if (reason != 0) std::abort();
    requests_ = OpenQueue(requests);
    answers_ = OpenQueue(answers);
  }
  ~QueuePeer() {
    int cc = 0, reason = 0;
    RIMQ_Disconn(&conn_, 0, &cc, &reason);
  }
  QueuePeer(const QueuePeer&) = delete;
  QueuePeer& operator=(const QueuePeer&) = delete;

  // Client side: a request with a new id, then its answer packets matched by id and correlation
  // id; false on any failure or an answer of another size than the shape says.
  bool Call(const char* body, int length, AnswerShape shape = {}) {
    RIMQMD md = Record<RIMQMD>(RIMQ_MD_STRUC_ID);
    md.nExpiry = 120000;
    md.abCorrelId[0] = '0';
    RIMQPMO pmo = Record<RIMQPMO>(RIMQ_PMO_STRUC_ID);
    pmo.nOptions = RIMQPMO_NEW_MSG_ID;
    int cc = 0, reason = 0;
    RIMQ_Put(conn_, requests_, &md, &pmo, length, body, &cc, &reason);
    if (reason != 0) return false;
    RIMQGMO gmo = Record<RIMQGMO>(RIMQ_GMO_STRUC_ID);
    gmo.nWaitInterval = 30;
    gmo.nMatchOptions = RIMQMO_MATCH_MSG_AND_CORREL_ID;
    const int expected = shape.bytes > 0 ? shape.bytes : length;
    for (int k = 0; k < shape.packets; ++k) {
      int got = 0;
      RIMQ_Get(conn_, answers_, &md, &gmo, sizeof buffer_, buffer_, &got, &cc, &reason);
      if (reason != 0 || got != expected) return false;
    }
    return true;
  }
  // Responder side: answers each request with the same ids until "STOP" or an interrupt.
  void Serve(AnswerShape shape = {}) {
    RIMQGMO gmo = Record<RIMQGMO>(RIMQ_GMO_STRUC_ID);
    gmo.nWaitInterval = -1;
    RIMQPMO pmo = Record<RIMQPMO>(RIMQ_PMO_STRUC_ID);
    const std::string answer(static_cast<std::size_t>(std::max(shape.bytes, 0)), 'a');
    for (;;) {
      RIMQMD md = Record<RIMQMD>(RIMQ_MD_STRUC_ID);
      int got = 0, cc = 0, reason = 0;
      RIMQ_Get(conn_, requests_, &md, &gmo, sizeof buffer_, buffer_, &got, &cc, &reason);
      if (reason != 0 || (got == 4 && std::memcmp(buffer_, "STOP", 4) == 0)) return;
      if (shape.bytes == 0) {
        RIMQ_Put(conn_, answers_, &md, &pmo, got, buffer_, &cc, &reason);
        continue;
      }
      for (int k = 0; k < shape.packets && reason == 0; ++k)
        RIMQ_Put(conn_, answers_, &md, &pmo, shape.bytes, answer.data(), &cc, &reason);
    }
  }
  void Stop() {
    RIMQMD md = Record<RIMQMD>(RIMQ_MD_STRUC_ID);
    RIMQPMO pmo = Record<RIMQPMO>(RIMQ_PMO_STRUC_ID);
    int cc = 0, reason = 0;
    RIMQ_Put(conn_, requests_, &md, &pmo, 4, "STOP", &cc, &reason);
  }

 private:
  template <typename T>
  static T Record(const char* id) { return velt::rimqtest::Record<T>(id); }

  int OpenQueue(const std::string& name) {
    RIMQOD od = Record<RIMQOD>(RIMQ_OD_STRUC_ID);
    std::memcpy(od.szObjectName, name.data(), std::min<std::size_t>(name.size(), 32));
    int h = -1, cc = 0, reason = 0;
    RIMQ_Open(conn_, &od, RIMQOO_CLIENT, &h, &cc, &reason);
    if (reason != 0) std::abort();
    return h;
  }
  int conn_ = -1, requests_ = -1, answers_ = -1;
  char buffer_[32672];
};

}  // namespace velt::bench
