// The moon windows' updates: what one Moontool tick (every second) and one
// More Data tick (every 65.5 seconds) cost, the values alone and the windows
// with their labels and picture.
#include <benchmark/benchmark.h>

#include "app/moon_window.h"
#include "moon/moon_windows.h"
#include "platform/fakes/call_log.h"
#include "platform/fakes/fake_host.h"
#include "platform/fakes/memory_settings_store.h"

namespace {

using namespace cirrodex;

// A clock that moves on a second at every reading, so that the picture's
// percentage changes now and then as it does in fast mode.
class SteppingClock final : public Clock {
 public:
  LocalDateTime now() override {
    LocalDateTime t;
    t.year = 2026;
    t.month = 12;
    t.day = 11;
    t.hour = static_cast<int>(seconds_ / 3600 % 24);
    t.minute = static_cast<int>(seconds_ / 60 % 60);
    t.second = static_cast<int>(seconds_ % 60);
    ++seconds_;
    return t;
  }

 private:
  long long seconds_ = 0;
};

void BM_MoontoolValues(benchmark::State& state) {
  moon::Instant t = moon::make_instant(2026, 12, 11, 12, 0, 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(moon::moontool_values(t, 60, true, moon::english_month_names()));
    t += 1.0L / 86400;
  }
}
BENCHMARK(BM_MoontoolValues)->Unit(benchmark::kMicrosecond);

void BM_MoontoolWindowTick(benchmark::State& state) {
  SteppingClock clock;
  fakes::CallLog log;
  fakes::FakeHost host(log);
  TfrmMoon window(clock, host, moon::english_month_names(), {});
  window.timer().stop();
  window.show();
  for (auto _ : state) window.TimerTimer();
}
BENCHMARK(BM_MoontoolWindowTick)->Unit(benchmark::kMicrosecond);

void BM_MoreDataValues(benchmark::State& state) {
  moon::Instant t = moon::make_instant(2026, 12, 11, 12, 0, 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(moon::more_data_values(t, 48, -11, moon::english_month_names()));
    t += 65.535L / 86400;
  }
}
BENCHMARK(BM_MoreDataValues)->Unit(benchmark::kMillisecond);

void BM_MoreDataWindowTick(benchmark::State& state) {
  SteppingClock clock;
  fakes::CallLog log;
  fakes::FakeHost host(log);
  fakes::MemorySettingsStore place;
  Tfrm_more window(clock, host, place, moon::english_month_names());
  window.timer().stop();
  window.show();
  for (auto _ : state) window.locationChange();
}
BENCHMARK(BM_MoreDataWindowTick)->Unit(benchmark::kMillisecond);

}  // namespace
