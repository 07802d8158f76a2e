#pragma once
// The cache of upstream answers, shared by every request thread. Each entry
// lives as long as its filler says (an observation 10 minutes, a forecast
// 30, a failure 1, so a dead upstream is not hammered). Single flight: while
// one thread fetches a key, every other thread that asks for it waits for
// that fetch's answer instead of starting its own. Bounded in entries and
// bytes; expired entries go first, then the least recently used.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include "service/service_clock.h"
#include "service/upstream.h"

namespace cirrodex::service {

inline constexpr std::chrono::seconds kObservationLife{10 * 60};
inline constexpr std::chrono::seconds kForecastLife{30 * 60};
inline constexpr std::chrono::seconds kFailureLife{60};

struct CacheLimits {
  std::size_t max_entries = 4096;
  std::size_t max_bytes = std::size_t{32} * 1024 * 1024;  // bodies and error texts
};

// One cached answer; shared, never changed once made.
struct CachedAnswer {
  UpstreamAnswer answer;
  SteadyTime fetched;
  SteadyTime expires;
};

struct CacheStats {
  std::uint64_t hits = 0, misses = 0, waits = 0, evictions = 0;
  std::size_t entries = 0, bytes = 0;
};

class UpstreamCache {
 public:
  // What a fill gives: the answer and how long it may be served.
  struct Fill {
    UpstreamAnswer answer;
    std::chrono::seconds life{0};
  };

  UpstreamCache(ServiceClock& clock, CacheLimits limits = {}) : clock_(clock), limits_(limits) {}
  UpstreamCache(const UpstreamCache&) = delete;
  UpstreamCache& operator=(const UpstreamCache&) = delete;

  // The live entry of key, or the answer of fill run once for everyone who
  // asks meanwhile. fill runs on the calling thread without the lock held;
  // if it throws, that thread and every waiter get the exception and
  // nothing is kept.
  std::shared_ptr<const CachedAnswer> get(const std::string& key, const std::function<Fill()>& fill);

  CacheStats stats() const;

 private:
  struct Flight {
    bool done = false;
    std::shared_ptr<const CachedAnswer> value;
    std::exception_ptr error;
  };
  struct Entry {
    std::shared_ptr<const CachedAnswer> value;  // empty while in flight
    std::shared_ptr<Flight> flight;             // set while in flight
    std::list<std::string>::iterator lru;       // valid when value is set
    std::size_t bytes = 0;
  };

  std::shared_ptr<const CachedAnswer> finish(const std::string& key, const std::shared_ptr<Flight>& flight,
                                             std::shared_ptr<const CachedAnswer> value,
                                             const std::exception_ptr& error);
  void evict_locked(SteadyTime now);
  void drop_locked(std::unordered_map<std::string, Entry>::iterator it);

  ServiceClock& clock_;
  const CacheLimits limits_;
  mutable std::mutex mutex_;
  std::condition_variable landed_;
  std::unordered_map<std::string, Entry> entries_;
  std::list<std::string> lru_;  // front: most recently used
  std::size_t bytes_ = 0;
  CacheStats stats_;
};

}  // namespace cirrodex::service
