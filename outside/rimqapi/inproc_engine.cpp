// Embedded engine: queues with message indexes by match key, waiters, expiry and interrupt.
// Locking: each queue has one mutex over its messages, indexes and waiters; a connection's own
// mutex guards its interrupt state and is always taken before a queue's, never after.
#include "inproc_engine.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

namespace velt::rimq {
namespace {

using Clock = std::chrono::steady_clock;

struct StoredMessage {
  Envelope envelope;
  std::string body;
  Clock::time_point expiry = Clock::time_point::max();
  std::array<std::string, kMatchKeyCount> keys;
};

// One blocked get. Shared between the getter and the putter that hands it a message, so the
// putter can notify after releasing the queue lock without outliving the getter's object.
struct Waiter {
  std::condition_variable cv;
  std::uint64_t order = 0;
  bool done = false;         // delivered or interrupted
  bool delivered = false;
  bool interrupted = false;
  Envelope envelope;
  std::string body;
};

class InprocQueue final : public OpenedQueue {
 public:
  void Put(const Envelope& envelope, std::string body, int expiryMs);
  int Get(const MatchRequest& match, Wait wait, GetTarget& target, const std::shared_ptr<Waiter>& self);
  // Called with the connection's lock held; wakes `waiter` if it still waits here.
  void Interrupt(Waiter& waiter);

 private:
  std::shared_ptr<Waiter> TakeWaiter(const std::array<std::string, kMatchKeyCount>& keys);
  void Store(StoredMessage message);
  bool Claim(const std::string& key, GetTarget& target, int* rc);
  bool Live(std::uint64_t n, Clock::time_point now);
  void DropDeadHeads(const std::string& key, Clock::time_point now);
  void RemoveWaiter(const std::string& key, const std::shared_ptr<Waiter>& waiter);

  std::mutex mu_;
  std::uint64_t next_ = 0;
  std::unordered_map<std::uint64_t, StoredMessage> messages_;
  std::unordered_map<std::string, std::deque<std::uint64_t>> index_;
  std::unordered_map<std::string, std::deque<std::shared_ptr<Waiter>>> waiters_;
};

void InprocQueue::Put(const Envelope& envelope, std::string body, int expiryMs) {
  auto keys = MessageKeys(envelope, KeySpelling::kRaw);
  std::unique_lock<std::mutex> lock(mu_);
  if (auto waiter = TakeWaiter(keys)) {
    waiter->envelope = envelope;
    waiter->body = std::move(body);
    waiter->delivered = waiter->done = true;
    lock.unlock();
    waiter->cv.notify_one();
    return;
  }
  StoredMessage message{envelope, std::move(body), Clock::time_point::max(), std::move(keys)};
  if (expiryMs > 0) message.expiry = Clock::now() + std::chrono::milliseconds(expiryMs);
  Store(std::move(message));
}

// The oldest live waiter over the message's four keys, removed from its list.
std::shared_ptr<Waiter> InprocQueue::TakeWaiter(const std::array<std::string, kMatchKeyCount>& keys) {
  std::deque<std::shared_ptr<Waiter>>* best = nullptr;
  const std::string* bestKey = nullptr;
  for (const auto& key : keys) {
    auto it = waiters_.find(key);
    if (it == waiters_.end()) continue;
    auto& list = it->second;
    while (!list.empty() && list.front()->done) list.pop_front();
    if (!list.empty() && (!best || list.front()->order < best->front()->order)) {
      best = &list;
      bestKey = &key;
    }
  }
  if (!best) return nullptr;
  auto waiter = std::move(best->front());
  best->pop_front();
  if (best->empty()) waiters_.erase(*bestKey);
  return waiter;
}

void InprocQueue::Store(StoredMessage message) {
  const std::uint64_t n = ++next_;
  auto& stored = messages_.emplace(n, std::move(message)).first->second;
  const auto now = Clock::now();
  for (const auto& key : stored.keys) {
    index_[key].push_back(n);
    DropDeadHeads(key, now);
  }
}

bool InprocQueue::Live(std::uint64_t n, Clock::time_point now) {
  auto it = messages_.find(n);
  if (it == messages_.end()) return false;
  if (it->second.expiry > now) return true;
  messages_.erase(it);
  return false;
}

// Index entries of taken or expired messages stay behind; whoever meets them at a list's head
// drops them, which keeps every operation independent of the queue depth.
void InprocQueue::DropDeadHeads(const std::string& key, Clock::time_point now) {
  auto it = index_.find(key);
  if (it == index_.end()) return;
  auto& list = it->second;
  while (!list.empty() && !Live(list.front(), now)) list.pop_front();
  if (list.empty()) index_.erase(it);
}

bool InprocQueue::Claim(const std::string& key, GetTarget& target, int* rc) {
  auto it = index_.find(key);
  if (it == index_.end()) return false;
  auto& list = it->second;
  const auto now = Clock::now();
  while (!list.empty()) {
    const std::uint64_t n = list.front();
    list.pop_front();
    if (!Live(n, now)) continue;
    auto node = messages_.extract(n);
    if (list.empty()) index_.erase(it);
    StoredMessage& message = node.mapped();
    for (const auto& other : message.keys) {
      if (other != key) DropDeadHeads(other, now);
    }
    *rc = DeliverInto(target, message.envelope, message.body);
    return true;
  }
  index_.erase(it);
  return false;
}

void InprocQueue::RemoveWaiter(const std::string& key, const std::shared_ptr<Waiter>& waiter) {
  auto it = waiters_.find(key);
  if (it == waiters_.end()) return;
  auto& list = it->second;
  list.erase(std::remove(list.begin(), list.end(), waiter), list.end());
  if (list.empty()) waiters_.erase(it);
}

int InprocQueue::Get(const MatchRequest& match, Wait wait, GetTarget& target, const std::shared_ptr<Waiter>& self) {
  const std::string key = MatchKey(match, KeySpelling::kRaw);
  std::unique_lock<std::mutex> lock(mu_);
  if (self->interrupted) return RIMQRC_INTERRUPTED;
  int rc = 0;
  if (Claim(key, target, &rc)) return rc;
  if (wait.milliseconds == 0) return RIMQRC_NO_MSG_AVAILABLE;
  self->order = ++next_;
  waiters_[key].push_back(self);
  const auto done = [&self] { return self->done; };
  if (wait.unlimited()) {
    self->cv.wait(lock, done);
  } else if (!self->cv.wait_for(lock, std::chrono::milliseconds(wait.milliseconds), done)) {
    RemoveWaiter(key, self);
    return RIMQRC_NO_MSG_AVAILABLE;
  }
  if (self->delivered) return DeliverInto(target, self->envelope, self->body);
  RemoveWaiter(key, self);
  return RIMQRC_INTERRUPTED;
}

void InprocQueue::Interrupt(Waiter& waiter) {
  std::lock_guard<std::mutex> lock(mu_);
  waiter.interrupted = true;
  if (waiter.done) return;
  waiter.done = true;
  waiter.cv.notify_one();
}

class InprocManager {
 public:
  std::shared_ptr<InprocQueue> Queue(std::string_view name) {
    std::lock_guard<std::mutex> lock(mu_);
    auto& queue = queues_[std::string(name)];
    if (!queue) queue = std::make_shared<InprocQueue>();
    return queue;
  }

