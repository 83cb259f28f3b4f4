// One worker's rimqapi connection: the request queue opened on it, reply queues opened on demand
// (a bounded cache: past it the connection is rebuilt, since rimqapi never closes a queue
// handle), and a shutdown that reaches a get blocked in another thread.
#pragma once

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "rimqapi.h"

namespace veltemu {

struct QueueEndpoint {
  int protocol = 1;
  std::string address;
  int port = 0;
  std::string user, password;
};

class QueueLink {
 public:
  QueueLink(QueueEndpoint endpoint, std::string requestQueue);
  ~QueueLink();
  QueueLink(const QueueLink&) = delete;
  QueueLink& operator=(const QueueLink&) = delete;

  // Connects and opens the request queue: 0 or the reason. After Shutdown: 2549.
  int Connect();
  void Disconnect();
  bool connected() const;
  // From any thread: ends a blocked get (2549) and refuses further connects.
  void Shutdown();

  // A get on the request queue; `md` carries the match values in and the message's out.
  int Get(RIMQMD& md, int matchMode, int waitSeconds, std::vector<char>& buffer, int& length);
  // A put with put options 0 (the descriptor's ids are kept) on the request queue or a named queue.
  int PutRequestQueue(RIMQMD& md, const char* data, std::size_t length);
  int Put(const std::string& queue, RIMQMD& md, const char* data, std::size_t length);

 private:
  int Open(const std::string& queue, int& hObj);

  QueueEndpoint endpoint_;
  std::string requestQueue_;
  mutable std::mutex mutex_;   // guards hConn_ against Shutdown from another thread
  int hConn_ = -1;
  int hRequest_ = -1;
  bool shutdown_ = false;
  std::unordered_map<std::string, int> replyQueues_;
};

// Fresh records as rimqapi expects them: zero-filled, with their id and version.
RIMQMD NewDescriptor();
// True for the reasons after which the connection must be rebuilt.
bool ConnectionBroken(int reason);

}  // namespace veltemu
