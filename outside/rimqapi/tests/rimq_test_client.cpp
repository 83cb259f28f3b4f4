// Records and calls of the interface, as the tests use them: the records are the ones the
// client and the emulator hand over (wire/queue_records.h).
#include "rimq_test_client.h"
#include "rimq_record.h"
#include "wire/queue_records.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>
#include <vector>

namespace velt::rimqtest {

RIMQMD PutDescriptor() {
  auto md = Record<RIMQMD>(RIMQ_MD_STRUC_ID);
  md.cMsgType = 1;
  md.nExpiry = 120000;
  md.nFormat = 5;
  return md;
}

RIMQMD GetDescriptor() { return wire::GetDescriptor(); }

RIMQPMO PutOptions(int options) { return wire::PutOptions(options == RIMQPMO_NEW_MSG_ID, 120); }

RIMQGMO GetOptions(int waitSeconds, int matchMode) { return wire::GetOptions(waitSeconds, matchMode); }

RIMQOD ObjectDescriptor(std::string_view queue) { return wire::QueueDescriptor(std::string(queue).c_str()); }

RIMQPGO PutGetOptions(int requestQueue, int replyQueue) {
  return wire::PutGetOptions(requestQueue, replyQueue, 120);
}

void SetId(char* field, std::string_view text) {
  std::memset(field, 0, 24);
  if (!text.empty()) std::memcpy(field, text.data(), std::min<std::size_t>(text.size(), 24));
}

std::string IdText(const char* field) { return std::string(field, strnlen(field, 24)); }

std::string UniqueQueueName(std::string_view role) {
  static std::atomic<int> counter{0};
  return "t" + std::to_string(getpid()) + "." + std::to_string(++counter) + "." + std::string(role.substr(0, 8));
}

Client::~Client() { Disconnect(); }

int Client::Connect(const Endpoint& e) {
  int cc = -1, reason = -1;
  RIMQ_Connect(e.protocol, e.address.c_str(), e.port, e.user.c_str(), e.password.c_str(), e.proxy.c_str(),
               e.ssl.c_str(), &hConn_, &cc, &reason);
  return reason;
}

int Client::Disconnect() {
  if (hConn_ < 0) return 0;
  int cc = -1, reason = -1;
  RIMQ_Disconn(&hConn_, 0, &cc, &reason);
  return reason;
}

int Client::Open(std::string_view queue, int* hObj) {
  const RIMQOD od = ObjectDescriptor(queue);
  int cc = -1, reason = -1;
  RIMQ_Open(hConn_, &od, RIMQOO_CLIENT, hObj, &cc, &reason);
  return reason;
}

int Client::Put(int hObj, RIMQMD& md, std::string_view body, int options) {
  const RIMQPMO pmo = PutOptions(options);
  int cc = -1, reason = -1;
  RIMQ_Put(hConn_, hObj, &md, &pmo, static_cast<int>(body.size()), body.data(), &cc, &reason);
  return reason;
}

int Client::Put(int hObj, std::string_view body, int options) {
  RIMQMD md = PutDescriptor();
  return Put(hObj, md, body, options);
}

Received Client::Get(int hObj, int waitSeconds, int matchMode, const RIMQMD* match, int bufferSize) {
  Received r;
  r.md = match ? *match : GetDescriptor();
  const RIMQGMO gmo = GetOptions(waitSeconds, matchMode);
  std::vector<char> buffer(static_cast<std::size_t>(std::max(bufferSize, 1)));
  int cc = -1;
  RIMQ_Get(hConn_, hObj, &r.md, &gmo, bufferSize, buffer.data(), &r.length, &cc, &r.reason);
  if (r.reason == 0 || r.reason == RIMQRC_TRUNCATED_MSG_FAILED) {
    r.body.assign(buffer.data(), static_cast<std::size_t>(std::min(r.length, bufferSize)));
  }
  return r;
}

Received Client::Get2(int waitSeconds, int matchMode, const RIMQMD* match) {
  Received r;
  r.md = match ? *match : GetDescriptor();
  const RIMQGMO gmo = GetOptions(waitSeconds, matchMode);
  std::vector<char> buffer(32672);
  int cc = -1;
  RIMQ_Get2(hConn_, &r.md, &gmo, static_cast<int>(buffer.size()), buffer.data(), &r.length, &cc, &r.reason);
  if (r.reason == 0) r.body.assign(buffer.data(), static_cast<std::size_t>(r.length));
  return r;
}

}  // namespace velt::rimqtest
