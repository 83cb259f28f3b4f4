// Transaction ids and their ends.
#include "transaction_table.h"

#include <vector>

namespace veltemu {

TransactionTable::TransactionTable(std::string idPrefix, std::size_t maxOpen, std::chrono::seconds idleLimit)
    : prefix_(std::move(idPrefix)), max_(maxOpen), idle_(idleLimit) {
  if (prefix_.size() > 10) prefix_.resize(10);
}

void TransactionTable::SetEndListener(EndListener listener) {
  std::lock_guard<std::mutex> lock(mutex_);
  listener_ = std::move(listener);
}

std::string TransactionTable::Open(int session, Clock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (open_.size() >= max_) return std::string();
  // 10 prefix characters and a counter that cannot pass 16 digits keep the id within 26.
  std::string id = prefix_ + std::to_string(next_++);
  open_[id] = Entry{session, now};
  return id;
}

bool TransactionTable::Touch(const std::string& id, Clock::time_point now) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = open_.find(id);
  if (it == open_.end()) return false;
  it->second.used = now;
  return true;
}

void TransactionTable::Notify(const std::string& id, bool commit) {
  EndListener listener;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    listener = listener_;
  }
  if (listener) listener(id, commit);
}

bool TransactionTable::End(const std::string& id, bool commit) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (open_.erase(id) == 0) return false;
  }
  Notify(id, commit);
  return true;
}

void TransactionTable::EndSession(int session) {
  std::vector<std::string> ended;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = open_.begin(); it != open_.end();) {
      if (it->second.session == session) {
        ended.push_back(it->first);
        it = open_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (const std::string& id : ended) Notify(id, false);
}

std::size_t TransactionTable::ExpireIdle(Clock::time_point now) {
  std::vector<std::string> ended;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = open_.begin(); it != open_.end();) {
      if (now - it->second.used > idle_) {
        ended.push_back(it->first);
        it = open_.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (const std::string& id : ended) Notify(id, false);
  return ended.size();
}

std::size_t TransactionTable::open() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return open_.size();
}

}  // namespace veltemu
