#pragma once
// A map of at most a fixed number of entries that forgets the least
// recently used one to make room: for what the service can always work out
// again but would rather not (made documents, the sun and moon times of a
// place's day). Not locked: its owner holds a lock around every call.

#include <cstddef>
#include <list>
#include <string>
#include <unordered_map>
#include <utility>

namespace cirrodex::service {

template <typename Value>
class LruMap {
 public:
  explicit LruMap(std::size_t capacity) : capacity_(capacity) {}

  // The value of key, now the most recently used; null when there is none.
  const Value* find(const std::string& key) {
    const auto it = index_.find(key);
    if (it == index_.end()) return nullptr;
    order_.splice(order_.begin(), order_, it->second);
    return &it->second->second;
  }

  // Sets key's value; the least recently used entry goes when the map is full.
  void put(const std::string& key, Value value) {
    if (capacity_ == 0) return;
    if (const auto it = index_.find(key); it != index_.end()) {
      it->second->second = std::move(value);
      order_.splice(order_.begin(), order_, it->second);
      return;
    }
    if (index_.size() == capacity_) {
      index_.erase(order_.back().first);
      order_.pop_back();
    }
    order_.emplace_front(key, std::move(value));
    index_.emplace(key, order_.begin());
  }

  std::size_t size() const { return index_.size(); }

 private:
  using Entry = std::pair<std::string, Value>;
  std::size_t capacity_;
  std::list<Entry> order_;  // front: most recently used
  std::unordered_map<std::string, typename std::list<Entry>::iterator> index_;
};

}  // namespace cirrodex::service
