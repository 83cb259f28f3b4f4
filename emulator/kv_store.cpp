// The key-value store.
#include "kv_store.h"

namespace veltemu {

bool KvStore::Store(Map& map, const std::string& key, const std::string& value) {
  const auto it = map.find(key);
  const std::size_t old = it == map.end() ? 0 : key.size() + it->second.size();
  const std::size_t add = key.size() + value.size();
  if (add > old && add - old > max_ - bytes_) return false;
  bytes_ = bytes_ - old + add;
  map[key] = value;
  return true;
}

bool KvStore::Put(const std::string& transaction, const std::string& key, const std::string& value) {
  std::lock_guard<std::mutex> lock(mutex_);
  return Store(transaction.empty() ? committed_ : staged_[transaction], key, value);
}

std::optional<std::string> KvStore::Get(const std::string& transaction, const std::string& key) const {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!transaction.empty()) {
    const auto t = staged_.find(transaction);
    if (t != staged_.end()) {
      const auto it = t->second.find(key);
      if (it != t->second.end()) return it->second;
    }
  }
  const auto it = committed_.find(key);
  if (it == committed_.end()) return std::nullopt;
  return it->second;
}

void KvStore::Commit(const std::string& transaction) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto t = staged_.find(transaction);
  if (t == staged_.end()) return;
  for (auto& [key, value] : t->second) {
    bytes_ -= key.size() + value.size();   // released from the stage, counted again below
    const auto it = committed_.find(key);
    if (it != committed_.end()) bytes_ -= key.size() + it->second.size();
    bytes_ += key.size() + value.size();
    committed_[key] = std::move(value);
  }
  staged_.erase(t);
}

void KvStore::Discard(const std::string& transaction) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto t = staged_.find(transaction);
  if (t == staged_.end()) return;
  for (const auto& [key, value] : t->second) bytes_ -= key.size() + value.size();
  staged_.erase(t);
}

std::size_t KvStore::bytes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return bytes_;
}

}  // namespace veltemu
