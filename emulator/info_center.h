// The information centre of the emulator, free of I/O: topics with their subscriptions, the
// publications, and what each subscriber has not yet received. Subscribe, unsubscribe, publish,
// fetch, acknowledge and list answer with a "CODE"/"MSG" result set and a second one with the
// call's values; a publish yields the deliveries to put on the subscribers' answer queues.
// Thread-safe (one lock around the state). docs/emulator.md describes the services.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "answer.h"
#include "request.h"

namespace veltemu {

// One publication on its way to one subscriber: the packets' message id is the subscription's.
struct Delivery {
  std::string queue;
  std::string messageId;              // 24 characters
  std::vector<std::string> units;     // the answer text's units
  int expirySeconds = 0;
};

// "CODE" values of the emulator's information centre.
enum InfoCenterCode : int {
  kInfoOk = 0,
  kInfoMissingValue = 1,          // a value the service needs is absent or not a number
  kInfoUnknownSubscription = 2,
  kInfoUnknownPublication = 3,
};

// Publications with more content than this travel as a notice ("havedata" 0) and are fetched.
inline constexpr std::size_t kInlinePublicationBytes = 16384;

class InfoCenter {
 public:
  InfoCenter();
  // True for the six service codes ("09010101" ... "09010108").
  static bool IsService(const std::string& program);
  // One call; `replyQueue` is the request's reply queue (the subscriber's answer queue).
  void Serve(const Request& request, const std::string& replyQueue, Answer& answer, std::vector<Delivery>& deliveries);

 private:
  struct Subscription {
    std::string user, topic, messageId, queue;
    long long subMode = 0;
  };
  struct Pending {
    long long subMode = 0, pubMode = 0;
    bool needCheck = false;
    std::string text;                   // what the subscriber is given when it fetches
  };
  using PendingKey = std::pair<long long, long long>;   // subscription, publication

  void Subscribe(const Request& r, const std::string& replyQueue, Answer& a);
  void Unsubscribe(const Request& r, Answer& a);
  void Publish(const Request& r, Answer& a, std::vector<Delivery>& deliveries);
  void Fetch(const Request& r, Answer& a);
  void Acknowledge(const Request& r, Answer& a);
  void ListPending(const Request& r, Answer& a);
  bool Numbers(const Request& r, Answer& a, PendingKey& key);

  std::mutex mutex_;
  std::string idPrefix_;              // keeps message ids of two emulator runs apart
  long long nextSubscription_ = 1;
  long long nextPublication_ = 1;
  std::map<long long, Subscription> subscriptions_;
  std::map<PendingKey, Pending> pending_;
};

}  // namespace veltemu
