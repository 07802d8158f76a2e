#pragma once
// Fakes for the ports of cirrodex-service: a clock the test moves, an
// upstream that answers from a table (and can hold every fetch until the
// test lets it go), a place table and a document maker that records what
// it was given.

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "service/conditions_service.h"
#include "service/service_clock.h"
#include "service/upstream.h"

namespace cirrodex::testing {

class FakeServiceClock final : public service::ServiceClock {
 public:
  // Both clocks start at a fixed UTC time.
  explicit FakeServiceClock(std::chrono::sys_seconds utc = std::chrono::sys_days(std::chrono::year(2024) /
                                                                                 std::chrono::January / 15) +
                                                           std::chrono::hours(15))
      : utc_(utc) {}
  service::SteadyTime steady() override {
    std::lock_guard lock(mutex_);
    return service::SteadyTime(elapsed_);
  }
  service::UtcTime utc() override {
    std::lock_guard lock(mutex_);
    return utc_ + elapsed_;
  }
  void advance(std::chrono::seconds by) {
    std::lock_guard lock(mutex_);
    elapsed_ += by;
  }

 private:
  std::mutex mutex_;
  service::UtcTime utc_;
  std::chrono::seconds elapsed_{0};
};

class FakeUpstream final : public service::Upstream {
 public:
  void answer(const std::string& url, std::string body) {
    std::lock_guard lock(mutex_);
    answers_[url] = service::UpstreamAnswer{200, std::move(body), {}, false};
  }
  void fail(const std::string& url, int status, const std::string& text) {
    std::lock_guard lock(mutex_);
    answers_[url] = service::UpstreamAnswer{status, {}, url + ": " + text, false};
  }
  void time_out(const std::string& url) {
    std::lock_guard lock(mutex_);
    answers_[url] = service::UpstreamAnswer{0, {}, url + ": Timeout was reached", true};
  }

  // While held, every fetch waits (after counting itself) until release().
  void hold() {
    std::lock_guard lock(mutex_);
    held_ = true;
  }
  void release() {
    {
      std::lock_guard lock(mutex_);
      held_ = false;
    }
    changed_.notify_all();
  }
  // Blocks until n fetches have started in all.
  void wait_for_fetches(int n) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return fetches_ >= n; });
  }

  service::UpstreamAnswer fetch(const std::string& url) override {
    std::unique_lock lock(mutex_);
    ++fetches_;
    asked_.push_back(url);
    changed_.notify_all();
    changed_.wait(lock, [&] { return !held_; });
    const auto it = answers_.find(url);
    if (it == answers_.end()) return service::UpstreamAnswer{404, {}, url + ": 404 Not Found", false};
    return it->second;
  }

  int fetches() {
    std::lock_guard lock(mutex_);
    return fetches_;
  }
  std::vector<std::string> asked() {
    std::lock_guard lock(mutex_);
    return asked_;
  }
  int count(const std::string& url) {
    std::lock_guard lock(mutex_);
    int n = 0;
    for (const auto& u : asked_) n += u == url ? 1 : 0;
    return n;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, service::UpstreamAnswer> answers_;
  std::vector<std::string> asked_;
  int fetches_ = 0;
  bool held_ = false;
};

class FakePlaceResolver final : public service::PlaceResolver {
 public:
  void add(const std::string& key, service::ResolvedPlace place) { places_[key] = std::move(place); }
  std::optional<service::ResolvedPlace> resolve(const service::Place& place) override {
    const auto it = places_.find(service::describe(place));
    if (it == places_.end()) return std::nullopt;
    return it->second;
  }

 private:
  std::map<std::string, service::ResolvedPlace> places_;
};

// "STATION|SOURCE|REPORT|FORECAST" for each document, or the scripted error.
class FakeDocumentMaker final : public service::DocumentMaker {
 public:
  std::string error;
  std::vector<std::string> made;
  service::Document make(const service::DocumentInput& in) override {
    if (!error.empty()) return service::Document{{}, error};
    std::string doc = in.observation.station + "|" + in.observation.source + "|" + in.observation.report + "|" +
                      (in.forecast != nullptr ? in.forecast->text : "-");
    made.push_back(doc);
    return service::Document{doc, {}};
  }
};

}  // namespace cirrodex::testing
