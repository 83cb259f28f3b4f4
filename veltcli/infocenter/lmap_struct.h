// CLMapStruct: an ordered map that owns its elements (heap copies or adopted pointers) and keeps
// one iteration cursor; the subscription store and each session's pending list are built on it.
//
// Not thread-safe: its owner locks (CInfoCenterData) or is used by one thread (the session).
#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <new>

namespace velt {

template <typename Key, typename Element, typename Compare = std::less<Key>,
          typename Map = std::map<Key, Element*, Compare>>
class CLBaseMapStruct {
 public:
  virtual ~CLBaseMapStruct() = default;

 protected:
  Map map_;
  typename Map::iterator cursor_ = map_.end();
};

template <typename Key, typename Element, typename Compare = std::less<Key>,
          typename Map = std::map<Key, Element*, Compare>>
class CLMapStruct : public CLBaseMapStruct<Key, Element, Compare, Map> {
  using Base = CLBaseMapStruct<Key, Element, Compare, Map>;

 public:
  CLMapStruct() = default;
  CLMapStruct(const CLMapStruct&) = delete;
  CLMapStruct& operator=(const CLMapStruct&) = delete;

  virtual int FreeElement(Element** element) {
    if (element == nullptr || *element == nullptr) return -1;
    delete *element;
    *element = nullptr;
    return 0;
  }
  // Uninitialised storage of the element's size; the copy insert fills it byte for byte.
  // Throws std::bad_alloc when memory is exhausted.
  virtual int AllocElement(Element** element) {
    *element = new Element;
    return 0;
  }
  virtual int OnClear() { return 0; }
  ~CLMapStruct() override { Clear(); }

  void Clear() {
    for (auto& entry : this->map_) FreeElement(&entry.second);
    this->map_.clear();
    this->cursor_ = this->map_.end();
    OnClear();
  }

  // copy: a heap copy of *element is stored; otherwise the map adopts `element` (also on -1 it
  // stays the caller's). 0 inserted; -1 the key exists.
  int Insert(const Key& key, Element* element, bool copy) {
    if (this->map_.count(key) != 0) return -1;
    Element* stored = element;
    if (copy) {
      AllocElement(&stored);
      std::memcpy(static_cast<void*>(stored), element, sizeof(Element));
    }
    try {
      this->map_.emplace(key, stored);
    } catch (...) {
      if (copy) FreeElement(&stored);
      throw;
    }
    return 0;
  }

  Element* Find(const Key& key) const {
    const auto it = this->map_.find(key);
    return it == this->map_.end() ? nullptr : it->second;
  }

  bool Erase(const Key& key) {
    const auto it = this->map_.find(key);
    if (it == this->map_.end()) return false;
    if (it == this->cursor_) ++this->cursor_;
    FreeElement(&it->second);
    this->map_.erase(it);
    return true;
  }

  void Rewind() { this->cursor_ = this->map_.begin(); }

  bool Next(Key* key, Element** element) {
    if (this->cursor_ == this->map_.end()) return false;
    if (key != nullptr) *key = this->cursor_->first;
    if (element != nullptr) *element = this->cursor_->second;
    ++this->cursor_;
    return true;
  }

  std::size_t Size() const { return this->map_.size(); }
};

}  // namespace velt
