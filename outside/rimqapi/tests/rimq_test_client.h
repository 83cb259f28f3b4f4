// Test-side helpers over the C interface: records filled as the bus client fills them, and a
// small connection object whose calls return the reason code.
#pragma once

#include <string>
#include <string_view>

#include "rimqapi.h"

namespace velt::rimqtest {

struct Endpoint {
  int protocol = 1;
  std::string address = "inproc";
  int port = 0;
  std::string user;
  std::string password;
  std::string proxy;
  std::string ssl;
};

RIMQMD PutDescriptor();
RIMQMD GetDescriptor();
RIMQPMO PutOptions(int options);
RIMQGMO GetOptions(int waitSeconds, int matchMode);
RIMQOD ObjectDescriptor(std::string_view queue);
RIMQPGO PutGetOptions(int requestQueue, int replyQueue);

// 24-byte id field from text, zero-padded.
void SetId(char* field, std::string_view text);
std::string IdText(const char* field);   // up to the first zero
// A queue name no other test uses in this process or a concurrent one.
std::string UniqueQueueName(std::string_view role);

struct Received {
  int reason = 0;
  std::string body;
  RIMQMD md{};
  int length = 0;
};

class Client {
 public:
  Client() = default;
  ~Client();
  Client(const Client&) = delete;
  Client& operator=(const Client&) = delete;

  int Connect(const Endpoint& endpoint);
  int Disconnect();
  int Open(std::string_view queue, int* hObj);
  // Puts with the given descriptor (ids, tag, expiry) and options; md receives the id put.
  int Put(int hObj, RIMQMD& md, std::string_view body, int options = 0);
  int Put(int hObj, std::string_view body, int options = RIMQPMO_NEW_MSG_ID);
  Received Get(int hObj, int waitSeconds, int matchMode = RIMQMO_NONE, const RIMQMD* match = nullptr,
               int bufferSize = 65536);
  Received Get2(int waitSeconds, int matchMode = RIMQMO_NONE, const RIMQMD* match = nullptr);
  int Interrupt() const { return RIMQ_Interrupt(hConn_); }
  int handle() const { return hConn_; }

 private:
  int hConn_ = -1;
};

}  // namespace velt::rimqtest
