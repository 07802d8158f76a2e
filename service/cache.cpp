#include "service/cache.h"

#include <utility>

namespace cirrodex::service {

std::shared_ptr<const CachedAnswer> UpstreamCache::get(const std::string& key, const std::function<Fill()>& fill) {
  std::shared_ptr<Flight> flight;
  {
    std::unique_lock lock(mutex_);
    const SteadyTime now = clock_.steady();
    auto it = entries_.find(key);
    if (it != entries_.end() && it->second.value && now >= it->second.value->expires) {
      drop_locked(it);
      it = entries_.end();
    }
    if (it != entries_.end() && it->second.value) {
      ++stats_.hits;
      lru_.splice(lru_.begin(), lru_, it->second.lru);
      return it->second.value;
    }
    if (it != entries_.end()) {
      // Someone is fetching it: wait for that answer.
      ++stats_.waits;
      const std::shared_ptr<Flight> theirs = it->second.flight;
      landed_.wait(lock, [&] { return theirs->done; });
      if (theirs->error) std::rethrow_exception(theirs->error);
      return theirs->value;
    }
    ++stats_.misses;
    flight = std::make_shared<Flight>();
    entries_[key].flight = flight;
  }

  std::shared_ptr<const CachedAnswer> value;
  std::exception_ptr error;
  try {
    Fill filled = fill();
    const SteadyTime fetched = clock_.steady();
    value =
        std::make_shared<const CachedAnswer>(CachedAnswer{std::move(filled.answer), fetched, fetched + filled.life});
  } catch (...) {
    error = std::current_exception();
  }
  return finish(key, flight, std::move(value), error);
}

std::shared_ptr<const CachedAnswer> UpstreamCache::finish(const std::string& key, const std::shared_ptr<Flight>& flight,
                                                          std::shared_ptr<const CachedAnswer> value,
                                                          const std::exception_ptr& error) {
  {
    std::lock_guard lock(mutex_);
    const auto it = entries_.find(key);
    if (error || value->expires <= value->fetched) {
      entries_.erase(it);
    } else {
      Entry& entry = it->second;
      entry.value = value;
      entry.flight.reset();
      entry.bytes = key.size() + value->answer.body.size() + value->answer.error.size();
      bytes_ += entry.bytes;
      lru_.push_front(key);
      entry.lru = lru_.begin();
      evict_locked(value->fetched);
    }
    flight->done = true;
    flight->value = value;
    flight->error = error;
  }
  landed_.notify_all();
  if (error) std::rethrow_exception(error);
  return value;
}

void UpstreamCache::drop_locked(std::unordered_map<std::string, Entry>::iterator it) {
  bytes_ -= it->second.bytes;
  lru_.erase(it->second.lru);
  entries_.erase(it);
}

void UpstreamCache::evict_locked(SteadyTime now) {
  auto over = [&] { return lru_.size() > limits_.max_entries || bytes_ > limits_.max_bytes; };
  if (!over()) return;
  // Expired entries first, oldest use first ...
  for (auto k = lru_.end(); k != lru_.begin() && over();) {
    --k;
    const auto it = entries_.find(*k);
    if (now < it->second.value->expires) continue;
    k = std::next(k);  // keep a valid position past the one erased
    drop_locked(it);
    ++stats_.evictions;
  }
  // ... then the least recently used. The newest entry stays even when it
  // alone is over the byte bound: its caller is about to serve it.
  while (over() && lru_.size() > 1) {
    drop_locked(entries_.find(lru_.back()));
    ++stats_.evictions;
  }
}

CacheStats UpstreamCache::stats() const {
  std::lock_guard lock(mutex_);
  CacheStats s = stats_;
  s.entries = lru_.size();
  s.bytes = bytes_;
  return s;
}

}  // namespace cirrodex::service
