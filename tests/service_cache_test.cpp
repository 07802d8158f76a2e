// The upstream cache: lives, failures, single flight and eviction, on a
// fake clock.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "service/cache.h"
#include "support/service_fakes.h"

namespace cirrodex::service {
namespace {

using std::chrono::minutes;
using std::chrono::seconds;
using testing::FakeServiceClock;
using testing::FakeUpstream;

class CacheTest : public ::testing::Test {
 protected:
  // Fetches url through the cache with the life the sources give.
  std::shared_ptr<const CachedAnswer> get(UpstreamCache& cache, const std::string& url, seconds ok_life) {
    return cache.get(url, [&] {
      UpstreamAnswer a = upstream.fetch(url);
      const seconds life = a.ok() ? ok_life : kFailureLife;
      return UpstreamCache::Fill{std::move(a), life};
    });
  }
  FakeServiceClock clock;
  FakeUpstream upstream;
};

TEST_F(CacheTest, AnEntryLivesItsLifeAndIsFetchedAgainAfter) {
  struct Case {
    seconds life;
    bool ok;
  };
  for (const Case c : {Case{kObservationLife, true}, Case{kForecastLife, true}, Case{kObservationLife, false}}) {
    UpstreamCache cache(clock);
    const std::string url = "http://up/" + std::to_string(c.life.count()) + (c.ok ? "ok" : "fail");
    if (c.ok) upstream.answer(url, "body");
    const seconds expected = c.ok ? c.life : kFailureLife;
    const int before = upstream.count(url);
    const auto first = get(cache, url, c.life);
    EXPECT_EQ(first->answer.ok(), c.ok);
    EXPECT_EQ(first->expires - first->fetched, expected);
    clock.advance(expected - seconds(1));
    EXPECT_EQ(get(cache, url, c.life), first) << "still alive a second before its end";
    EXPECT_EQ(upstream.count(url), before + 1);
    clock.advance(seconds(1));
    EXPECT_NE(get(cache, url, c.life), first) << "fetched again at its end";
    EXPECT_EQ(upstream.count(url), before + 2);
  }
}

TEST_F(CacheTest, AFailureIsServedFromTheCacheSoADeadUpstreamIsNotHammered) {
  UpstreamCache cache(clock);
  upstream.time_out("http://up/dead");
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(get(cache, "http://up/dead", kObservationLife)->answer.timed_out);
  EXPECT_EQ(upstream.count("http://up/dead"), 1);
  EXPECT_EQ(cache.stats().hits, 4u);
}

TEST_F(CacheTest, ConcurrentAsksOfOneKeyShareOneFetch) {
  UpstreamCache cache(clock);
  upstream.answer("http://up/a", "A");
  upstream.hold();
  constexpr int kThreads = 8;
  std::vector<std::shared_ptr<const CachedAnswer>> got(kThreads);
  std::vector<std::thread> threads;
  threads.reserve(kThreads);
  for (int i = 0; i < kThreads; ++i)
    threads.emplace_back([&, i] { got[static_cast<std::size_t>(i)] = get(cache, "http://up/a", kObservationLife); });
  upstream.wait_for_fetches(1);
  // Every other thread is counted as waiting before the fetch may end.
  while (cache.stats().waits < kThreads - 1) std::this_thread::yield();
  upstream.release();
  for (auto& t : threads) t.join();
  EXPECT_EQ(upstream.fetches(), 1);
  for (const auto& g : got) {
    ASSERT_TRUE(g);
    EXPECT_EQ(g->answer.body, "A");
    EXPECT_EQ(g, got[0]);
  }
}

TEST_F(CacheTest, DifferentKeysAreFetchedSideBySide) {
  UpstreamCache cache(clock);
  upstream.hold();
  std::thread a([&] { get(cache, "http://up/a", kObservationLife); });
  std::thread b([&] { get(cache, "http://up/b", kObservationLife); });
  upstream.wait_for_fetches(2);  // both started while neither has ended
  upstream.release();
  a.join();
  b.join();
  EXPECT_EQ(upstream.fetches(), 2);
}

TEST_F(CacheTest, AThrowingFillReachesEveryWaiterAndKeepsNothing) {
  UpstreamCache cache(clock);
  std::atomic<bool> started{false}, go{false};
  std::thread leader([&] {
    EXPECT_THROW(cache.get("k",
                           [&]() -> UpstreamCache::Fill {
                             started = true;
                             while (!go) std::this_thread::yield();
                             throw std::runtime_error("fill failed");
                           }),
                 std::runtime_error);
  });
  while (!started) std::this_thread::yield();
  std::thread waiter([&] { EXPECT_THROW(cache.get("k", [] { return UpstreamCache::Fill{}; }), std::runtime_error); });
  while (cache.stats().waits < 1) std::this_thread::yield();
  go = true;
  leader.join();
  waiter.join();
  EXPECT_EQ(cache.stats().entries, 0u);
  upstream.answer("k", "fresh");
  EXPECT_EQ(get(cache, "k", kObservationLife)->answer.body, "fresh");
}

TEST_F(CacheTest, OverTheEntryBoundExpiredEntriesGoFirstThenTheLeastRecentlyUsed) {
  UpstreamCache cache(clock, CacheLimits{3, 1 << 20});
  for (const char* k : {"a", "b", "c", "d"}) upstream.answer(k, k);
  get(cache, "a", kForecastLife);
  get(cache, "b", kObservationLife);
  get(cache, "c", kForecastLife);
  clock.advance(kObservationLife);  // "b" has expired, "a" and "c" live on
  get(cache, "a", kForecastLife);   // "a" is now the most recently used
  get(cache, "d", kForecastLife);   // one too many: "b" goes, being expired
  EXPECT_EQ(cache.stats().entries, 3u);
  const int fetched = upstream.fetches();
  get(cache, "a", kForecastLife);
  get(cache, "c", kForecastLife);
  get(cache, "d", kForecastLife);
  EXPECT_EQ(upstream.fetches(), fetched);
  // All live now: a new key drops the least recently used, "a".
  upstream.answer("e", "e");
  get(cache, "e", kForecastLife);
  get(cache, "c", kForecastLife);
  EXPECT_EQ(upstream.fetches(), fetched + 1);
  get(cache, "a", kForecastLife);
  EXPECT_EQ(upstream.fetches(), fetched + 2);
  EXPECT_GE(cache.stats().evictions, 2u);
}

TEST_F(CacheTest, TheByteBoundKeepsTheCacheSmall) {
  UpstreamCache cache(clock, CacheLimits{100, 1000});
  for (int i = 0; i < 10; ++i) {
    const std::string key = "k" + std::to_string(i);
    upstream.answer(key, std::string(300, 'x'));
    get(cache, key, kForecastLife);
    EXPECT_LE(cache.stats().bytes, 1000u);
  }
  EXPECT_EQ(cache.stats().entries, 3u);
}

TEST_F(CacheTest, AZeroLifeAnswersTheAskersButIsNotKept) {
  UpstreamCache cache(clock);
  upstream.answer("k", "once");
  EXPECT_EQ(get(cache, "k", seconds(0))->answer.body, "once");
  get(cache, "k", seconds(0));
  EXPECT_EQ(upstream.fetches(), 2);
  EXPECT_EQ(cache.stats().entries, 0u);
}

}  // namespace
}  // namespace cirrodex::service
