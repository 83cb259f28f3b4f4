// The transactional key-value store behind the built-in programs kv.put and kv.get.
// Writes inside a transaction are staged and become visible at commit; a roll back drops them.
// Reads never wait: they see committed values, plus the reader's own transaction's writes.
// Thread-safe; bounded by a byte limit over committed and staged keys and values.
#pragma once

#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace veltemu {

class KvStore {
 public:
  explicit KvStore(std::size_t maxBytes = 64u << 20) : max_(maxBytes) {}

  // Stores `value` under `key`: at once when `transaction` is empty, else staged in it.
  // False when the store would pass its byte limit.
  bool Put(const std::string& transaction, const std::string& key, const std::string& value);
  std::optional<std::string> Get(const std::string& transaction, const std::string& key) const;
  void Commit(const std::string& transaction);
  void Discard(const std::string& transaction);
  std::size_t bytes() const;

 private:
  using Map = std::unordered_map<std::string, std::string>;
  // Replaces key in map, keeping the byte count; false when over the limit.
  bool Store(Map& map, const std::string& key, const std::string& value);

  mutable std::mutex mutex_;
  std::size_t max_;
  std::size_t bytes_ = 0;
  Map committed_;
  std::unordered_map<std::string, Map> staged_;
};

}  // namespace veltemu
