// The worker's queue connection.
#include "queue_link.h"

#include <algorithm>
#include <cstring>

#include "wire/queue_records.h"

namespace veltemu {
namespace {

constexpr std::size_t kMaxReplyQueues = 1024;

}  // namespace

RIMQMD NewDescriptor() { return velt::wire::QueueRecord<RIMQMD>(RIMQ_MD_STRUC_ID); }

bool ConnectionBroken(int reason) {
  return reason == RIMQRC_CONNECTION_LOST || reason == RIMQRC_QMGR_NOT_REACHABLE || reason == RIMQRC_HCONN_ERROR;
}

QueueLink::QueueLink(QueueEndpoint endpoint, std::string requestQueue)
    : endpoint_(std::move(endpoint)), requestQueue_(std::move(requestQueue)) {}

QueueLink::~QueueLink() { Disconnect(); }

int QueueLink::Connect() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (shutdown_) return RIMQRC_INTERRUPTED;
  if (hConn_ >= 0) return 0;
  int cc = 0, reason = 0, h = -1;
  RIMQ_Connect(endpoint_.protocol, endpoint_.address.c_str(), endpoint_.port, endpoint_.user.c_str(),
               endpoint_.password.c_str(), "", "", &h, &cc, &reason);
  if (cc != RIMQCC_OK) return reason != 0 ? reason : RIMQRC_UNEXPECTED_ERROR;
  hConn_ = h;
  const int opened = Open(requestQueue_, hRequest_);
  if (opened != 0) {
    RIMQ_Disconn(&hConn_, 0, &cc, &reason);
    hConn_ = -1;
  }
  return opened;
}

void QueueLink::Disconnect() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (hConn_ >= 0) {
    int cc = 0, reason = 0;
    RIMQ_Disconn(&hConn_, 0, &cc, &reason);
  }
  hConn_ = -1;
  hRequest_ = -1;
  replyQueues_.clear();
}

bool QueueLink::connected() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return hConn_ >= 0;
}

void QueueLink::Shutdown() {
  std::lock_guard<std::mutex> lock(mutex_);
  shutdown_ = true;
  if (hConn_ >= 0) RIMQ_Interrupt(hConn_);
}

int QueueLink::Open(const std::string& queue, int& hObj) {
  const RIMQOD od = velt::wire::QueueDescriptor(queue.c_str());
  int cc = 0, reason = 0;
  RIMQ_Open(hConn_, &od, velt::wire::kOpenOptions, &hObj, &cc, &reason);
  if (cc != RIMQCC_OK) return reason != 0 ? reason : RIMQRC_UNEXPECTED_ERROR;
  return 0;
}

int QueueLink::Get(RIMQMD& md, int matchMode, int waitSeconds, std::vector<char>& buffer, int& length) {
  RIMQGMO gmo = velt::wire::QueueRecord<RIMQGMO>(RIMQ_GMO_STRUC_ID);
  gmo.nOptions = velt::wire::kGetOptions;
  gmo.nWaitInterval = waitSeconds;
  gmo.nMatchOptions = matchMode;
  int cc = 0, reason = 0;
  length = 0;
  RIMQ_Get(hConn_, hRequest_, &md, &gmo, static_cast<int>(buffer.size()), buffer.data(), &length, &cc, &reason);
  if (cc != RIMQCC_OK) return reason != 0 ? reason : RIMQRC_UNEXPECTED_ERROR;
  return 0;
}

int QueueLink::PutRequestQueue(RIMQMD& md, const char* data, std::size_t length) {
  RIMQPMO pmo = velt::wire::QueueRecord<RIMQPMO>(RIMQ_PMO_STRUC_ID);
  int cc = 0, reason = 0;
  RIMQ_Put(hConn_, hRequest_, &md, &pmo, static_cast<int>(length), data, &cc, &reason);
  if (cc != RIMQCC_OK) return reason != 0 ? reason : RIMQRC_UNEXPECTED_ERROR;
  return 0;
}

int QueueLink::Put(const std::string& queue, RIMQMD& md, const char* data, std::size_t length) {
  auto it = replyQueues_.find(queue);
  if (it == replyQueues_.end()) {
    if (replyQueues_.size() >= kMaxReplyQueues) {
      Disconnect();
      if (const int r = Connect(); r != 0) return r;
    }
    int hObj = -1;
    if (const int r = Open(queue, hObj); r != 0) return r;
    it = replyQueues_.emplace(queue, hObj).first;
  }
  RIMQPMO pmo = velt::wire::QueueRecord<RIMQPMO>(RIMQ_PMO_STRUC_ID);
  int cc = 0, reason = 0;
  RIMQ_Put(hConn_, it->second, &md, &pmo, static_cast<int>(length), data, &cc, &reason);
  if (cc != RIMQCC_OK) return reason != 0 ? reason : RIMQRC_UNEXPECTED_ERROR;
  return 0;
}

}  // namespace veltemu