 private:
  std::mutex mu_;
  std::unordered_map<std::string, std::shared_ptr<InprocQueue>> queues_;
};

InprocManager& ManagerNamed(std::string_view name) {
  static std::mutex mu;
  static std::unordered_map<std::string, std::unique_ptr<InprocManager>> managers;
  std::lock_guard<std::mutex> lock(mu);
  auto& manager = managers[std::string(name)];
  if (!manager) manager = std::make_unique<InprocManager>();
  return *manager;
}

class InprocConnection final : public QueueConnection {
 public:
  explicit InprocConnection(InprocManager& manager) : manager_(manager) {}

  int Open(std::string_view name, std::shared_ptr<OpenedQueue>* out) override {
    *out = manager_.Queue(name);
    return 0;
  }

  int Put(OpenedQueue& queue, const Envelope& envelope, std::string_view body, int expiryMs) override {
    if (closed_) return RIMQRC_CONNECTION_LOST;
    static_cast<InprocQueue&>(queue).Put(envelope, std::string(body), expiryMs);
    return 0;
  }

  int Get(OpenedQueue& opened, const MatchRequest& match, Wait wait, GetTarget& target) override {
    auto& queue = static_cast<InprocQueue&>(opened);
    auto self = std::make_shared<Waiter>();
    {
      std::lock_guard<std::mutex> lock(mu_);
      if (closed_) return RIMQRC_CONNECTION_LOST;
      if (pending_) {
        pending_ = false;
        return RIMQRC_INTERRUPTED;
      }
      current_ = self;
      currentQueue_ = &queue;
    }
    // Cleared on every way out, exceptions included, so a later interrupt is never spent on a
    // get that has already returned.
    struct Forget {
      InprocConnection& c;
      ~Forget() {
        std::lock_guard<std::mutex> lock(c.mu_);
        c.current_.reset();
        c.currentQueue_ = nullptr;
      }
    } forget{*this};
    return queue.Get(match, wait, target, self);
  }

  void Interrupt() override {
    std::lock_guard<std::mutex> lock(mu_);
    if (current_) {
      currentQueue_->Interrupt(*current_);
    } else {
      pending_ = true;
    }
  }

  void Close() override { closed_ = true; }

 private:
  InprocManager& manager_;
  std::mutex mu_;
  bool pending_ = false;
  std::atomic<bool> closed_{false};
  std::shared_ptr<Waiter> current_;
  InprocQueue* currentQueue_ = nullptr;
};

}  // namespace

std::unique_ptr<QueueConnection> ConnectInproc(std::string_view name) {
  return std::make_unique<InprocConnection>(ManagerNamed(name));
}

}  // namespace velt::rimq
